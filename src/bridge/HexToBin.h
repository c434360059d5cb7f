#pragma once
// Intel HEX to raw binary image.
//
// Record (one line; positions 1-based):
//   1      ':'
//   2-3    byte count N
//   4-7    16-bit address, high byte first
//   8-9    record type: 00 data, 02 extended segment address (base = value*16),
//          04 extended linear address (base = value << 16); every other type
//          (01 end of file, 03, 05 ...) is skipped and reading goes on
//   10..   N data bytes, two digits each, then the checksum byte
// Digits are upper-case "0123456789ABCDEF". The sum of all bytes of a record
// including the checksum is 0 modulo 256.
//
// A line ends at CR LF, LF or CR, and the last line of the file needs no end:
// every line is a record, so none is skipped while the result says success.
// The file is read in blocks of 1024 bytes. A block in which no record ends
// and none goes on gives the format error, as does a line longer than any
// record can be; the conversion stops at the first record or block that does
// not give 0. The BIN file is written only after a conversion gave 0, through
// a temporary file, so a failure leaves an earlier image as it was; a BIN path
// naming the HEX file itself is refused (3) before anything is written.
//
// The image starts at address 0; a byte no record writes is 0xFF, and a byte
// that several records write holds the last one's value. Its length is the
// highest address written plus one.
//
// Guarantees on hostile input: the parser never reads outside the line it is
// given; a record whose text is shorter than its count requires, a digit pair
// outside the alphabet above, or an address record with fewer than two data
// bytes throws EHexMalformed (the bridge call then fails); an image that would
// grow beyond kMaxImageBytes gives kHexCannotSave instead of eating memory.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::bridge {

enum HexResult : int {
    kHexOk = 0,
    kHexChecksum = 1,   // a record's checksum is wrong
    kHexCannotOpen = 2, // the HEX file cannot be opened or read
    kHexCannotSave = 3, // the BIN file cannot be created or written
    kHexFormat = 4,     // format error
};

// 16 MB: far above any 8051 or AVR program memory.
inline constexpr size_t kMaxImageBytes = size_t{16} << 20;

class EHexMalformed : public std::runtime_error {
public:
    explicit EHexMalformed(const std::string& what) : std::runtime_error(what) {}
};

struct HexImage {
    std::vector<uint8_t> bytes;
    uint32_t base = 0; // from the last address record
};

// One record (the line without its CR LF). Returns a HexResult.
int HexRecord(std::string_view line, HexImage& image);

// Reading state carried from one block to the next.
struct HexReader {
    HexImage image;
    std::string line;
    bool sawCr = false;

    // One block of the file; returns its status (see the header comment).
    int Block(const char* data, size_t size);
    // After the last block: the status of a last line without a line end.
    int Finish();

private:
    int EndLine();
};

// Converts the text of a whole HEX file in blocks of 1024 bytes, as HexToBin
// does with the file.
int ConvertHexText(std::string_view text, HexImage& image);

// Reads hexPath, writes binPath (replacing it). Returns a HexResult.
int HexToBin(const std::string& hexPath, const std::string& binPath);

// The log line of a result code 1..4 (empty for 0).
std::string HexResultMessage(int result);

} // namespace torvane::bridge
