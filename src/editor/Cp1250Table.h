#pragma once
// The Windows-1250 (Central European) code page without any toolkit:
// documents are 8-bit bytes, and this is how a window shows them and how
// typed characters become bytes. The five bytes that the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 control of the same
// number, so every byte survives a round trip.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::editor {

char16_t Cp1250ToUnicode(uint8_t byte) noexcept;
// The byte of a character, or nothing when the code page lacks it.
std::optional<uint8_t> UnicodeToCp1250(char16_t c) noexcept;
// Bytes to UTF-16.
std::u16string Cp1250ToUtf16(std::string_view bytes);

} // namespace torvane::editor
