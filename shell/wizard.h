// The wizard: one forward pass from the choice of source to the save.
#pragma once

// What the process's exit code says about a run that got as far as the
// wizard: it ended as the person chose (saved, or a choice declined), or it
// could not do what it was started for and said so. The codes 1 (no front
// end could start, or the script could not be read) and 3 (a script that
// does not match what is shown) come from the user-interface layer.
inline constexpr int kExitRunEnded = 0;
inline constexpr int kExitRunFailed = 2;

// Runs the sequence once; returns the exit code when it has ended, whether
// by a save or by a cancelled choice. The review dialog may instead end the
// process itself, when there is nothing to repair.
int RunWizard();
