// Giving the terminal back on every way out, also from a signal handler:
// the bytes that leave the full-screen mode are worked out while the front
// end starts, and restoring only writes them and the saved line settings.
#pragma once

namespace terminal {

// Remembers the line settings to go back to; call before curses starts.
void SaveLineSettings();

// Remembers the terminal's settings and the bytes that undo curses' setup.
// Call after curses has started.
void PrepareRestore();

// Async-signal-safe; does its work once.
void RestoreTerminal();

// Fatal and terminating signals restore the terminal, then take their
// default course (so the exit status still names the signal).
void InstallRestoringSignalHandlers();

}  // namespace terminal
