#pragma once
// The keyboard command map: which key, or which sequence of two keys, runs
// which editing command (ActionCode).
//
// TKeyStore is a tree of key nodes: the top level holds first keys (with
// their modifiers); a node whose children are not empty starts a sequence,
// and its children are second keys stored without modifiers (Ctrl+K Ctrl+I
// and Ctrl+K I are one binding). A node that ends a binding is "defined" and
// carries the command.
//
// Stream format (little-endian):
//   i32 N; N times: i32 code, u8-length name        (the command names)
//   i32 M; M times: u16 first, u16 second, i32 code  (the bindings)
// "first" is the parent's key for a two-key binding, "second" 0 for a single
// key. Bindings are written in preorder (a node, its children, then its later
// siblings), which AddKey rebuilds into the same tree, so writing what was
// read gives the same bytes. Reading clears the map and adds each binding
// with AddKey (so conflicts raise as they would when adding).

#include "highlight/ActionCode.h"
#include "highlight/ShortCut.h"
#include "highlight/TEBase.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace torvane {

struct TKeyNode {
    TShortCut shortCut = 0;
    TKeyNode* parent = nullptr;   // for a second key: the first key's node
    TKeyNode* next = nullptr;     // next node on the same level
    TKeyNode* children = nullptr; // first second-level node
    bool defined = false;
    int32_t command = acNone;
};

class TKeyStore {
public:
    TKeyStore() = default;
    TKeyStore(const TKeyStore&) = delete;
    TKeyStore& operator=(const TKeyStore&) = delete;

    const TKeyNode* First() const noexcept { return first_; }
    // The top-level node of key; null when absent.
    TKeyNode* FindTop(TShortCut key) const;
    // The child of parent with key; null when absent.
    static TKeyNode* FindChild(const TKeyNode& parent, TShortCut key);
    TKeyNode* AppendTop(TShortCut key);
    TKeyNode* AppendChild(TKeyNode& parent, TShortCut key);

    // Every defined node in preorder (node, children, later siblings).
    std::vector<const TKeyNode*> Bindings() const;

    // The level the keys pressed so far have reached (null = top level).
    const TKeyNode* matchLevel = nullptr;
    int32_t lastCommand = acNone;

private:
    TKeyNode* NewNode(TShortCut key, TKeyNode* parent);

    std::vector<std::unique_ptr<TKeyNode>> pool_;
    TKeyNode* first_ = nullptr;
    TKeyNode* last_ = nullptr;
    std::unordered_map<TShortCut, TKeyNode*> top_; // hostile streams may hold thousands of keys
};

class TKeyboardActionContoller final : public TTE_Base {
public:
    TKeyboardActionContoller();
    TKeyboardActionContoller(const TKeyboardActionContoller&) = delete;
    TKeyboardActionContoller& operator=(const TKeyboardActionContoller&) = delete;

    // Binds first (with its modifiers), or the sequence first, second
    // (second's modifiers dropped), to code. A conflict with an existing
    // binding raises EAmbigiousKeyPair "Duplicate key sequence definition
    // for\r\n"new" and "existing"" naming both commands; the map keeps what
    // it had.
    void AddKey(TShortCut first, TShortCut second, int32_t code);
    void SetName(int32_t code, std::string_view name);
    std::string GetName(int32_t code) const;
    const std::vector<std::pair<int32_t, std::string>>& Names() const noexcept { return names_; }

    // The first binding of code, then the next one on each FindNextKeys
    // call; (0, 0) when there is none (more).
    std::pair<TShortCut, TShortCut> FindKeys(int32_t code);
    std::pair<TShortCut, TShortCut> FindNextKeys(int32_t code);
    // Every binding as (first, second, code), in stream order.
    struct Binding {
        TShortCut first, second;
        int32_t code;
        friend bool operator==(const Binding&, const Binding&) = default;
    };
    std::vector<Binding> AllBindings() const;

    void Clear();

    // What a key did (see HandleKey).
    enum class KeyResult {
        NotHandled, // no binding: the key goes on to be typed
        Pending,    // the first key of a sequence: consumed, waiting for the second
        Swallowed,  // a second key that completes no sequence: consumed, nothing runs
        Command,    // a binding ended: consumed, command holds its code
    };
    // key is the pressed key with its modifier bits. For the movement and
    // Backspace keys Shift does not take part in the lookup and comes back
    // as extend (select while moving). Modifier keys alone are ignored.
    KeyResult HandleKey(TShortCut key, int32_t& command, bool& extend);
    // Called with every recognised command (it may change the code).
    std::function<void(int32_t& code, bool extend)> OnKeyboardAction;

    void WriteToStream(TStream& stream) const;
    void ReadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const override { WriteToStream(stream); }
    void LoadFromStream(TStream& stream) override { ReadFromStream(stream); }
    const char* ClassName() const noexcept override { return "TKeyboardActionContoller"; }

    // The program's default map (built once, on first use).
    static const TKeyboardActionContoller& Default();
    // Fills this map with the default bindings and names.
    void LoadDefaults();

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override {
        return std::make_unique<TKeyboardActionContoller>();
    }

private:
    std::pair<TShortCut, TShortCut> FindFrom(int32_t code, size_t start);
    [[noreturn]] void RaiseDuplicate(int32_t newCode, int32_t existingCode) const;

    std::unique_ptr<TKeyStore> store_;
    std::vector<std::pair<int32_t, std::string>> names_;
    size_t findPosition_ = 0; // FindNextKeys continues after this binding index
};

} // namespace torvane
