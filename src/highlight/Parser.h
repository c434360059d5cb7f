#pragma once
// TTessaryParser: the highlighting parser component. It owns a compiled
// scheme (the tables of ParserTables.h plus the settings object), stores and
// loads it as a compiled stream (CompiledScheme.h), and tokenizes text for
// the editor controls registered with it (Tokenizer.h).
//
// The component knows nothing of editors beyond TParserClient; the editor
// layer adapts its own parser interface to NextToken/ResetState/Busy and the
// Anchor, ContextState and BoundStates sets. Compiling a script is wired in
// from above through SetCompiler, so this layer never depends on the script
// compiler.

#include "highlight/CharCursor.h"
#include "highlight/ParserTables.h"
#include "highlight/Settings.h"
#include "highlight/Tokenizer.h"

#include <functional>
#include <string>
#include <vector>

namespace torvane {

class TTessaryParser;

// An editor control served by a parser.
class TParserClient : public TSettingsClient {
public:
    // The parser's scheme changed: drop the token ids, re-scan and repaint.
    virtual void ReselectParser(TTessaryParser& parser) = 0;
};

using TVersionErrorEvent =
    std::function<void(TTessaryParser& sender, uint16_t versionEncountered, uint16_t versionExpected)>;
using TCustomParseEvent = std::function<bool(TTessaryParser& sender, int32_t parseId, TCharCursor& stream,
                                             int32_t& kLength, int32_t& kValue)>;
// The pages of the options dialog (a set of these bits).
enum TPropertyPage : uint32_t {
    ppHighlight = 1u << 0,   // styles of the scheme's editable names, with a preview
    ppKeys = 1u << 1,        // the key map and the key-assignment wizard
    ppPrint = 1u << 2,       // print options
    ppTabs = 1u << 3,        // tab default and tab columns
    ppAutoCorrect = 1u << 4, // the auto-replace table
    ppTemplates = 1u << 5,   // the code templates
    ppAllPages = (1u << 6) - 1,
};
// Runs the options dialog over a copy of the parser's settings (the dialog
// may edit the copy freely) with the given pages; true when the user
// confirmed. The dialog lives above this layer and is wired in by its owner.
using TPropertiesDialog =
    std::function<bool(const TTessaryParser& parser, TTE_Settings& copy, uint32_t pages)>;
// Fills the parser's tables from a script (the scheme compiler).
using TSchemeCompiler =
    std::function<void(TTessaryParser& parser, TStream& script, const std::string& fileName)>;

class TTessaryParser {
public:
    TTessaryParser();
    ~TTessaryParser();
    TTessaryParser(const TTessaryParser&) = delete;
    TTessaryParser& operator=(const TTessaryParser&) = delete;

    // ---- the scheme --------------------------------------------------
    // Frees every table, creates an empty keyword table, Anchor =
    // Startstate = {0}, BoundStates empty, flags cleared, settings reset,
    // scanner state cleared.
    void Reset();

    // Writes the compiled stream (version 51, payload size, packed payload).
    void SaveToStream(TStream& stream) const;
    // Reads a compiled stream into a freshly reset model. A stream of
    // another version (below 50 or above 51) reads nothing more: while the
    // component loads from a form it raises ETessaryParserError (message
    // 4129); otherwise OnParserVersionError is called, or the message goes to
    // OnShowMessage. Any error in the payload is re-raised as ETessary
    // "<name>: <message>". Whatever fails, the model is left reset.
    void LoadFromStream(TStream& stream);
    // Copies another parser's scheme through a memory stream.
    void Assign(const TTessaryParser& source);
    // The end of a compile: empty ContextState entries become Startstate,
    // the state-table set is recomputed and the scanner state reset. The
    // scheme compiler calls it after filling the tables.
    void FinishCompile();

    TParserTables& Tables() noexcept { return tables_; }
    const TParserTables& Tables() const noexcept { return tables_; }
    TTE_Settings& Settings() noexcept { return settings_; }
    const TTE_Settings& Settings() const noexcept { return settings_; }

