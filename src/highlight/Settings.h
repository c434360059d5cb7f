#pragma once
// TTE_Settings: everything a scheme says about presentation (256 display
// styles, the token -> style map, the styles the user may edit, editor
// options, margins, tab stops, fonts) plus the user keyword tables, the
// auto-replace table, the code templates and the key map. One settings object
// belongs to a parser and is shared by every editor control that uses it;
// the controls register through the TSettingsClient observer.
//
// Stream form (little-endian; "string" = i32 length + bytes):
//   1. example text, language name, wrap-override characters (strings)
//   2. i32: options, margin width, right margin, word-wrap column, gutter
//      width, indent step, margin colour, gutter colour, selected text
//      colour, selected text background, tab default
//   3. i32 n defined styles; n times: u8 id, u8 fontStyle, i32 foreground,
//      i32 background, u8 fgDefault, u8 bgDefault, u8 hotspot, i32 defined
//   4. i32 n nonzero map entries; n times: u8 token id, u8 style id
//   5. i32 n named editable styles; n times: string name (cut to 25
//      characters on reading), u8 style id
//   6. 32 x i32 tab columns (0-based, -1 = unused)
//   7. font name (string), i32 font size, u8 character set
//   8. u8 flags: margin colour, selected-text colour, selected-text
//      background, gutter colour
//   9. user keyword tables (UserKeywords.h)
//  10. auto-replace table, code templates (MacroKeywords.h), key map (KeyMap.h)
//  11. only when the stream version is above 50: gutter font name (string),
//      i32 size, u8 character set, i32 colour, u8 font style
// Loading reads into a fresh value set and fresh tables and only then
// replaces the current ones, so a damaged stream raises and changes nothing
// (references to the owned tables do not survive a successful load; ask the
// settings again). A version-50 stream keeps the gutter font the object
// already had.

#include "highlight/EditorOptions.h"
#include "highlight/KeyMap.h"
#include "highlight/MacroKeywords.h"
#include "highlight/TEBase.h"
#include "highlight/UserKeywords.h"

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

// Font style bits.
constexpr uint8_t fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

// Colours are 0x00BBGGRR, or a system colour index with the high bit set.
constexpr int32_t kSystemColour = static_cast<int32_t>(0x80000000u);
constexpr int32_t clHighlight = kSystemColour | 0x0D;
constexpr int32_t clHighlightText = kSystemColour | 0x0E;
constexpr int32_t clBtnFace = kSystemColour | 0x0F;
constexpr int32_t clWindowText = kSystemColour | 0x08;
constexpr uint8_t kDefaultCharSet = 1;

struct TTE_Style {
    uint8_t fontStyle = 0;
    int32_t foreground = 0;
    int32_t background = 0xFFFFFF;
    uint8_t fgDefault = 0; // paint with style 0's foreground (style 0: the window text colour)
    uint8_t bgDefault = 0; // paint with style 0's background (style 0: the window colour)
    uint8_t hotspot = 0;
    int32_t defined = 0;
    friend bool operator==(const TTE_Style&, const TTE_Style&) = default;
};

struct TTE_Font {
    std::string name = "MS Sans Serif";
    int32_t size = 8;
    uint8_t charSet = kDefaultCharSet;
    int32_t colour = clWindowText;
    uint8_t style = 0;
    friend bool operator==(const TTE_Font&, const TTE_Font&) = default;
};

struct TEditableStyle {
    static constexpr size_t kMaxName = 25;
    std::string name; // empty ends the list
    uint8_t styleId = 0;
    friend bool operator==(const TEditableStyle&, const TEditableStyle&) = default;
};

// The plain values of the settings, with their defaults after reset.
struct TSettingsValues {
    static constexpr int kStyles = 256;
    static constexpr int kEditableStyles = 25;
    static constexpr int kTabColumns = 32;

