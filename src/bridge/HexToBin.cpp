#include "bridge/HexToBin.h"

#include "common/Messages.h"
#include "platform/FileSystem.h"
#include "platform/SafeSave.h"

#include <cstdio>
#include <memory>

namespace torvane::bridge {
namespace {

constexpr size_t kBlockSize = 1024;
// Far longer than any record (521 characters with 255 data bytes).
constexpr size_t kMaxLineLength = 1024;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void Malformed(std::string_view line) {
    std::string shown(line.substr(0, 64));
    throw EHexMalformed(FormatStr<msg::SHexMalformedRecord>(shown.c_str()));
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

int HexReader::EndLine() {
    const int status = HexRecord(line, image);
    line.clear();
    return status;
}

int HexReader::Block(const char* data, size_t size) {
    int status = kHexFormat;
    bool ended = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        const bool lfOfCrLf = c == '\n' && sawCr;
        sawCr = c == '\r';
        if (lfOfCrLf) continue;
        if (c == '\r' || c == '\n') {
            status = EndLine();
            ended = true;
            // The first failing record ends the conversion: a later good
            // record must not turn missing data into a success.
            if (status != kHexOk) return status;
        } else if (line.size() >= kMaxLineLength) {
            return kHexFormat;
        } else {
            line += c;
        }
    }
    // A record that goes on in the next block is judged there.
    return ended || line.empty() ? status : kHexOk;
}

int HexReader::Finish() {
    return line.empty() ? kHexOk : EndLine();
}

int ConvertHexText(std::string_view text, HexImage& image) {
    HexReader reader;
    int status = kHexOk;
    for (size_t pos = 0; pos < text.size() && status == kHexOk; pos += kBlockSize)
        status = reader.Block(text.data() + pos, std::min(kBlockSize, text.size() - pos));
    if (status == kHexOk) status = reader.Finish();
    image = std::move(reader.image);
    return status;
}

int HexToBin(const std::string& hexPath, const std::string& binPath) {
    // Only a regular file: a FIFO or a device given as HEX input would block or never end.
    File hex(platform::OpenRegularFile(hexPath, nullptr));
    if (!hex) return kHexCannotOpen;
    // Writing the image over its own source would destroy the program.
    if (platform::SameFile(hexPath, binPath)) return kHexCannotSave;

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
    if (status == kHexOk) status = reader.Finish();
    // The previous image stays until a complete new one replaces it.
    if (status != kHexOk) return status;
    const auto& bytes = reader.image.bytes;
    if (!platform::SaveFileSafely(binPath, std::string(bytes.begin(), bytes.end()))) return kHexCannotSave;
    return kHexOk;
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
