#pragma once
// The RTF and HTML writers of the editor control: a range of a text store
// written with the highlighting styles of its token bytes (token -> style
// -> colours and font style, as the painter resolves them).
//
// RTF layout:
//   {\rtf1\ansi\ansicpg1250 \deff1{\fonttbl {\f1 \fnil FONT;}}CRLF
//   {\colortbl ENTRIES}CRLF            entry 0 style 0's text colour, entry 1
//                                      its background, then the text and
//                                      background colours of every defined
//                                      style, each once, at most 256 entries
//   {\f1\fs(2 x points)\cf0\cb1 LINES}}
// where each entry is \redR\greenG\blueB; and every run of equal token
// bytes is preceded by \b1 / \b0, \i1 / \i0, \ul1 / \ul0 when that bit
// changes and by \cfN / \cbN (N the table index, 0 / 1 when the colour is
// not in the table) when the colour changes. Characters: NUL dropped, TAB
// \tab, form feed \page, CR \line, ' \'27, \ { } escaped, other controls
// and bytes 128..255 as \'xx.
//
// HTML layout:
//   <HTML><HEAD> the generator, <TITLE>, the date META, </HEAD>,
//   <BODY TEXT=#fg BGCOLOR=#bg>, <PRE><FONT FACE=...>, LINES,
//   </PRE></FONT></BODY></HTML>
// where a run starts with </FONT><FONT COLOR="#rrggbb"> when its text colour
// changes and <B> </B> <I> </I> <U> </U> when a font style bit does.
// Characters: TAB and NBSP as &nbsp;, " < > & as entities, other controls
// (the CR too) dropped, bytes 128..255 as the &#N; of their Windows-1250
// character, so the page is pure ASCII and shows Czech text as typed.
//
// Common to both: each stored line of the range is followed by CR LF (a
// line longer than a node is written as one line); a line without token
// bytes is written as characters only; the writers start in style 0's
// colours with every font style off and never close a font style at the end.

#include "common/Stream.h"
#include "editor/Painter.h"
#include "editor/Surface.h"
#include "editor/TextStore.h"

#include <ctime>
#include <string>

namespace torvane::editor {

// Written into every HTML page as its generator.
inline constexpr const char* kExportGenerator = "TCustomTessary";
inline constexpr const char* kExportContact = "torvane@example.org";

// How the writers show the text: styles, font and the RGB of system colours.
struct TExportLook {
    const TStyleSource* styles = nullptr; // null: every character in style 0, black on white
    TFontSpec font;
    TSystemColors systemColors;
    std::string date; // the HTML page's date; empty: the current local date and time
};

// Writes the characters of [start, end) (clamped to the text).
void WriteRtf(TStream& out, const TTextStore& store, TOffset start, TOffset end, const TExportLook& look);
// title: the page's title (the control's print title).
void WriteHtml(TStream& out, const TTextStore& store, TOffset start, TOffset end, const TExportLook& look,
               std::string_view title);

// A moment in the C library's locale-bound short form ("%x %X"), in local
// time or in UTC.
std::string ShortDateTime(std::time_t when, bool utc = false);

} // namespace torvane::editor
