#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace torvane::platform {

bool DynamicLibrary::Load(const std::string& path) {
    Unload();
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* e = ::dlerror();
        error_ = e ? e : "cannot load library";
        return false;
    }
    error_.clear();
    return true;
}

void DynamicLibrary::Unload() noexcept {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const noexcept {
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}

} // namespace torvane::platform
