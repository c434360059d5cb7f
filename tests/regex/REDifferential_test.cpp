// Random patterns over a small alphabet, checked against std::regex
// (ECMAScript), whose backtracking semantics (leftmost start, alternatives
// in order, greedy quantifiers) are the engine's own on this subset.
#include "regex/REParser.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

using namespace torvane;

namespace {

class PatternMaker {
public:
    explicit PatternMaker(unsigned seed) : fRandom(seed) {}

    std::string Alternation(int depth) {
        std::string out = Sequence(depth);
        while (Chance(15))
            out += "|" + Sequence(depth);
        return out;
    }

    std::string Text() {
        std::string out;
        for (int n = Pick(0, 10); n > 0; --n)
            out += static_cast<char>('a' + Pick(0, 2));
        return out;
    }

private:
    std::string Sequence(int depth) {
        std::string out;
        for (int n = Pick(1, 4); n > 0; --n)
            out += Piece(depth);
        return out;
    }
    std::string Piece(int depth) {
        std::string atom;
        int kind = Pick(0, 9);
        if (kind < 5)
            atom = std::string(1, static_cast<char>('a' + Pick(0, 2)));
        else if (kind < 7)
            atom = Pick(0, 1) ? "[ab]" : "[^a]";
        else if (kind < 8)
            atom = ".";
        else if (depth < 3)
            atom = "(" + Alternation(depth + 1) + ")";
        else
            atom = "b";
        switch (Pick(0, 12)) {
        case 0:
            return atom + "*";
        case 1:
            return atom + "+";
        case 2:
            return atom + "?";
        case 3:
            return atom + "{" + std::to_string(Pick(0, 3)) + "}";
        case 4:
            return atom + "{" + std::to_string(Pick(0, 2)) + ",}";
        case 5:
            return atom + "{," + std::to_string(Pick(1, 3)) + "}";
        case 6: {
            int low = Pick(0, 2);
            return atom + "{" + std::to_string(low) + "," + std::to_string(low + Pick(0, 2)) + "}";
        }
        default:
            return atom;
        }
    }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(fRandom); }
    bool Chance(int percent) { return Pick(0, 99) < percent; }

    std::mt19937 fRandom;
};

} // namespace

TEST(RegexDifferential, AgreesWithABacktrackingReferenceOnRandomPatterns) {
    PatternMaker maker(20240611);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string pattern = maker.Alternation(0);
        TREParser re;
        if (!re.Compile(pattern)) continue; // empty-width loops are refused by design
        // ECMAScript has no {,m}; {0,m} is the same.
        std::string referencePattern;
        for (char c : pattern) {
            referencePattern += c;
            if (c == '{') referencePattern += '0';
        }
        std::regex reference(referencePattern, std::regex::ECMAScript);
        for (int t = 0; t < 8; ++t) {
            std::string text = maker.Text();
            std::smatch m;
            bool expected = std::regex_search(text, m, reference);
            TStringCharSource source(text);
            bool found = re.Execute(&source, true);
            ASSERT_EQ(found, expected) << "pattern " << pattern << " text " << text;
            if (found) {
                ASSERT_EQ(re.Position(0), m.position(0)) << "pattern " << pattern << " text " << text;
                ASSERT_EQ(re.Position(re.SlotCount()), m.position(0) + m.length(0))
                    << "pattern " << pattern << " text " << text;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 8000);
}
