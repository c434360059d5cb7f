#include "platform/Keyboard.h"

#include <windows.h>

namespace torvane::platform {

bool ActivateUsKeyboardLayout() noexcept {
    return ::LoadKeyboardLayoutW(L"00000409", KLF_ACTIVATE) != nullptr;
}

} // namespace torvane::platform
