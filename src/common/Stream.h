#pragma once
// Byte streams with a position: the in-memory and file streams used for
// compiled schemes, settings, key maps and documents, plus the little-endian
// integer and length-prefixed string helpers every stream format is built on.
//
// Offsets and sizes are 64-bit. Read() returns the bytes actually read;
// ReadBuffer()/WriteBuffer() insist on the full count and raise EReadError /
// EWriteError otherwise, so a truncated stream never yields made-up data.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {
namespace platform {
class TSafeSave;
}

enum class SeekOrigin { Beginning, Current, End };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
    virtual int64_t Size() const = 0;
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Beginning); }

    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    // Copies count bytes (all remaining when count is 0) from source.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable in-memory stream.
class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t size) override;

    void Clear() {
        data_.clear();
        pos_ = 0;
    }
    const std::vector<uint8_t>& Bytes() const noexcept { return data_; }
    std::vector<uint8_t>& Bytes() noexcept { return data_; }
    const uint8_t* Memory() const noexcept { return data_.data(); }

private:
    std::vector<uint8_t> data_;
    size_t pos_ = 0;
};

// A stream over a file. Opening failures raise EFOpenError (read modes) or
// EFCreateError (create mode) with the stream library's usual texts.
class TFileStream final : public TStream {
public:
    enum Mode { fmOpenRead, fmOpenReadWrite, fmCreate };

    TFileStream(const std::string& fileName, Mode mode);
    ~TFileStream() override;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override;
    void SetSize(int64_t size) override;

    // Pushes buffered bytes to the operating system; raises EWriteError on failure.
    void Flush();
    const std::string& FileName() const noexcept { return name_; }

private:
    std::FILE* file_ = nullptr;
    std::string name_;
};

// A write-only stream into a safe save (platform::TSafeSave): bytes go to a
// private file until Commit. Seeking is limited to the start, which begins
// the contents again; a failed write writes nothing and keeps the error.
class TSafeSaveStream final : public TStream {
public:
    explicit TSafeSaveStream(platform::TSafeSave& save) : save_(save) {}
    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return position_; }
    void SetSize(int64_t) override {}

private:
    platform::TSafeSave& save_;
    int64_t position_ = 0;
};

// Little-endian integers and strings. Readers raise EReadError on a short read.
namespace stream_io {
uint8_t ReadU8(TStream& s);
uint16_t ReadU16(TStream& s);
uint32_t ReadU32(TStream& s);
inline int8_t ReadI8(TStream& s) {
    return static_cast<int8_t>(ReadU8(s));
}
inline int16_t ReadI16(TStream& s) {
    return static_cast<int16_t>(ReadU16(s));
}
inline int32_t ReadI32(TStream& s) {
    return static_cast<int32_t>(ReadU32(s));
}
void WriteU8(TStream& s, uint8_t v);
void WriteU16(TStream& s, uint16_t v);
void WriteU32(TStream& s, uint32_t v);
inline void WriteI8(TStream& s, int8_t v) {
    WriteU8(s, static_cast<uint8_t>(v));
}
inline void WriteI16(TStream& s, int16_t v) {
    WriteU16(s, static_cast<uint16_t>(v));
}
inline void WriteI32(TStream& s, int32_t v) {
    WriteU32(s, static_cast<uint32_t>(v));
}

// 8-bit length followed by the bytes. Writing a longer string raises EWriteError.
std::string ReadShortString(TStream& s);
void WriteShortString(TStream& s, std::string_view v);
// 32-bit length followed by the bytes. A negative or absurd length raises EReadError.
std::string ReadLongString(TStream& s);
void WriteLongString(TStream& s, std::string_view v);
} // namespace stream_io

} // namespace torvane
