// Every code template of the bundled 8051 and AVR schemes, expanded as the
// user expands it (name, hot key, something typed at the caret) into a
// minimal program that the real assembler front end must accept.

#include "common/ToolSupport.h"
#include "editor/TessaryCommands.h"
#include "editor/TessaryTemplates.h"
#include "highlight/Parser.h"
#include "scheme/SchemeCompiler.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace torvane;
using namespace torvane::editor;

namespace {

using test_support::ReadFile;

struct Dialect {
    const char* script;
    const char* program; // front end in the bin folder
    std::string head, tail;
    std::string fillDefault;                 // typed at the caret
    std::map<std::string, std::string> fill; // ... unless the template wants something else
};

const Dialect k8051{"asm51.tsc", "asemw",
                    "",          "done:   SJMP  done\n        END\n",
                    "NOP",       {{"delay", "100"}, {"loop", "10"}, {"table", "1, 2, 3"}, {"cmp16", "done"}}};
const Dialect kAvr{
    "AvrAsm.tsc",           "avrasm32", ".include \"m328Pdef.inc\"\n",
    "done:   rjmp  done\n", "nop",      {{"delay", "100"}, {"table", "1, 2, 3, 4"}, {"cmp16", "done"}}};

struct NoView : TessaryHost {};

class BundledTemplates : public ::testing::TestWithParam<const Dialect*> {
protected:
    fs::path folder = fs::temp_directory_path() / ("torvane-templates-" + std::to_string(::getpid()));
    TTessaryParser parser;

    void SetUp() override {
        fs::create_directories(folder);
        scheme::CompileSchemeText(parser, ReadFile(fs::path(TORVANE_SCRIPTS) / GetParam()->script));
    }
    void TearDown() override { fs::remove_all(folder); }

    // The document after typing "        NAME", the hot key and the fill.
    std::string Expand(const TMacro& macro) {
        NoView host;
        TCustomTessary ed(&host);
        ed.SetClientSize(400, 20 * ed.Metrics().rowHeight);
        TTessaryCommands cmd(ed);
        cmd.SetSettings(&parser.Settings());
        const std::string typed = "        " + macro.name;
        ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(typed.c_str()));
        ed.SetSelection(static_cast<TOffset>(typed.size()), static_cast<TOffset>(typed.size()), false);
        EXPECT_TRUE(cmd.KeyDown(parser.Settings().CodeTemplates().TriggerKey())) << macro.name;
        EXPECT_FALSE(cmd.Templates().PickListOpen()) << macro.name;
        const Dialect& d = *GetParam();
        const auto fill = d.fill.find(macro.name);
        for (char c : fill == d.fill.end() ? d.fillDefault : fill->second)
            cmd.KeyPress(static_cast<uint8_t>(c));
        std::string text = ed.Store().Text();
        for (char& c : text)
            if (c == '\r') c = '\n';
        return text;
    }
};

TEST_P(BundledTemplates, EveryTemplateAssemblesWhenExpanded) {
    const Dialect& d = *GetParam();
    const std::vector<TMacro>& macros = parser.Settings().CodeTemplates().Macros();
    ASSERT_GE(macros.size(), 8u);
    for (const TMacro& macro : macros) {
        const std::string expanded = Expand(macro);
        EXPECT_EQ(expanded.find('|'), std::string::npos) << macro.name;
        const fs::path source = folder / (macro.name + ".asm");
        std::ofstream(source, std::ios::binary) << d.head << expanded << "\n" << d.tail;
        std::vector<std::string> args{(fs::path(TORVANE_BIN_DIR) / d.program).string()};
        if (std::string(d.program) == "asemw")
            args.insert(args.end(), {source.string(), "/includes:" + folder.string()});
        else
            args.insert(args.end(),
                        {"-w", source.string(), "-e", fs::path(source).replace_extension(".eep").string(),
                         "-fI", "-I", folder.string() + "/"});
        const tools::Captured run = tools::RunCaptured(args, folder.string());
        EXPECT_EQ(run.exitCode, 0) << macro.name << ":\n" << d.head << expanded << "\n" << d.tail << run.out;
        EXPECT_TRUE(fs::exists(fs::path(source).replace_extension(".hex"))) << macro.name;
    }
}

TEST_P(BundledTemplates, AutoCorrectFixesMnemonicSlipsOnWholeWordsOnly) {
    const TAutoReplace& table = parser.Settings().AutoReplace();
    ASSERT_NE(table.FindMacro("mvo"), nullptr);
    for (const TMacro& slip : table.Macros()) {
        // A slip must never be a real mnemonic or directive of the dialect.
        EXPECT_NE(slip.name, TKeywords::FoldWord(slip.expansion)) << slip.name;
    }
    NoView host;
    TCustomTessary ed(&host);
    ed.SetClientSize(400, 20 * ed.Metrics().rowHeight);
    TTessaryCommands cmd(ed);
    cmd.SetSettings(&parser.Settings());
    ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>("        mvo"));
    ed.SetSelection(11, 11, false);
    if (!cmd.KeyDown(ShortCut(vk::Space))) cmd.KeyPress(' ');
    EXPECT_EQ(ed.Store().Text(), "        " + table.FindMacro("mvo")->expansion + " ");
    ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>("        x_mvo"));
    ed.SetSelection(13, 13, false);
    if (!cmd.KeyDown(ShortCut(vk::Space))) cmd.KeyPress(' ');
    EXPECT_EQ(ed.Store().Text(), "        x_mvo ");
}

INSTANTIATE_TEST_SUITE_P(Dialects, BundledTemplates, ::testing::Values(&k8051, &kAvr),
                         [](const auto& info) { return std::string(info.param->program); });

} // namespace
