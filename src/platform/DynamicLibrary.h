#pragma once
// A shared library loaded by path and unloaded when the object goes away.

#include <string>

namespace torvane::platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary() { Unload(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // False when the file cannot be loaded; ErrorText() then says why.
    bool Load(const std::string& path);
    void Unload() noexcept;
    bool IsLoaded() const noexcept { return handle_ != nullptr; }
    // Address of an exported symbol, or null.
    void* Symbol(const char* name) const noexcept;
    const std::string& ErrorText() const noexcept { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

} // namespace torvane::platform
