// The wizard: one forward pass from the choice of source to the save.
#pragma once

// Runs the sequence once; returns when it has ended, whether by a save or by
// a cancelled choice. The review dialog may instead end the process itself.
void RunWizard();
