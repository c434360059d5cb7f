#pragma once
// The token listing: a text with the token of each of its characters, written
// for people. It is what "torvane-cli tokens" prints and the form of the
// token golden files, so a change of the highlighting reads in a diff as
// "this word is now a Number".
//
// Every line of the text is one block: a row "> " with the line itself
// (">" alone for an empty line), then one row per run of characters that
// share a token, in order, covering the line and its line break:
//
//   >         MOV   A,#0FFh      ; mask
//     Default        "        "
//     Instruction    "MOV"
//     Default        "   "
//     Register       "A"
//     Default        ","
//     Operator(12)   "#"
//     Number         "0FFh"
//     Default        "      "
//     Comment        "; mask"
//     Default        "\n"
//
// A run's label is the name the scheme gives the style its token paints in
// (the styles the user may edit, Comment, Number ...), followed by the token
// id in parentheses when the token is not the style's own (token 12 above
// paints in style 6, Operator); so every label stands for one token id. A
// token whose style has no name is labelled with its id alone.
//
// Texts are UTF-8: bytes show as the characters the decoder gives them. In a
// run's quoted text the line break (character 13) is written \n, a Tab \t,
// a backslash \\, a double quote \", and every other control character, as
// well as a byte the code page leaves undefined, \xHH with the byte's value.
// The header row escapes control characters the same way and shows
// backslashes and quotes as they are. The empty rest after a final line
// break gets no block.

#include "highlight/Settings.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

// The character a byte of the text stands for (the documents' code page).
using TCharDecoder = char16_t (*)(uint8_t byte) noexcept;

// How the listing names token: see above.
std::string TokenLabel(const TTE_Settings& settings, uint8_t token, TCharDecoder decode);

// The listing of text (line breaks as single characters 13, the way the
// editor stores them) whose character i has the token ids[i]; ids holds one
// id per character of text (characters beyond it count as token 0).
std::string FormatTokenListing(std::string_view text, std::span<const uint8_t> ids,
                               const TTE_Settings& settings, TCharDecoder decode);

} // namespace torvane
