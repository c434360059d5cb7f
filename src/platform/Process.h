#pragma once
// The running process: its id, and the signals that ask it to end.
//
// Turns the signals that ask a program to end (SIGTERM, SIGHUP) into bytes on
// a pipe, so the event loop can run the program's own closing (questions
// about unsaved work, recovery files) instead of dying on the spot.

namespace torvane::platform {

int CurrentProcessId();

// Installs the handlers once; returns the descriptor to watch for reading,
// or -1 when that is not possible.
int WatchTerminationSignals();
// Reads the signal number waiting on the descriptor (0 when none).
int TakeTerminationSignal(int fd);

} // namespace torvane::platform
