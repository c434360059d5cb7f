// Feeds arbitrary bytes to the decompressor (both codecs, chosen by the
// marker the fuzzer writes or by the data itself) and checks that packing
// the same bytes with either codec unpacks to them again.
//
// Holds when: no input makes Decompress() read or write outside its buffers,
// write more than the stated size, or fail with anything but
// ECompressorException; every round trip is exact.

#include "common/Exceptions.h"
#include "compressor/Compressor.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using torvane::ECompressorException;
using torvane::TCompressor;
using torvane::TMemoryStream;

namespace {

void DecompressHostile(const std::vector<uint8_t>& bytes) {
    TMemoryStream in(bytes), out;
    TCompressor c;
    c.SetInputStream(&in);
    c.SetOutputStream(&out);
    try {
        c.Decompress();
    } catch (const ECompressorException&) {
        return;
    }
    // Success means the stated size was produced exactly.
    int32_t size;
    std::memcpy(&size, bytes.data() + 4, 4);
    if (out.Size() != size) std::abort();
}

void RoundTrip(const uint8_t* data, size_t size, TCompressor::Method method) {
    TMemoryStream in(std::vector<uint8_t>(data, data + size)), packed, unpacked;
    TCompressor c;
    c.SetMethod(method);
    c.SetInputStream(&in);
    c.SetOutputStream(&packed);
    c.Compress();
    packed.SetPosition(0);
    c.SetInputStream(&packed);
    c.SetOutputStream(&unpacked);
    c.Decompress();
    if (unpacked.Bytes() != std::vector<uint8_t>(data, data + size)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks how the rest is framed, so the fuzzer reaches both
    // codecs without having to guess a marker.
    const uint8_t mode = data[0] % 3;
    std::vector<uint8_t> body(data + 1, data + size);
    if (mode == 2) {
        DecompressHostile(std::vector<uint8_t>(data, data + size));
    } else {
        std::vector<uint8_t> framed = {'W', 'R', 'Z', 'L'};
        if (mode == 1) framed = {'!', 'H', 'Z', 'L'};
        framed.insert(framed.end(), body.begin(), body.end());
        if (framed.size() >= 8) DecompressHostile(framed);
    }
    RoundTrip(body.data(), body.size(),
              data[0] & 4 ? TCompressor::Method::Lzhuf : TCompressor::Method::Block);
    return 0;
}
