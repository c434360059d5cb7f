// Feeds arbitrary bytes to the compiled-scheme loader and tokenizes a sample
// text with whatever loaded.
//
// The first byte chooses the form: odd, the rest is a whole compiled stream
// (version, size, packed payload); even, the rest is the payload itself,
// which the target packs and wraps, so the fuzzer reaches the table reader
// without first having to produce a valid packed stream.
//
// Holds when: no input makes the loader or the tokenizer read or write out
// of bounds or fail with anything but the component's ETessary errors; a
// failed load leaves an empty scheme; the tokenizer always moves on.

#include "common/Exceptions.h"
#include "compressor/Compressor.h"
#include "highlight/Parser.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace torvane;

namespace {

constexpr std::string_view kSample = "start:\tmov  a,#'x'  ; \"note\" 0x1F 1.5e3\r"
                                     "\tdb 'it''s', 10, /* c */ // line\r<a href=\"u\">x@y.cz</a>\r";

std::vector<uint8_t> Wrap(const uint8_t* payload, size_t size) {
    TMemoryStream in(std::vector<uint8_t>(payload, payload + size)), out;
    stream_io::WriteU16(out, 51);
    stream_io::WriteI32(out, static_cast<int32_t>(size));
    TCompressor c;
    c.SetInputStream(&in);
    c.SetOutputStream(&out);
    c.Compress();
    return out.Bytes();
}

void Tokenize(TTessaryParser& parser) {
    parser.OnCustomParse = [](TTessaryParser&, int32_t id, TCharCursor& c, int32_t& length, int32_t& value) {
        if (id % 2 || c.AtEnd()) return false;
        c.Next();
        ++length;
        value = id & 0xFF;
        return true;
    };
    for (int context = 0; context < 256; context += 51) {
        TStringCursor cursor(kSample);
        parser.ResetState(static_cast<uint8_t>(context));
        while (!cursor.AtEnd()) {
            const int64_t before = cursor.GetPosition();
            const bool wasInContainer = parser.InContainer();
            int32_t length = 0;
            try {
                parser.NextToken(nullptr, cursor, length);
            } catch (const ETessary&) {
                // "Stack underflow" or a bad group index: the token is consumed.
            }
            if (cursor.GetPosition() <= before) std::abort();
            // A container's text is scanned again, as the editor does.
            if (!wasInContainer && parser.InContainer()) cursor.SetPosition(before);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::vector<uint8_t> bytes =
        data[0] & 1 ? std::vector<uint8_t>(data + 1, data + size) : Wrap(data + 1, size - 1);
    TTessaryParser parser;
    parser.OnShowMessage = [](const std::string&) {};
    TMemoryStream stream(bytes);
    try {
        parser.LoadFromStream(stream);
    } catch (const ETessary&) {
        if (!parser.Tables().noStateTables || parser.Tables().keywords->WordCount() != 0) std::abort();
    }
    Tokenize(parser);
    return 0;
}
