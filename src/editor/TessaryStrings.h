#pragma once
// TTessaryStrings: the `Lines` view of an editor control, a list of strings
// implemented purely through the control's messages. Lines are the store's
// nodes as stored (a long or wrapped line's segments are lines of their
// own); a text of one empty line counts as no lines.

#include "editor/Tessary.h"

#include <string>
#include <string_view>
#include <vector>

namespace torvane::editor {

class TTessaryStrings {
public:
    explicit TTessaryStrings(TCustomTessary& control) : control_(control) {}

    int32_t Count() const;
    // The line without its CR (at most 4096 characters).
    std::string Get(int32_t index) const;
    // Replaces the text of a line, its line break kept.
    void Put(int32_t index, std::string_view text);
    // Inserts text as a line before index; at or past the end it appends.
    void Insert(int32_t index, std::string_view text);
    void Add(std::string_view text) { Insert(Count(), text); }
    void Delete(int32_t index);
    void Clear();
    void AddStrings(const std::vector<std::string>& lines);

    // The whole text with the control's line ends.
    std::string Text() const;
    // Loads text unless it equals the stored text already.
    void SetText(std::string_view text);

    // Updates: while updating, the control neither paints nor notifies.
    void BeginUpdate();
    void EndUpdate();

    void LoadFromFile(const std::string& fileName) { control_.LoadFromFile(fileName); }
    void SaveToFile(const std::string& fileName) { control_.SaveToFile(fileName); }
    void LoadFromStream(TStream& stream) { control_.LoadFromStream(stream); }
    void SaveToStream(TStream* stream) { control_.SaveToStream(stream); }

private:
    intptr_t Send(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) const {
        return control_.Perform(msg, wParam, lParam);
    }
    void ReplaceRange(TOffset start, TOffset end, const std::string& text);

    TCustomTessary& control_;
    int updates_ = 0;
};

} // namespace torvane::editor
