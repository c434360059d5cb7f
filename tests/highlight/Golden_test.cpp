// Token golden files: every sample of tests/data/tokens/samples.list is
// loaded as the editor loads a file, scanned with its scheme, and its token
// listing compared with the checked-in SOURCE.tokens. After an intended change of a script or of the
// tokenizer, rewrite them with tests/data/tokens/bless.sh BUILD_DIR (which
// runs "torvane-cli tokens", the editor's own highlighting of a loaded
// file: blessing also checks that it agrees with the scan here) and review
// the diff.

#include "common/Stream.h"
#include "editor/Cp1250Table.h"
#include "editor/TextStore.h"
#include "highlight/BuiltinScheme.h"
#include "highlight/ParserText.h"
#include "highlight/TokenListing.h"
#include "scheme/SchemeCompiler.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

using namespace torvane;

namespace {

using test_support::ReadFile;

const std::string kSamples = TORVANE_TEST_DATA "/tokens/";
const std::string kScripts = TORVANE_TEST_DATA "/../../Scripts/";
constexpr const char* kBuiltin = "builtin";

struct Sample {
    std::string source;
    std::string scheme; // a script of Scripts/, or kBuiltin
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.source << " with " << sample.scheme;
}

std::vector<Sample> ReadSamples() {
    std::vector<Sample> samples;
    std::istringstream list(ReadFile(kSamples + "samples.list"));
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#') continue;
        Sample sample;
        std::istringstream(line) >> sample.source >> sample.scheme;
        if (!sample.source.empty()) samples.push_back(sample);
    }
    return samples;
}

void LoadSampleScheme(TTessaryParser& parser, const std::string& scheme) {
    if (scheme == kBuiltin) {
        LoadBuiltinPlainTextScheme(parser);
        return;
    }
    TFileStream file(kScripts + scheme, TFileStream::fmOpenRead);
    scheme::CompileScheme(parser, file, kScripts + scheme);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Where two listings first part: the row of each, and the source line whose
// block holds it, so the failure names the token that changed.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> want = Lines(expected), got = Lines(actual);
    size_t row = 0;
    while (row < want.size() && row < got.size() && want[row] == got[row])
        ++row;
    if (row == want.size() && row == got.size()) return "the listings differ only in their last line break";
    std::string block = "(none)";
    for (size_t r = std::min(row, want.size()); r-- > 0;)
        if (want[r].starts_with('>')) {
            block = want[r];
            break;
        }
    auto at = [row](const std::vector<std::string>& rows) {
        return row < rows.size() ? rows[row] : std::string("(end of the listing)");
    };
    return "first difference at row " + std::to_string(row + 1) + ", in the block\n" + block +
           "\n  expected: " + at(want) + "\n  actual:   " + at(got);
}

class TokenGolden : public testing::TestWithParam<Sample> {};

TEST_P(TokenGolden, ListingMatches) {
    const Sample& sample = GetParam();
    TTessaryParser parser;
    LoadSampleScheme(parser, sample.scheme);
    // The text as the editor holds it: its line breaks, and a dot for a
    // control character it will not show.
    editor::TTextStore store;
    store.LoadFromFile(kSamples + sample.source);
    const std::string text = store.Text();
    ASSERT_FALSE(text.empty()) << "cannot read " << kSamples + sample.source;
    const std::string expected = ReadFile(kSamples + sample.source + ".tokens");
    ASSERT_FALSE(expected.empty()) << "no listing " << sample.source << ".tokens; write it with bless.sh";
    const std::string actual =
        FormatTokenListing(text, ScanTokenIds(parser, text), parser.Settings(), editor::Cp1250ToUnicode);
    if (actual != expected)
        ADD_FAILURE() << sample.source << ".tokens does not match the highlighting with " << sample.scheme
                      << ": " << FirstDifference(expected, actual);
}

std::string SampleTestName(const testing::TestParamInfo<Sample>& info) {
    std::string name = info.param.source;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Samples, TokenGolden, testing::ValuesIn(ReadSamples()), SampleTestName);

// A listing whose sample left the list would silently stop being compared.
TEST(TokenGoldenList, EveryListingHasItsSample) {
    const std::vector<Sample> samples = ReadSamples();
    ASSERT_FALSE(samples.empty());
    for (const auto& entry : std::filesystem::directory_iterator(kSamples)) {
        if (entry.path().extension() != ".tokens") continue;
        const std::string source = entry.path().stem().string();
        EXPECT_TRUE(
            std::any_of(samples.begin(), samples.end(), [&](const Sample& s) { return s.source == source; }))
            << entry.path().filename().string() << " has no line in samples.list";
    }
}

} // namespace
