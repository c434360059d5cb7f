#pragma once
// Switching the process's keyboard layout to US English ("00000409"), which
// the program does at start-up when the settings ask for it. Windows has
// per-process layouts; elsewhere the layout belongs to the desktop session,
// so there this does nothing and says so.

namespace torvane::platform {

// True when the layout was switched.
bool ActivateUsKeyboardLayout() noexcept;

} // namespace torvane::platform
