// What the program sets up before its first dialog.
#pragma once

// Starts the platform libraries, names the tree's root, finds the two stores,
// records the start-up folder and loads the program's icon.
void StartUp();
