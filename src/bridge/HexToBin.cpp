#include "bridge/HexToBin.h"

#include "common/Messages.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <memory>

namespace torvane::bridge {
namespace {

constexpr size_t kBlockSize = 1024;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void Malformed(std::string_view line) {
    std::string shown(line.substr(0, 64));
    throw EHexMalformed(FormatStr(msg::SHexMalformedRecord, shown.c_str()));
}

// The byte whose two digits start at 1-based position `pos` of the line.
uint8_t ByteAt(std::string_view line, size_t pos) {
    if (pos + 1 > line.size()) Malformed(line);
    int hi = HexDigit(line[pos - 1]), lo = HexDigit(line[pos]);
    if (hi < 0 || lo < 0) Malformed(line);
    return static_cast<uint8_t>(hi * 16 + lo);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

int HexRecord(std::string_view line, HexImage& image) {
    if (line.size() <= 10 || line[0] != ':') return kHexFormat;
    const size_t count = ByteAt(line, 2);
    const uint8_t addrHi = ByteAt(line, 4), addrLo = ByteAt(line, 6);
    const uint8_t type = ByteAt(line, 8);
    unsigned sum = count + addrHi + addrLo + type;
    uint8_t data[255];
    for (size_t i = 0; i < count; ++i) {
        data[i] = ByteAt(line, 10 + 2 * i);
        sum += data[i];
    }
    sum += ByteAt(line, 10 + 2 * count);
    if (sum % 256 != 0) return kHexChecksum;

    switch (type) {
    case 0: {
        const uint64_t target = uint64_t{image.base} + (addrHi * 256u + addrLo);
        if (target + count > kMaxImageBytes) return kHexCannotSave;
        // Only bytes beyond the highest one written so far are filled, so a
        // record that comes out of address order never wipes earlier data.
        if (image.bytes.size() < target) image.bytes.resize(static_cast<size_t>(target), 0xFF);
        if (image.bytes.size() < target + count)
            image.bytes.resize(static_cast<size_t>(target + count), 0xFF);
        std::copy(data, data + count, image.bytes.begin() + static_cast<std::ptrdiff_t>(target));
        break;
    }
    case 2:
        if (count < 2) Malformed(line);
        image.base = (data[0] * 256u + data[1]) * 16u;
        break;
    case 4:
        if (count < 2) Malformed(line);
        image.base = (uint32_t{data[0]} << 24) | (uint32_t{data[1]} << 16);
        break;
    default:
        break;
    }
    return kHexOk;
}

int HexReader::Block(const char* data, size_t size) {
    int status = kHexFormat;
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            if (sawCr) {
                status = HexRecord(line, image);
                // The first failing record ends the conversion: a later good
                // record must not turn missing data into a success.
                if (status != kHexOk) {
                    line.clear();
                    sawCr = false;
                    return status;
                }
            }
            line.clear();
            sawCr = false;
        } else if (c == '\r') {
            if (sawCr) line.clear();
            sawCr = !sawCr;
        } else if (sawCr) {
            sawCr = false;
            line.clear();
        } else {
            line += c;
        }
    }
    return status;
}

int ConvertHexText(std::string_view text, HexImage& image) {
    HexReader reader;
    int status = kHexOk;
    for (size_t pos = 0; pos < text.size() && status == kHexOk; pos += kBlockSize)
        status = reader.Block(text.data() + pos, std::min(kBlockSize, text.size() - pos));
    image = std::move(reader.image);
    return status;
}

int HexToBin(const std::string& hexPath, const std::string& binPath) {
    File hex(platform::OpenFile(hexPath, "rb"));
    if (!hex) return kHexCannotOpen;
    File bin(platform::OpenFile(binPath, "wb"));
    if (!bin) return kHexCannotSave;

    HexReader reader;
    int status = kHexOk;
    char block[kBlockSize];
    while (status == kHexOk) {
        size_t got = std::fread(block, 1, sizeof block, hex.get());
        if (got == 0) {
            if (std::ferror(hex.get())) status = kHexCannotOpen;
            break;
        }
        status = reader.Block(block, got);
    }
    const auto& bytes = reader.image.bytes;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), bin.get()) != bytes.size())
        return kHexCannotSave;
    if (std::fclose(bin.release()) != 0) return kHexCannotSave;
    return status;
}

std::string HexResultMessage(int result) {
    switch (result) {
    case kHexChecksum:
        return LoadStr(msg::SHexChecksum);
    case kHexCannotOpen:
        return LoadStr(msg::SHexCannotOpen);
    case kHexCannotSave:
        return LoadStr(msg::SHexCannotSave);
    case kHexFormat:
        return LoadStr(msg::SHexFormat);
    default:
        return {};
    }
}

} // namespace torvane::bridge