    const TStateSet& Anchor() const noexcept { return tables_.anchor; }
    const TStateSet& BoundStates() const noexcept { return tables_.boundStates; }
    const TStateSet& ContextState(uint8_t token) const noexcept { return tables_.contextState[token]; }

    // ---- tokenizing --------------------------------------------------
    // Prepares a scan that starts at a token whose id is context.
    void ResetState(uint8_t context);
    // Scans one token (see TTokenizer::NextToken). An editor given here is
    // registered with the parser and the settings on its first call.
    uint8_t NextToken(TParserClient* editor, TCharCursor& cursor, int32_t& length);
    // Set while a container's text is being re-scanned; other editors
    // sharing the parser wait until it clears.
    bool Busy() const noexcept { return tokenizer_.Busy(); }
    bool InContainer() const noexcept { return tokenizer_.InContainer(); }
    const TStateSet& CurrentStates() const noexcept { return tokenizer_.CurrentStates(); }
    // False when the scheme needs custom routines and no OnCustomParse is
    // set: an editor does not highlight with it then.
    bool CanHighlight() const noexcept { return !tables_.customRoutines || static_cast<bool>(OnCustomParse); }

    // ---- editors -----------------------------------------------------
    // Registers an editor (once) and attaches it to the settings, so that
    // re-selection and font changes reach it before it has scanned anything.
    void AddClient(TParserClient* editor);
    // Forgets an editor (a control that is destroyed) and detaches it from
    // the settings.
    void RemoveClient(TParserClient* editor);
    const std::vector<TParserClient*>& Clients() const noexcept { return clients_; }
    // Tells every registered editor to re-select the parser. An editor that
    // raises is skipped and clears LastReselectSucceeded().
    void ReselectInClients();
    bool LastReselectSucceeded() const noexcept { return reselectOk_; }

    // ---- options dialog ----------------------------------------------
    // Runs propertiesDialog over a copy of the settings with the pages of
    // propertyPages (or those given). OK: the copy becomes the settings, the
    // parser is re-selected in its editors and the result is true. Storno,
    // or no dialog wired in, changes nothing. When OnModifyProperties is
    // set it runs instead of the dialog and the result is false.
    bool EditProperties() { return EditProperties(propertyPages); }
    bool EditProperties(uint32_t pages);
    // Replaces the settings by a copy of settings (which must belong to this
    // scheme) and re-selects the parser in its editors.
    void ApplySettings(const TTE_Settings& settings);
    uint32_t propertyPages = ppAllPages;
    TPropertiesDialog propertiesDialog;
    std::function<void(TTessaryParser& sender)> OnModifyProperties;

    // ---- component life ----------------------------------------------
    std::string name = "TessaryParser1"; // the component name in messages
    // While set, a stream of another version raises instead of reporting.
    void BeginFormLoad() noexcept { loading_ = true; }
    // The form has finished loading: compiles the script when
    // autoScriptUpdate is set, then re-selects the parser in its editors.
    void Loaded();
    bool Loading() const noexcept { return loading_; }

    std::string script;            // scheme script file; compiled by CompileScript
    bool autoScriptUpdate = false; // compile the script when the form has loaded
    // Compiles the file named by script when it is set and exists, then
    // re-selects the parser in its editors; does nothing otherwise (and
    // returns false). Compile errors propagate.
    bool CompileScript();
    static void SetCompiler(TSchemeCompiler compiler);

    TVersionErrorEvent OnParserVersionError;
    TCustomParseEvent OnCustomParse;
    // Shows an information message (the run-time version error when no
    // OnParserVersionError is set).
    std::function<void(const std::string& text)> OnShowMessage;

private:
    void ReadPayload(TStream& payload, int32_t version);
    void AttachUserKeywords() noexcept;

    TTE_Settings settings_;
    TParserTables tables_;
    TTokenizer tokenizer_;
    std::vector<TParserClient*> clients_;
    TParserClient* current_ = nullptr;
    bool loading_ = false;
    bool reselectOk_ = true;
};

} // namespace torvane
