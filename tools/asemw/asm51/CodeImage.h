#pragma once
// The 64 KB code space the assembler fills, and its Intel HEX form: data
// records of up to 16 bytes for each run of filled bytes (gaps left by DS or
// ORG stay out of the file), CR LF line ends, an end record.

#include <cstdint>
#include <string>
#include <vector>

namespace torvane::asm51 {

class CodeImage {
public:
    static constexpr int64_t kSize = 0x10000;

    void Clear();
    void Put(int64_t address, uint8_t byte); // address < kSize
    bool Has(int64_t address) const { return used_[static_cast<size_t>(address)]; }
    uint8_t At(int64_t address) const { return bytes_[static_cast<size_t>(address)]; }
    size_t Count() const { return count_; }

    std::string IntelHex() const;

private:
    std::vector<uint8_t> bytes_ = std::vector<uint8_t>(kSize, 0xFF);
    std::vector<bool> used_ = std::vector<bool>(kSize, false);
    size_t count_ = 0;
};

} // namespace torvane::asm51
