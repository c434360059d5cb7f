#include "common/Stream.h"

#include "platform/SafeSave.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>

namespace torvane {

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError(LoadStr(msg::SReadError));
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError(LoadStr(msg::SWriteError));
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> buf(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)));
    int64_t left = count;
    while (left > 0) {
        size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        left -= static_cast<int64_t>(n);
    }
    return count;
}

// ---- TMemoryStream ---------------------------------------------------------

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (pos_ >= data_.size()) return 0;
    size_t n = std::min(count, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    if (pos_ + count > data_.size()) data_.resize(pos_ + count);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
    int64_t base = origin == SeekOrigin::Beginning ? 0
                   : origin == SeekOrigin::Current ? static_cast<int64_t>(pos_)
                                                   : static_cast<int64_t>(data_.size());
    int64_t p = base + offset;
    if (p < 0) p = 0;
    pos_ = static_cast<size_t>(p);
    return p;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (pos_ > data_.size()) pos_ = data_.size();
}

// ---- TFileStream -----------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, Mode mode) : name_(fileName) {
    const char* how = mode == fmCreate ? "w+b" : mode == fmOpenRead ? "rb" : "r+b";
    if (mode == fmOpenRead) {
        platform::FileReadError error = platform::FileReadError::None;
        file_ = platform::OpenRegularFile(fileName, &error);
        if (error == platform::FileReadError::NotRegular)
            throw EFOpenError(FormatStr<msg::SNotRegularFile>(fileName.c_str()));
    } else {
        file_ = platform::OpenFile(fileName, how);
    }
    if (!file_) {
        if (mode == fmCreate) throw EFCreateError(FormatStr<msg::SFCreateError>(fileName.c_str()));
        throw EFOpenError(FormatStr<msg::SFOpenError>(fileName.c_str()));
    }
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
    return std::fread(buffer, 1, count, file_);
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    return std::fwrite(buffer, 1, count, file_);
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
    int whence = origin == SeekOrigin::Beginning ? SEEK_SET
                 : origin == SeekOrigin::Current ? SEEK_CUR
                                                 : SEEK_END;
    if (std::fseek(file_, static_cast<long>(offset), whence) != 0) return std::ftell(file_);
    return std::ftell(file_);
}

int64_t TFileStream::Size() const {
    long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    long size = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return size;
}

void TFileStream::SetSize(int64_t size) {
    // Only growing or keeping is portable through stdio; shrinking is not
    // needed by any stream format here.
    if (size > Size()) {
        long here = std::ftell(file_);
        std::fseek(file_, static_cast<long>(size - 1), SEEK_SET);
        std::fputc(0, file_);
        std::fseek(file_, here, SEEK_SET);
    }
}

void TFileStream::Flush() {
    if (std::fflush(file_) != 0) throw EWriteError(LoadStr(msg::SWriteError));
}

// ---- safe save ---------------------------------------------------------------

size_t TSafeSaveStream::Read(void*, size_t) {
    return 0;
}

size_t TSafeSaveStream::Write(const void* buffer, size_t count) {
    if (!save_.Write(buffer, count)) return 0;
    position_ += static_cast<int64_t>(count);
    return count;
}

int64_t TSafeSaveStream::Seek(int64_t offset, SeekOrigin origin) {
    if (origin == SeekOrigin::Beginning && offset == 0 && save_.Rewind()) position_ = 0;
    return position_;
}

// ---- little-endian helpers -------------------------------------------------

namespace stream_io {

uint8_t ReadU8(TStream& s) {
    uint8_t b;
    s.ReadBuffer(&b, 1);
    return b;
}

uint16_t ReadU16(TStream& s) {
    uint8_t b[2];
    s.ReadBuffer(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t ReadU32(TStream& s) {
    uint8_t b[4];
    s.ReadBuffer(b, 4);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

void WriteU8(TStream& s, uint8_t v) {
    s.WriteBuffer(&v, 1);
}

void WriteU16(TStream& s, uint16_t v) {
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    s.WriteBuffer(b, 2);
}

void WriteU32(TStream& s, uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    s.WriteBuffer(b, 4);
}

std::string ReadShortString(TStream& s) {
    size_t n = ReadU8(s);
    std::string v(n, '\0');
    s.ReadBuffer(v.data(), n);
    return v;
}

void WriteShortString(TStream& s, std::string_view v) {
    if (v.size() > 255) throw EWriteError(LoadStr(msg::SWriteError));
    WriteU8(s, static_cast<uint8_t>(v.size()));
    s.WriteBuffer(v.data(), v.size());
}

std::string ReadLongString(TStream& s) {
    int32_t n = ReadI32(s);
    // A length beyond what is left in the stream can only come from damage.
    if (n < 0 || n > s.Size() - s.Position()) throw EReadError(LoadStr(msg::SReadError));
    std::string v(static_cast<size_t>(n), '\0');
    s.ReadBuffer(v.data(), v.size());
    return v;
}

void WriteLongString(TStream& s, std::string_view v) {
    WriteI32(s, static_cast<int32_t>(v.size()));
    s.WriteBuffer(v.data(), v.size());
}

} // namespace stream_io
} // namespace torvane