    std::string exampleText;
    std::string languageName; // reset: "<Custom language>"
    std::string wrapOverride = ">|:";
    uint32_t options = kDefaultOptions;
    int32_t marginWidth = 2;
    int32_t rightMargin = 80;
    int32_t wordWrapColumn = 0;
    int32_t gutterWidth = 34;
    int32_t indentStep = 1;
    int32_t marginColour = 0xFFFFFF;
    int32_t gutterColour = clBtnFace;
    int32_t selTextColour = clHighlightText;
    int32_t selTextBack = clHighlight;
    int32_t tabDefault = 4;
    std::array<int32_t, kTabColumns> tabColumns;
    std::string fontName = "Courier New";
    int32_t fontSize = 10;
    uint8_t fontCharSet = kDefaultCharSet;
    uint8_t marginColourFlag = 0;
    uint8_t selTextColourFlag = 0;
    uint8_t selTextBackFlag = 0;
    uint8_t gutterColourFlag = 0;
    std::array<TTE_Style, kStyles> styles;
    std::array<uint8_t, kStyles> map{}; // token id -> style id
    std::array<TEditableStyle, kEditableStyles> editable;
    TTE_Font gutterFont;

    TSettingsValues();
    friend bool operator==(const TSettingsValues&, const TSettingsValues&) = default;
};

// An editor control that shows text with these settings.
class TSettingsClient {
public:
    virtual ~TSettingsClient() = default;
    virtual void GutterFontChanged() = 0;
};

class TTE_Settings final : public TTE_Base {
public:
    // The stream version that stands for the current layout.
    static constexpr int32_t kCurrentLayout = INT32_MAX;

    TTE_Settings();
    ~TTE_Settings() override;
    TTE_Settings(const TTE_Settings&) = delete;
    TTE_Settings& operator=(const TTE_Settings&) = delete;

    // Every default, only style 0 defined, empty map, editable styles and
    // user keyword tables, the program's default key map, a default
    // auto-replace table and no code templates.
    void Reset();

    TSettingsValues values;

    const TTE_Style& GetStyle(uint8_t id) const noexcept { return values.styles[id]; }
    void SetStyle(uint8_t id, const TTE_Style& style);
    // Whether any defined style is a hot spot.
    bool HasHotSpots() const noexcept;
    uint8_t StyleOfToken(uint8_t token) const noexcept { return values.map[token]; }
    const TTE_Font& GutterFont() const noexcept { return values.gutterFont; }
    // Changes the gutter font and tells every attached editor.
    void SetGutterFont(const TTE_Font& font);

    TUserKeywordTables& UserTables() noexcept { return *userTables_; }
    const TUserKeywordTables& UserTables() const noexcept { return *userTables_; }
    void AddUserKeywordTable(TUserKeywordTable table) { userTables_->Add(std::move(table)); }
    TAutoReplace& AutoReplace() noexcept { return *autoReplace_; }
    const TAutoReplace& AutoReplace() const noexcept { return *autoReplace_; }
    TCodeTemplates& CodeTemplates() noexcept { return *codeTemplates_; }
    const TCodeTemplates& CodeTemplates() const noexcept { return *codeTemplates_; }
    TKeyboardActionContoller& KeyMap() noexcept { return *keyMap_; }
    const TKeyboardActionContoller& KeyMap() const noexcept { return *keyMap_; }

    // Editors sharing these settings. The first attach creates the style
    // fonts (and the special-character glyphs when that option is on); the
    // last detach frees them.
    void Attach(TSettingsClient* editor);
    void Detach(TSettingsClient* editor);
    int AttachedCount() const noexcept { return static_cast<int>(clients_.size()); }
    // The font of a defined style while editors are attached; null otherwise.
    const TTE_Font* StyleFont(uint8_t id) const noexcept;
    bool GlyphsCreated() const noexcept { return glyphsCreated_; }
    bool printerFonts = false; // fonts are measured on the printer

    // The stream version the reader and writer follow; the compiled-scheme
    // loader sets it for the duration of a load or save.
    int32_t streamVersion = kCurrentLayout;

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const noexcept override { return "TTE_Settings"; }

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TTE_Settings>(); }

private:
    void CreateFonts();
    void FreeFonts() noexcept;

    std::unique_ptr<TUserKeywordTables> userTables_;
    std::unique_ptr<TAutoReplace> autoReplace_;
    std::unique_ptr<TCodeTemplates> codeTemplates_;
    std::unique_ptr<TKeyboardActionContoller> keyMap_;
    std::vector<TSettingsClient*> clients_;
    std::array<std::optional<TTE_Font>, TSettingsValues::kStyles> fonts_;
    bool glyphsCreated_ = false;
};

} // namespace torvane
