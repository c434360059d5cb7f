#include "platform/DynamicLibrary.h"

#include "platform/Win32Text.h"

#include <windows.h>

namespace torvane::platform {

bool DynamicLibrary::Load(const std::string& path) {
    Unload();
    // The library's own dependencies are looked for beside it first, not in
    // the caller's folder.
    HMODULE module = ::LoadLibraryExW(win32::Wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        error_ = win32::ErrorText(::GetLastError());
        return false;
    }
    handle_ = module;
    error_.clear();
    return true;
}

void DynamicLibrary::Unload() noexcept {
    if (handle_) ::FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const noexcept {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

} // namespace torvane::platform
