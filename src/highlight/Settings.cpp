#include "highlight/Settings.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>

namespace torvane {
namespace {

using namespace stream_io;

// A negative count can only come from a damaged stream.
int32_t ReadCount(TStream& s) {
    int32_t n = ReadI32(s);
    if (n < 0) throw EReadError(LoadStr(msg::SReadError));
    return n;
}

} // namespace

TSettingsValues::TSettingsValues() : languageName(LoadStr(msg::SCustomLanguage)) {
    tabColumns.fill(-1);
    styles[0].defined = 1;
}

TTE_Settings::TTE_Settings()
    : userTables_(std::make_unique<TUserKeywordTables>()), autoReplace_(std::make_unique<TAutoReplace>()),
      codeTemplates_(std::make_unique<TCodeTemplates>()),
      keyMap_(std::make_unique<TKeyboardActionContoller>()) {
    Reset();
}

TTE_Settings::~TTE_Settings() = default;

void TTE_Settings::Reset() {
    values = TSettingsValues();
    userTables_->Clear();
    keyMap_->Assign(TKeyboardActionContoller::Default());
    autoReplace_->Reset();
    codeTemplates_->ClearMacros();
    FreeFonts();
    if (!clients_.empty()) CreateFonts();
}

void TTE_Settings::SetStyle(uint8_t id, const TTE_Style& style) {
    values.styles[id] = style;
    if (id == 0 && !style.defined) values.styles[0].defined = 1;
    if (fonts_[id] || (!clients_.empty() && style.defined)) {
        fonts_[id].reset();
        if (!clients_.empty() && style.defined)
            fonts_[id] = TTE_Font{values.fontName, values.fontSize, values.fontCharSet, style.foreground,
                                  style.fontStyle};
    }
}

bool TTE_Settings::HasHotSpots() const noexcept {
    return std::any_of(values.styles.begin(), values.styles.end(),
                       [](const TTE_Style& s) { return s.defined && s.hotspot; });
}

void TTE_Settings::SetGutterFont(const TTE_Font& font) {
    values.gutterFont = font;
    // Copy first: an editor may detach itself while being told.
    std::vector<TSettingsClient*> clients = clients_;
    for (TSettingsClient* c : clients)
        c->GutterFontChanged();
}

void TTE_Settings::Attach(TSettingsClient* editor) {
    if (!editor || std::find(clients_.begin(), clients_.end(), editor) != clients_.end()) return;
    clients_.push_back(editor);
    if (clients_.size() == 1) CreateFonts();
}

void TTE_Settings::Detach(TSettingsClient* editor) {
    auto it = std::find(clients_.begin(), clients_.end(), editor);
    if (it == clients_.end()) return;
    clients_.erase(it);
    if (clients_.empty()) FreeFonts();
}

void TTE_Settings::CreateFonts() {
    for (int id = 0; id < TSettingsValues::kStyles; ++id) {
        const TTE_Style& s = values.styles[static_cast<size_t>(id)];
        if (s.defined)
            fonts_[static_cast<size_t>(id)] =
                TTE_Font{values.fontName, values.fontSize, values.fontCharSet, s.foreground, s.fontStyle};
    }
    glyphsCreated_ = (values.options & smoShowAllChars) != 0;
}

void TTE_Settings::FreeFonts() noexcept {
    for (auto& f : fonts_)
        f.reset();
    glyphsCreated_ = false;
}

const TTE_Font* TTE_Settings::StyleFont(uint8_t id) const noexcept {
    return fonts_[id] ? &*fonts_[id] : nullptr;
}

void TTE_Settings::SaveToStream(TStream& s) const {
    const TSettingsValues& v = values;
    WriteLongString(s, v.exampleText);
    WriteLongString(s, v.languageName);
    WriteLongString(s, v.wrapOverride);
    for (int32_t n :
         {static_cast<int32_t>(v.options), v.marginWidth, v.rightMargin, v.wordWrapColumn, v.gutterWidth,
          v.indentStep, v.marginColour, v.gutterColour, v.selTextColour, v.selTextBack, v.tabDefault})
        WriteI32(s, n);

    WriteI32(s, static_cast<int32_t>(std::count_if(v.styles.begin(), v.styles.end(),
                                                   [](const TTE_Style& st) { return st.defined != 0; })));
    for (int id = 0; id < TSettingsValues::kStyles; ++id) {
        const TTE_Style& st = v.styles[static_cast<size_t>(id)];
        if (!st.defined) continue;
        WriteU8(s, static_cast<uint8_t>(id));
        WriteU8(s, st.fontStyle);
        WriteI32(s, st.foreground);
        WriteI32(s, st.background);
        WriteU8(s, st.fgDefault);
        WriteU8(s, st.bgDefault);
        WriteU8(s, st.hotspot);
        WriteI32(s, st.defined);
    }

    WriteI32(
        s, static_cast<int32_t>(std::count_if(v.map.begin(), v.map.end(), [](uint8_t m) { return m != 0; })));
    for (int token = 0; token < TSettingsValues::kStyles; ++token)
        if (v.map[static_cast<size_t>(token)]) {
            WriteU8(s, static_cast<uint8_t>(token));
            WriteU8(s, v.map[static_cast<size_t>(token)]);
        }

    WriteI32(s, static_cast<int32_t>(std::count_if(v.editable.begin(), v.editable.end(),
                                                   [](const TEditableStyle& e) { return !e.name.empty(); })));
    for (const TEditableStyle& e : v.editable)
        if (!e.name.empty()) {
            WriteLongString(s, e.name);
            WriteU8(s, e.styleId);
        }

    for (int32_t c : v.tabColumns)
        WriteI32(s, c);
    WriteLongString(s, v.fontName);
    WriteI32(s, v.fontSize);
    WriteU8(s, v.fontCharSet);
    for (uint8_t f : {v.marginColourFlag, v.selTextColourFlag, v.selTextBackFlag, v.gutterColourFlag})
        WriteU8(s, f);

    userTables_->SaveToStream(s);
    autoReplace_->SaveToStream(s);
    codeTemplates_->SaveToStream(s);
    keyMap_->WriteToStream(s);

    if (streamVersion > 50) {
        WriteLongString(s, v.gutterFont.name);
        WriteI32(s, v.gutterFont.size);
        WriteU8(s, v.gutterFont.charSet);
        WriteI32(s, v.gutterFont.colour);
        WriteU8(s, v.gutterFont.style);
    }
}

void TTE_Settings::LoadFromStream(TStream& s) {
    TSettingsValues v;
    v.gutterFont = values.gutterFont; // an old stream has none: keep ours
    v.exampleText = ReadLongString(s);
    v.languageName = ReadLongString(s);
    v.wrapOverride = ReadLongString(s);
    v.options = static_cast<uint32_t>(ReadI32(s));
    for (int32_t* field : {&v.marginWidth, &v.rightMargin, &v.wordWrapColumn, &v.gutterWidth, &v.indentStep,
                           &v.marginColour, &v.gutterColour, &v.selTextColour, &v.selTextBack, &v.tabDefault})
        *field = ReadI32(s);

    for (int32_t n = ReadCount(s); n > 0; --n) {
        TTE_Style& st = v.styles[ReadU8(s)];
        st.fontStyle = ReadU8(s);
        st.foreground = ReadI32(s);
        st.background = ReadI32(s);
        st.fgDefault = ReadU8(s);
        st.bgDefault = ReadU8(s);
        st.hotspot = ReadU8(s);
        st.defined = ReadI32(s);
    }
    // Style 0 is the default every other style falls back on: always defined.
    if (!v.styles[0].defined) v.styles[0].defined = 1;
    for (int32_t n = ReadCount(s); n > 0; --n) {
        uint8_t token = ReadU8(s);
        v.map[token] = ReadU8(s);
    }
    size_t slot = 0;
    for (int32_t n = ReadCount(s); n > 0; --n) {
        std::string name = ReadLongString(s);
        uint8_t id = ReadU8(s);
        // Entries beyond the 25 places (only a foreign writer makes them) are dropped.
        if (slot < v.editable.size())
            v.editable[slot++] = TEditableStyle{name.substr(0, TEditableStyle::kMaxName), id};
    }
    for (int32_t& c : v.tabColumns)
        c = ReadI32(s);
    v.fontName = ReadLongString(s);
    v.fontSize = ReadI32(s);
    v.fontCharSet = ReadU8(s);
    for (uint8_t* f : {&v.marginColourFlag, &v.selTextColourFlag, &v.selTextBackFlag, &v.gutterColourFlag})
        *f = ReadU8(s);

    auto tables = std::make_unique<TUserKeywordTables>();
    tables->LoadFromStream(s);
    auto autoReplace = std::make_unique<TAutoReplace>();
    autoReplace->LoadFromStream(s);
    auto templates = std::make_unique<TCodeTemplates>();
    templates->LoadFromStream(s);
    auto keyMap = std::make_unique<TKeyboardActionContoller>();
    keyMap->ReadFromStream(s);

    if (streamVersion > 50) {
        v.gutterFont.name = ReadLongString(s);
        v.gutterFont.size = ReadI32(s);
        v.gutterFont.charSet = ReadU8(s);
        v.gutterFont.colour = ReadI32(s);
        v.gutterFont.style = ReadU8(s);
    }

    // Everything read: take it over. Editors keep their callbacks on the tables.
    tables->Keywords().SetCurrentStates(userTables_->Keywords().CurrentStates());
    keyMap->OnKeyboardAction = std::move(keyMap_->OnKeyboardAction);
    bool gutterChanged = !(v.gutterFont == values.gutterFont);
    values = std::move(v);
    userTables_ = std::move(tables);
    autoReplace_ = std::move(autoReplace);
    codeTemplates_ = std::move(templates);
    keyMap_ = std::move(keyMap);
    FreeFonts();
    if (!clients_.empty()) CreateFonts();
    if (gutterChanged) SetGutterFont(values.gutterFont);
}

} // namespace torvane
