#pragma once
// Used by the Win32 implementation only. The program's file names are 8-bit
// Windows-1250 strings (as the bridge's exports receive them); the wide
// Win32 calls take UTF-16, so every name crosses this pair of conversions.

#ifdef _WIN32

#include <string>

namespace torvane::platform::win32 {

inline constexpr unsigned kNameCodePage = 1250;

std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, size_t length);

// The system's text for a GetLastError() code, without its line end.
std::string ErrorText(unsigned long code);

} // namespace torvane::platform::win32

#endif
