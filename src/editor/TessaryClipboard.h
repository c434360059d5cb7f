#pragma once
// What the editor control puts on the clipboard and how it reads HTML back.
//
// Copy offers the selection as plain text (CR LF line ends) and, when RTF is
// among the control's copy formats, as RTF from the export writer. Paste
// takes plain text or the HTML a browser or word processor left there, as
// the control's OnDataDrop handler chooses; HTML is inserted as its markup,
// trimmed to the part that was copied.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::editor {

// ClipCopyFormats: the formats copy offers.
enum TClipFormat : uint8_t { smTEXT = 1, smRTF = 2 };
using TTE_ClipFormats = uint8_t;

// The sources a paste may take, a set of these bits. The control fills in
// what the clipboard holds and its default choice (text when there is text,
// else the HTML trimmed to its fragment); OnDataDrop may change the choice.
enum TSourceType : uint8_t {
    stHTMLAvailable = 1,
    stTextAvailable = 2,
    stText = 4,         // take the plain text
    stHTML = 8,         // take the HTML
    stHTMLCutHead = 16, // drop what stands before the first "<"
    stHTMLFragment = 32 // keep only what lies between the fragment markers
};
using TSourceTypes = uint8_t;

// The clipboard contents copy offers (bytes in the document's code page).
struct TClipboardData {
    std::optional<std::string> text;
    std::optional<std::string> rtf;
};

// HTML as the paste inserts it: with stHTMLCutHead everything before the
// first "<" is dropped; with stHTMLFragment, in addition, only what lies
// between "<!--StartFragment-->" and "<!--EndFragment-->" is kept when both
// are there in that order.
std::string TrimHtml(std::string_view html, TSourceTypes choice);

} // namespace torvane::editor
