#include "asm51/CodeImage.h"

#include <algorithm>

namespace torvane::asm51 {

namespace {

void AppendHexByte(std::string& out, unsigned value) {
    static const char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(value >> 4) & 15];
    out += kDigits[value & 15];
}

void AppendRecord(std::string& out, unsigned address, unsigned type, const uint8_t* data, size_t length) {
    unsigned sum = static_cast<unsigned>(length) + (address >> 8) + (address & 0xFF) + type;
    out += ':';
    AppendHexByte(out, static_cast<unsigned>(length));
    AppendHexByte(out, address >> 8);
    AppendHexByte(out, address & 0xFF);
    AppendHexByte(out, type);
    for (size_t i = 0; i < length; ++i) {
        AppendHexByte(out, data[i]);
        sum += data[i];
    }
    AppendHexByte(out, (0x100 - (sum & 0xFF)) & 0xFF);
    out += "\r\n";
}

} // namespace

void CodeImage::Clear() {
    std::fill(bytes_.begin(), bytes_.end(), 0xFF);
    std::fill(used_.begin(), used_.end(), false);
    count_ = 0;
}

void CodeImage::Put(int64_t address, uint8_t byte) {
    const auto a = static_cast<size_t>(address);
    if (!used_[a]) ++count_;
    used_[a] = true;
    bytes_[a] = byte;
}

std::string CodeImage::IntelHex() const {
    std::string out;
    size_t a = 0;
    while (a < bytes_.size()) {
        if (!used_[a]) {
            ++a;
            continue;
        }
        size_t length = 0;
        while (length < 16 && a + length < bytes_.size() && used_[a + length])
            ++length;
        AppendRecord(out, static_cast<unsigned>(a), 0, &bytes_[a], length);
        a += length;
    }
    AppendRecord(out, 0, 1, nullptr, 0);
    return out;
}

} // namespace torvane::asm51
