// Runs the table tests/data/regex/cases.tsv: one case a line,
//   pattern <TAB> subject <TAB> expected [<TAB> options]
// The pattern is taken as written. In the subject \n is a line break (13),
// \t a TAB, \xHH a character code and \\ a backslash. Expected is
// START,END (the match span), - (no match), or Eid / Eid@position (a
// compile error). Options: "back" searches backwards, "from=N" starts at N
// (default: the start, or the end for "back"). Lines starting with # are
// comments.
#include "regex/REParser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace torvane;

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    return fields;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        if (c == 'n')
            out += '\r';
        else if (c == 't')
            out += '\t';
        else if (c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

struct Case {
    int line;
    std::string pattern, subject, expected, options;
};

std::vector<Case> LoadCases() {
    std::ifstream in(std::string(TORVANE_TEST_DATA) + "/regex/cases.tsv");
    std::vector<Case> cases;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        auto f = SplitTabs(text);
        if (f.size() < 3) {
            ADD_FAILURE() << "cases.tsv:" << line << ": needs three fields";
            continue;
        }
        cases.push_back({line, f[0], Unescape(f[1]), f[2], f.size() > 3 ? f[3] : ""});
    }
    return cases;
}

std::string Describe(TREParser& re, const Case& c) {
    if (!re.Compile(c.pattern)) {
        std::string out = "E" + std::to_string(re.ErrorId());
        if (c.expected.find('@') != std::string::npos) out += "@" + std::to_string(re.ErrorPosition());
        return out;
    }
    bool back = c.options.find("back") != std::string::npos;
    TREPos from = back ? static_cast<TREPos>(c.subject.size()) : 0;
    if (auto at = c.options.find("from="); at != std::string::npos)
        from = std::stoi(c.options.substr(at + 5));
    TStringCharSource source(c.subject, from);
    try {
        if (!re.Execute(&source, !back)) return "-";
    } catch (const ERegExpError& e) {
        return "X" + std::to_string(e.Id());
    }
    return std::to_string(re.Position(0)) + "," + std::to_string(re.Position(re.SlotCount()));
}

} // namespace

TEST(RegexCases, EveryLineOfTheTableHolds) {
    auto cases = LoadCases();
    ASSERT_GT(cases.size(), 50u);
    for (const auto& c : cases) {
        TREParser re; // a fresh engine per case, so that no case depends on another
        EXPECT_EQ(Describe(re, c), c.expected) << "cases.tsv:" << c.line << ": pattern " << c.pattern;
    }
}
