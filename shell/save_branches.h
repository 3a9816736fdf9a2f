// The three ways the wizard writes its results. Each reports its own outcome
// to the person: a completion message only when everything was written, an
// error naming the path and the reason otherwise.
#pragma once

// Asks for a file name and writes the tree there, after copying a file it
// replaces to a fresh backup name.
void SaveToChosenFile();
// Copies the Firefox bookmark file to a fresh backup name, then replaces it.
void SaveToFirefox();
// Writes the favorites as they are on disk to a fresh iebackup.htm in the
// start-up folder and copies their shortcut files, as they are, into a fresh
// folder beside it, then replaces the favorites with the tree.
void SaveToInternetExplorer();
