#include "highlight/Parser.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "compressor/Compressor.h"
#include "highlight/CompiledScheme.h"

#include <algorithm>
#include <cstdio>

namespace torvane {
namespace {

TSchemeCompiler& CompilerHook() {
    static TSchemeCompiler compiler;
    return compiler;
}

// Tells the settings which stream version they read, for as long as a load
// runs, and restores the current layout afterwards however it ends.
class TSettingsVersionScope {
public:
    TSettingsVersionScope(TTE_Settings& settings, int32_t version) : settings_(settings) {
        settings_.streamVersion = version;
    }
    ~TSettingsVersionScope() { settings_.streamVersion = TTE_Settings::kCurrentLayout; }
    TSettingsVersionScope(const TSettingsVersionScope&) = delete;
    TSettingsVersionScope& operator=(const TSettingsVersionScope&) = delete;

private:
    TTE_Settings& settings_;
};

} // namespace

TTessaryParser::TTessaryParser() : tokenizer_(tables_) {
    tokenizer_.OnCustomParse = [this](int32_t parseId, TCharCursor& cursor, int32_t& length, int32_t& value) {
        return OnCustomParse && OnCustomParse(*this, parseId, cursor, length, value);
    };
    OnShowMessage = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
    Reset();
}

TTessaryParser::~TTessaryParser() {
    for (TParserClient* c : clients_)
        settings_.Detach(c);
}

void TTessaryParser::Reset() {
    tables_.Reset();
    settings_.Reset();
    AttachUserKeywords();
    tokenizer_.ResetState(0);
}

void TTessaryParser::FinishCompile() {
    tables_.FillContextStates();
    tables_.FinishLoad();
    tokenizer_.ResetState(0);
}

void TTessaryParser::SaveToStream(TStream& stream) const {
    try {
        TMemoryStream payload;
        // The settings are at rest in the current layout, which is version 51's.
        settings_.SaveToStream(payload);
        WriteSchemeTables(payload, tables_);
        stream_io::WriteU16(stream, kCompiledSchemeVersion);
        stream_io::WriteI32(stream, static_cast<int32_t>(payload.Size()));
        payload.SetPosition(0);
        TCompressor compressor;
        compressor.SetMethod(TCompressor::Method::Block);
        compressor.SetInputStream(&payload);
        compressor.SetOutputStream(&stream);
        compressor.Compress();
    } catch (const std::exception& e) {
        throw ETessary(FormatStr<msg::SParserStreamError>(name.c_str(), e.what()));
    }
}

void TTessaryParser::ReadPayload(TStream& payload, int32_t version) {
    {
        TSettingsVersionScope scope(settings_, version);
        settings_.LoadFromStream(payload);
    }
    ReadSchemeTables(payload, tables_);
}

void TTessaryParser::LoadFromStream(TStream& stream) {
    Reset();
    try {
        const uint16_t version = stream_io::ReadU16(stream);
        // Only 50 and 51 are layouts this reader knows; anything else would
        // be read as garbage.
        if (version < kOldestCompiledSchemeVersion || version > kCompiledSchemeVersion) {
            const std::string text = FormatStr<msg::SParserVersion>(
                name.c_str(), static_cast<int>(kCompiledSchemeVersion), static_cast<int>(version));
            if (loading_) throw ETessaryParserError(text);
            if (OnParserVersionError)
                OnParserVersionError(*this, version, kCompiledSchemeVersion);
            else if (OnShowMessage)
                OnShowMessage(text);
            return;
        }
        stream_io::ReadI32(stream); // payload size; the compressor states it again
        TMemoryStream payload;
        TCompressor compressor;
        compressor.SetInputStream(&stream);
        compressor.SetOutputStream(&payload);
        compressor.Decompress();
        payload.SetPosition(0);
        ReadPayload(payload, version);
    } catch (const ETessaryParserError&) {
        throw;
    } catch (const std::exception& e) {
        Reset();
        throw ETessary(FormatStr<msg::SParserStreamError>(name.c_str(), e.what()));
    }
    AttachUserKeywords();
    tokenizer_.ResetState(0);
}

void TTessaryParser::Assign(const TTessaryParser& source) {
    if (&source == this) return;
    TMemoryStream stream;
    source.SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

bool TTessaryParser::EditProperties(uint32_t pages) {
    if (OnModifyProperties) {
        OnModifyProperties(*this);
        return false;
    }
    if (!propertiesDialog) return false;
    TTE_Settings copy;
    copy.Assign(settings_);
    if (!propertiesDialog(*this, copy, pages)) return false;
    ApplySettings(copy);
    return true;
}

void TTessaryParser::ApplySettings(const TTE_Settings& settings) {
    if (&settings != &settings_) settings_.Assign(settings);
    AttachUserKeywords();
    tokenizer_.ResetState(0);
    ReselectInClients();
}

void TTessaryParser::AttachUserKeywords() noexcept {
    // The settings replace their tables on a load, so the pointer is fetched
    // again whenever it may have changed.
    tokenizer_.SetUserKeywords(&settings_.UserTables().Keywords(), tables_.caseFlag);
}

void TTessaryParser::ResetState(uint8_t context) {
    AttachUserKeywords();
    tokenizer_.ResetState(context);
}

uint8_t TTessaryParser::NextToken(TParserClient* editor, TCharCursor& cursor, int32_t& length) {
    if (editor && editor != current_) {
        current_ = editor;
        AddClient(editor);
    }
    AttachUserKeywords();
    return tokenizer_.NextToken(cursor, length);
}

void TTessaryParser::AddClient(TParserClient* editor) {
    if (!editor || std::find(clients_.begin(), clients_.end(), editor) != clients_.end()) return;
    clients_.push_back(editor);
    settings_.Attach(editor);
}

void TTessaryParser::RemoveClient(TParserClient* editor) {
    auto it = std::find(clients_.begin(), clients_.end(), editor);
    if (it == clients_.end()) return;
    clients_.erase(it);
    settings_.Detach(editor);
    if (current_ == editor) current_ = nullptr;
}

void TTessaryParser::ReselectInClients() {
    reselectOk_ = true;
    // A copy: an editor may unregister itself while it re-selects.
    const std::vector<TParserClient*> clients = clients_;
    for (TParserClient* c : clients) {
        try {
            c->ReselectParser(*this);
        } catch (const std::exception&) {
            reselectOk_ = false;
        }
    }
}

void TTessaryParser::Loaded() {
    loading_ = false;
    if (!(autoScriptUpdate && CompileScript())) ReselectInClients();
}

bool TTessaryParser::CompileScript() {
    const TSchemeCompiler& compiler = CompilerHook();
    if (script.empty() || !compiler) return false;
    TMemoryStream text;
    try {
        TFileStream file(script, TFileStream::fmOpenRead);
        text.CopyFrom(file, 0);
    } catch (const EFOpenError&) {
        return false; // no such script: nothing to compile
    }
    text.SetPosition(0);
    Reset();
    compiler(*this, text, script);
    FinishCompile();
    ReselectInClients();
    return true;
}

void TTessaryParser::SetCompiler(TSchemeCompiler compiler) {
    CompilerHook() = std::move(compiler);
}

} // namespace torvane
