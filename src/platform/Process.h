#pragma once
// The running process: its id, its arguments, and the signals that ask it
// to end.
//
// Turns the signals that ask a program to end (SIGTERM, SIGHUP) into bytes on
// a pipe, so the event loop can run the program's own closing (questions
// about unsaved work, recovery files) instead of dying on the spot.

#include <string>
#include <vector>

namespace torvane::platform {

int CurrentProcessId();

// The arguments after the program's name, as names the program hands on.
// Windows passes a program's narrow arguments through the system's ANSI code
// page, which loses Czech letters wherever that page is not Windows-1250; the
// Windows version reads the wide command line and converts it to
// Windows-1250 itself.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Installs the handlers once; returns the descriptor to watch for reading,
// or -1 when that is not possible (Windows has no such signals: a window is
// asked to close by messages).
int WatchTerminationSignals();
// Reads the signal number waiting on the descriptor (0 when none).
int TakeTerminationSignal(int fd);

} // namespace torvane::platform
