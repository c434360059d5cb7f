#include "highlight/BuiltinScheme.h"

namespace torvane {
namespace {

constexpr uint8_t kWordToken = 1;

// Four lines of 8051 assembler for the options dialog's preview; the line
// breaks are the editor's own (character 13).
constexpr const char* kExampleText = "start:  mov   a,#10h      ; counter\r"
                                     "loop:   djnz  acc,loop\r"
                                     "        mov   P1,a\r"
                                     "        sjmp  start\r";

void FillSettings(TTE_Settings& settings) {
    TSettingsValues& v = settings.values;
    v.languageName = "Text";
    v.exampleText = kExampleText;
    v.wrapOverride = ">|:";
    v.options = kDefaultOptions;
    v.marginWidth = 8;
    v.rightMargin = 80;
    v.wordWrapColumn = 0;
    v.gutterWidth = 34;
    v.indentStep = 1;
    v.marginColour = 0xFFFFFF;
    v.gutterColour = 0x00FFFF;
    v.selTextColour = 0xFFFFFF;
    v.selTextBack = 0xFF0000;
    v.tabDefault = 4;
    v.tabColumns.fill(-1);
    v.fontName = "Courier New";
    v.fontSize = 10;
    v.fontCharSet = 238;
    v.marginColourFlag = v.selTextColourFlag = v.selTextBackFlag = v.gutterColourFlag = 1;

    TTE_Style plain;
    plain.foreground = 0x000000;
    plain.background = 0xFFFFFF;
    plain.fgDefault = plain.bgDefault = 1;
    plain.defined = 1;
    settings.SetStyle(0, plain);
    settings.SetStyle(1, plain);
    v.map[kWordToken] = 1;
    v.editable[0] = TEditableStyle{"Default", 0};

    settings.AutoReplace().ClearMacros();
    settings.AutoReplace().SetTriggerKey(TMacroKeywords::kDefaultTrigger);
    settings.AutoReplace().enabled = true;
    settings.CodeTemplates().ClearMacros();
    settings.CodeTemplates().SetTriggerKey(TMacroKeywords::kDefaultTrigger);
    settings.CodeTemplates().enabled = true;

    TTE_Font gutter;
    gutter.name = "MS Sans Serif";
    gutter.size = 8;
    gutter.charSet = 1;
    gutter.colour = clWindowText;
    gutter.style = 0;
    settings.SetGutterFont(gutter);
}

void FillTables(TParserTables& t) {
    TTE_CharGroup firstChars;
    firstChars.AddRange('0', '9');
    firstChars.AddRange('A', 'Z');
    firstChars.AddChar('^');
    firstChars.AddChar('_');
    firstChars.AddRange('a', 'z');

    TTE_CharGroup wordChars;
    wordChars.AddRange('0', '9');
    wordChars.AddRange('A', 'Z');
    wordChars.AddRange('a', 'z');

    TTE_CharGroup ends;
    for (uint8_t c : {uint8_t{9}, uint8_t{13}, uint8_t{' '}, uint8_t{'+'}, uint8_t{','}, uint8_t{'-'},
                      uint8_t{'.'}, uint8_t{':'}})
        ends.AddChar(c);

    TTokenRule& rule = t.NewRule();
    rule.start.group = static_cast<uint16_t>(t.keywords->Groups().Intern(firstChars));
    rule.states = StateSetOf(0);
    rule.body.group = static_cast<uint16_t>(t.keywords->Groups().Intern(wordChars));
    rule.term.count = 1;
    rule.term.groups[0] = static_cast<uint16_t>(t.keywords->Groups().Intern(ends));
    rule.term.include = 0;
    rule.token = kWordToken;
    for (int c = 0; c < 256; ++c)
        if (firstChars.Contains(static_cast<uint8_t>(c))) t.EnterRule(rule, static_cast<uint8_t>(c));

    t.EnsureEffect(kWordToken, StateSetOf(0));
    // ContextState stays empty everywhere: each entry then stands for
    // Startstate, and the stream lists all 256 of them as empty.
    t.FinishLoad();
}

} // namespace

void LoadBuiltinPlainTextScheme(TTessaryParser& parser) {
    parser.Reset();
    FillSettings(parser.Settings());
    FillTables(parser.Tables());
    parser.ResetState(0);
}

std::vector<uint8_t> BuiltinPlainTextStream() {
    TTessaryParser parser;
    LoadBuiltinPlainTextScheme(parser);
    TMemoryStream stream;
    parser.SaveToStream(stream);
    return stream.Bytes();
}

} // namespace torvane
