#include "highlight/UserKeywords.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

namespace torvane {

int TUserKeywordTables::Count() const noexcept {
    int n = 0;
    for (const auto& p : places_)
        n += p.has_value();
    return n;
}

std::vector<const TUserKeywordTable*> TUserKeywordTables::Tables() const {
    std::vector<const TUserKeywordTable*> out;
    for (const auto& p : places_)
        if (p) out.push_back(&*p);
    return out;
}

void TUserKeywordTables::Clear() {
    for (auto& p : places_)
        p.reset();
    TStateSet current = keywords_.CurrentStates();
    keywords_.Clear();
    keywords_.SetCurrentStates(current);
}

void TUserKeywordTables::Build(const std::array<std::optional<TUserKeywordTable>, kMaxTables>& places,
                               TKeywords& into) {
    for (const auto& p : places) {
        if (!p) continue;
        TTE_CharGroup follow = TTE_CharGroup::AllCharacters();
        if (!p->followGroup.empty()) {
            size_t pos = 0;
            follow.ParseSpecifier(p->followGroup, pos);
        }
        for (const TUserKeywordTable::Word& w : p->words)
            into.AddKeyword(w.text, p->caseFlag, w.token, p->states, follow);
    }
}

void TUserKeywordTables::Add(TUserKeywordTable table) {
    if (table.states.Empty()) table.states.Include(0);
    auto places = places_;
    std::optional<TUserKeywordTable>* target = nullptr;
    for (auto& p : places) {
        if (!p || !p->states.Intersects(table.states)) continue;
        if (p->states != table.states) throw EKeywords(LoadStr(msg::SAmbiguousKeyTable));
        target = &p;
        break;
    }
    if (!target)
        for (auto& p : places)
            if (!p) {
                target = &p;
                break;
            }
    if (!target) throw EKeywords(FormatStr<msg::STooManyKeyTables>(kMaxTables));
    *target = std::move(table);

    TKeywords rebuilt;
    Build(places, rebuilt);
    // Built without error: commit. Rebuilding into the live table cannot fail now.
    places_ = std::move(places);
    TStateSet current = keywords_.CurrentStates();
    keywords_.Clear();
    Build(places_, keywords_);
    keywords_.SetCurrentStates(current);
}

void TUserKeywordTables::SaveToStream(TStream& stream) const {
    stream_io::WriteI32(stream, Count());
    for (const auto& p : places_) {
        if (!p) continue;
        stream.WriteBuffer(p->states.Data(), TStateSet::kBytes);
        stream_io::WriteLongString(stream, p->followGroup);
        stream_io::WriteI32(stream, p->caseFlag);
        stream_io::WriteI32(stream, static_cast<int32_t>(p->words.size()));
        for (const TUserKeywordTable::Word& w : p->words) {
            stream_io::WriteLongString(stream, w.text);
            stream_io::WriteI32(stream, w.token);
        }
    }
}

void TUserKeywordTables::LoadFromStream(TStream& stream) {
    Clear();
    int32_t count = stream_io::ReadI32(stream);
    for (int32_t i = 0; i < count; ++i) {
        TUserKeywordTable t;
        stream.ReadBuffer(t.states.Data(), TStateSet::kBytes);
        t.followGroup = stream_io::ReadLongString(stream);
        t.caseFlag = static_cast<uint8_t>(stream_io::ReadI32(stream));
        int32_t words = stream_io::ReadI32(stream);
        for (int32_t k = 0; k < words; ++k) {
            TUserKeywordTable::Word w;
            w.text = stream_io::ReadLongString(stream);
            w.token = stream_io::ReadI32(stream);
            t.words.push_back(std::move(w));
        }
        Add(std::move(t));
    }
}

} // namespace torvane
