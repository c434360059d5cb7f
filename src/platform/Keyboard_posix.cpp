#include "platform/Keyboard.h"

namespace torvane::platform {

// The X11 and Wayland layouts are the session's, not a process's: changing
// them would change every other program's keyboard too.
bool ActivateUsKeyboardLayout() noexcept {
    return false;
}

} // namespace torvane::platform
