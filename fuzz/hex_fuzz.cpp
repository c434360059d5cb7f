// Feeds arbitrary bytes to the HEX parser as the text of a HEX file. It must
// return a result code or throw EHexMalformed, never read or write outside
// its buffers, and never grow the image past its limit.

#include "bridge/HexToBin.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace torvane::bridge;
    HexImage image;
    try {
        const int result = ConvertHexText(std::string_view(reinterpret_cast<const char*>(data), size), image);
        if (result < kHexOk || result > kHexFormat) std::abort();
    } catch (const EHexMalformed&) {
    }
    if (image.bytes.size() > kMaxImageBytes) std::abort();
    return 0;
}
