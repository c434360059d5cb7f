#include "editor/TessaryClipboard.h"

namespace torvane::editor {

std::string TrimHtml(std::string_view html, TSourceTypes choice) {
    if (!(choice & (stHTMLCutHead | stHTMLFragment))) return std::string(html);
    const size_t tag = html.find('<');
    html = tag == std::string_view::npos ? std::string_view() : html.substr(tag);
    if (choice & stHTMLFragment) {
        static constexpr std::string_view kStart = "<!--StartFragment-->", kEnd = "<!--EndFragment-->";
        const size_t start = html.find(kStart);
        const size_t end = start == std::string_view::npos ? start : html.find(kEnd, start + kStart.size());
        if (end != std::string_view::npos)
            html = html.substr(start + kStart.size(), end - start - kStart.size());
    }
    return std::string(html);
}

} // namespace torvane::editor
