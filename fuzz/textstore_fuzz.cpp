// Text store on arbitrary bytes: loading any input, editing it and writing it
// out never crashes, keeps every node invariant, and a plain-text save loads
// back to the same stored text. The first input byte picks an edit position,
// the rest is the file; tab-stop lists are parsed from the same bytes.
#include "common/Exceptions.h"
#include "editor/EdStream.h"
#include "editor/Columns.h"
#include "editor/TextStore.h"

#include <cstdlib>
#include <string>

using namespace torvane;
using namespace torvane::editor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    TTextStore store;
    TMemoryStream in(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    store.LoadFromStream(in);
    if (!store.CheckInvariants().empty()) std::abort();

    const TOffset at = store.TextLength() * data[0] / 256;
    store.Insert(at, bytes.substr(0, 64));
    store.Delete(at / 2, data[0]);
    if (!store.CheckInvariants().empty()) std::abort();

    TEdStream es(store);
    TOffset n = 0;
    for (; !es.AtEnd(); es.Next())
        ++n;
    if (n != store.TextLength()) std::abort();

    for (TSaveFormat f : {sfTEXT, sfUNIX}) {
        TMemoryStream out;
        store.SaveToStream(&out, f);
        TTextStore again;
        out.SetPosition(0);
        again.LoadFromStream(out);
        if (again.Text() != store.Text()) std::abort();
    }

    TTabStops tabs;
    try {
        tabs.SetColumns(bytes);
    } catch (const ETessary&) {
    }
    TTabStops copy;
    copy.SetColumns(tabs.Columns());
    if (copy.Stops() != tabs.Stops()) std::abort();
    return 0;
}
