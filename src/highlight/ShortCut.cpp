#include "highlight/ShortCut.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace torvane {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Names of the keys that are not a letter, digit or function key.
struct NamedKey {
    uint8_t key;
    const char* name;
};
constexpr NamedKey kSpecialKeys[] = {
    {vk::Back, "BkSp"},   {vk::Tab, "Tab"},    {vk::Return, "Enter"}, {vk::Escape, "Esc"},
    {vk::Space, "Space"}, {vk::Prior, "PgUp"}, {vk::Next, "PgDn"},    {vk::End, "End"},
    {vk::Home, "Home"},   {vk::Left, "Left"},  {vk::Up, "Up"},        {vk::Right, "Right"},
    {vk::Down, "Down"},   {vk::Insert, "Ins"}, {vk::Delete, "Del"},
};

std::string KeyText(uint8_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= vk::F1 && key < vk::F1 + 24) return "F" + std::to_string(key - vk::F1 + 1);
    for (const NamedKey& k : kSpecialKeys)
        if (k.key == key) return k.name;
    return "";
}

// The scheme key names, sorted.
constexpr NamedKey kSchemeKeyNames[] = {
    {vk::Back, "backspace"},
    {vk::Delete, "delete"},
    {vk::Down, "down"},
    {vk::End, "end"},
    {112, "f1"},
    {121, "f10"},
    {122, "f11"},
    {123, "f12"},
    {113, "f2"},
    {114, "f3"},
    {115, "f4"},
    {116, "f5"},
    {117, "f6"},
    {118, "f7"},
    {119, "f8"},
    {120, "f9"},
    {vk::Home, "home"},
    {vk::Insert, "insert"},
    {vk::Left, "left"},
    {vk::Next, "pagedown"},
    {vk::Prior, "pageup"},
    {vk::Return, "return"},
    {vk::Right, "right"},
    {vk::Space, "space"},
    {vk::Tab, "tab"},
    {vk::Up, "up"},
};

} // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(KeyOf(shortCut));
    if (key.empty()) return "";
    std::string out;
    if (shortCut & kscShift) out += "Shift+";
    if (shortCut & kscCtrl) out += "Ctrl+";
    if (shortCut & kscAlt) out += "Alt+";
    return out + key;
}

TShortCut TextToShortCut(std::string_view text) {
    TShortCut modifiers = 0;
    for (;;) {
        auto plus = text.find('+');
        // A lone "+" after the modifiers would be a key of its own; none has that name.
        if (plus == std::string_view::npos || plus + 1 >= text.size()) break;
        std::string_view word = text.substr(0, plus);
        if (EqualNoCase(word, "Shift"))
            modifiers |= kscShift;
        else if (EqualNoCase(word, "Ctrl"))
            modifiers |= kscCtrl;
        else if (EqualNoCase(word, "Alt"))
            modifiers |= kscAlt;
        else
            break;
        text.remove_prefix(plus + 1);
    }
    for (int key = 1; key < 256; ++key) {
        std::string name = KeyText(static_cast<uint8_t>(key));
        if (!name.empty() && EqualNoCase(name, text)) return ShortCut(static_cast<uint8_t>(key), modifiers);
    }
    return 0;
}

int KeyNameToCode(std::string_view name) {
    for (const NamedKey& k : kSchemeKeyNames)
        if (EqualNoCase(k.name, name)) return k.key;
    return -1;
}

int CharToTriggerKey(uint8_t c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return c + kTriggerShift;
    if (c >= '0' && c <= '9') return c;
    switch (c) {
    case ' ':
        return vk::Space;
    case '\t':
        return vk::Tab;
    case '\r':
        return vk::Return;
    case '\n':
        return vk::Return + kTriggerCtrl;
    case 27:
        return vk::Escape;
    case 8:
        return vk::Back;
    default:
        break;
    }
    // Punctuation on a US layout: the unshifted and shifted character of each key.
    struct Punct {
        uint8_t key;
        char plain, shifted;
    };
    static constexpr Punct kPunct[] = {
        {0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'},
        {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'},  {0xDB, '[', '{'},
        {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
    };
    for (const Punct& p : kPunct) {
        if (c == static_cast<uint8_t>(p.plain)) return p.key;
        if (c == static_cast<uint8_t>(p.shifted)) return p.key + kTriggerShift;
    }
    static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
    if (const char* hit = c ? std::strchr(kShiftedDigits, c) : nullptr)
        return '0' + static_cast<int>(hit - kShiftedDigits) + kTriggerShift;
    return -1;
}

} // namespace torvane
