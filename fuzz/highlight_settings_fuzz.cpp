// Loads arbitrary bytes as a settings stream (the first byte picks the
// stream version: 50 or current). Guarantee under test: a damaged stream
// raises a library exception and never crashes; a stream that loads can be
// saved, and saving what that save reads back gives the same bytes.
#include "highlight/Settings.h"

#include "common/Exceptions.h"

#include <cstdlib>
#include <stdexcept>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int32_t version = (data[0] & 1) ? 50 : torvane::TTE_Settings::kCurrentLayout;
    torvane::TMemoryStream in(std::vector<uint8_t>(data + 1, data + size));
    torvane::TTE_Settings settings;
    settings.streamVersion = version;
    try {
        settings.LoadFromStream(in);
    } catch (const std::runtime_error&) {
        // EStreamError, EKeywords, EAmbigiousKeyPair, ETessary: all refusals.
        return 0;
    }
    // What loaded must save, and saving what that reads back must give the same bytes.
    torvane::TMemoryStream first;
    settings.SaveToStream(first);
    first.SetPosition(0);
    torvane::TTE_Settings again;
    again.streamVersion = version;
    again.LoadFromStream(first);
    torvane::TMemoryStream second;
    again.SaveToStream(second);
    if (first.Bytes() != second.Bytes()) std::abort();
    return 0;
}
