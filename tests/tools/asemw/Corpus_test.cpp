// Replays the fuzz corpus (fuzz/corpus/asm51_fuzz) and seeded mutations of it
// through the assembler as the fuzz target does, so every run of the suite
// checks that hostile and broken programs end with errors, not crashes.

#include "asm51/Assembler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;
using namespace torvane::asm51;

namespace {

std::vector<std::string> Corpus() {
    std::vector<std::string> texts;
    for (const auto& entry : fs::directory_iterator(ASM51_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return texts;
}

Assembly Assemble(const std::string& text) {
    return AssembleText(text, "/nonexistent/fuzz.asm", "fuzz.asm", {});
}

} // namespace

TEST(Corpus, SeedsEndWithTheirErrorsCounted) {
    const auto corpus = Corpus();
    ASSERT_GE(corpus.size(), 5u);
    size_t failing = 0;
    for (const auto& text : corpus) {
        const Assembly result = Assemble(text);
        for (const auto& e : result.errors)
            EXPECT_FALSE(e.message.empty());
        failing += result.Ok() ? 0 : 1;
    }
    EXPECT_GE(failing, 2u); // errors.asm and hostile.asm at least
}

TEST(Corpus, MutatedSeedsDoNotCrash) {
    const auto corpus = Corpus();
    std::mt19937 random(51);
    const std::string alphabet = " \t\r\n;:,.#@$()<>'\"&/*+-AZaz09?_HMREPTIFENDM";
    for (int round = 0; round < 400; ++round) {
        std::string text = corpus[random() % corpus.size()];
        for (int edits = 1 + static_cast<int>(random() % 8); edits > 0 && !text.empty(); --edits) {
            const size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text.erase(at, 1 + random() % 16);
                break;
            case 1:
                text.insert(at, 1, alphabet[random() % alphabet.size()]);
                break;
            default:
                text[at] = static_cast<char>(random() % 256);
                break;
            }
        }
        EXPECT_NO_THROW(Assemble(text)) << text;
    }
}
