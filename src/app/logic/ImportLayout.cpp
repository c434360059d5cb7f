#include "app/logic/ImportLayout.h"

namespace torvane::app {
namespace {

bool IsJoiner(char c) {
    return c == '+' || c == ',' || c == '-' || c == '.';
}

struct LineBuilder {
    std::string out;
    std::string word;
    int column = 0; // 0 nothing placed, 1 label, 2 mnemonic, 3 operands begun

    void Place(bool colon) {
        if (word.empty()) return;
        if (colon && out.empty() && column == 0) {
            out = word + ":";
            column = 1;
        } else if (column <= 1) {
            out += '\t' + word;
            column = 2;
        } else if (column == 2) {
            out += '\t' + word;
            column = 3;
        } else {
            if (!IsJoiner(word.front()) && !(!out.empty() && IsJoiner(out.back()))) out += ' ';
            out += word;
        }
        word.clear();
    }
};

} // namespace

std::string PrevodRadku(const std::string& line) {
    if (line.empty()) return {};
    LineBuilder b;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == ';') {
            b.Place(false);
            static const char* const kTabsByColumn[] = {"\t\t\t", "\t\t\t", "\t\t", "\t"};
            if (b.column == 0)
                b.out = kTabsByColumn[0];
            else
                b.out += kTabsByColumn[b.column];
            b.out.append(line, i, std::string::npos);
            return b.out;
        }
        if (c == '\t' || c == ' ' || c == ':')
            b.Place(c == ':');
        else
            b.word += c;
    }
    b.Place(false);
    return b.out;
}

} // namespace torvane::app
