// Token reference files: tests/data/parser/NAME.a51 and its expected token
// runs NAME.ref. After an intended change of the tokenizer or of the
// built-in scheme, regenerate a reference with
//   torvane-cli tokens tests/data/parser/NAME.a51 > tests/data/parser/NAME.ref
// and review the difference.

#include "highlight/BuiltinScheme.h"
#include "highlight/ParserText.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace torvane;

namespace {

using test_support::ReadFile;

} // namespace

TEST(Golden, PlainTextSchemeOn8051Source) {
    const std::string dir = std::string(TORVANE_TEST_DATA) + "/parser/";
    const std::string text = WithEditorLineBreaks(ReadFile(dir + "plain_text.a51"));
    ASSERT_FALSE(text.empty());
    TTessaryParser parser;
    LoadBuiltinPlainTextScheme(parser);
    EXPECT_EQ(FormatTokenRuns(text, ScanTokenIds(parser, text)), ReadFile(dir + "plain_text.ref"));
}
