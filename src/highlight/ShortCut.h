#pragma once
// Keys as the editor component stores them: Windows virtual-key numbers in
// the low byte of a 16-bit shortcut, with the modifier bits Shift 0x2000,
// Ctrl 0x4000 and Alt 0x8000 (0 = no key). The Qt widget translates its key
// events into these numbers at its boundary.
//
// Also here: the shortcut <-> text conversion used by the macro tables'
// stream form ("Ctrl+J"), the key names that scheme scripts use in key
// specifications, and the character -> key conversion of a US keyboard
// layout used to read auto-replace trigger texts.

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

using TShortCut = uint16_t;

constexpr TShortCut kscShift = 0x2000;
constexpr TShortCut kscCtrl = 0x4000;
constexpr TShortCut kscAlt = 0x8000;
constexpr TShortCut kscModifiers = kscShift | kscCtrl | kscAlt;

namespace vk {
enum : uint8_t {
    Back = 8,
    Tab = 9,
    Return = 13,
    Shift = 16,
    Control = 17,
    Menu = 18, // Alt
    Escape = 27,
    Space = 32,
    Prior = 33, // Page Up
    Next = 34,  // Page Down
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    F1 = 112,
    F12 = 123,
};
} // namespace vk

constexpr TShortCut ShortCut(uint8_t key, TShortCut modifiers = 0) noexcept {
    return static_cast<TShortCut>(key | (modifiers & kscModifiers));
}
constexpr uint8_t KeyOf(TShortCut s) noexcept {
    return static_cast<uint8_t>(s & 0xFF);
}

// "Ctrl+J", "Shift+Ctrl+F5", "Alt+Del" ...; "" for 0.
std::string ShortCutToText(TShortCut shortCut);
// The reverse, modifiers and key names compared without regard to case;
// 0 when the text names no key.
TShortCut TextToShortCut(std::string_view text);

// The key of a scheme key name ("backspace", "delete", "down", "end",
// "home", "insert", "left", "f1".."f12", "pagedown", "pageup", "return",
// "right", "space", "up", "tab"), case ignored; -1 when unknown.
int KeyNameToCode(std::string_view name);

// Trigger-key codes: the key plus 256 for Shift, 512 for Ctrl, 2048 for Alt.
constexpr int kTriggerShift = 256;
constexpr int kTriggerCtrl = 512;
constexpr int kTriggerAlt = 2048;
constexpr int TriggerCode(TShortCut s) noexcept {
    return KeyOf(s) + ((s & kscShift) ? kTriggerShift : 0) + ((s & kscCtrl) ? kTriggerCtrl : 0) +
           ((s & kscAlt) ? kTriggerAlt : 0);
}

// The trigger code of the key that types c on a US keyboard layout, or -1
// when no key types it.
int CharToTriggerKey(uint8_t c);

} // namespace torvane
