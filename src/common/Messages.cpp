#include "common/Messages.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace torvane {

const char* LoadStr(int id) noexcept {
    auto it = std::lower_bound(std::begin(kMessageTable), std::end(kMessageTable), id,
                               [](const MessageEntry& e, int key) { return e.id < key; });
    return it != std::end(kMessageTable) && it->id == id ? it->text : "";
}

namespace message_format {
namespace {

// Digits of `value` in `base`, at least `minDigits` of them (zeros in front),
// as printf writes a number with a precision; no digits for 0 with precision 0.
void AppendDigits(std::string& out, unsigned long long value, int base, int minDigits) {
    char digits[32];
    const auto [end, ec] = std::to_chars(std::begin(digits), std::end(digits), value, base);
    (void)ec; // 32 characters hold any 64-bit number in base 10 or 16
    const auto count = static_cast<int>(end - digits);
    if (value == 0 && minDigits == 0) return;
    if (count < minDigits) out.append(static_cast<size_t>(minDigits - count), '0');
    out.append(digits, end);
}

} // namespace

std::string Format(const char* text, std::initializer_list<Argument> args) {
    std::string out;
    const Argument* next = args.begin();
    for (const char* p = text; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
            continue;
        }
        int precision = -1;
        if (*p == '.') {
            precision = 0;
            for (++p; IsDigit(*p); ++p)
                precision = precision * 10 + (*p - '0');
        }
        // The call was checked against the text, so a conversion always has
        // its argument; an unchecked text still cannot read past the list.
        if (next == args.end()) break;
        const Argument& arg = *next++;
        switch (*p) {
        case 's':
            out += precision < 0 ? arg.text : arg.text.substr(0, static_cast<size_t>(precision));
            break;
        case 'd': {
            const long long n = static_cast<int>(arg.number);
            if (n < 0) out += '-';
            AppendDigits(
                out, n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n),
                10, precision < 0 ? 1 : precision);
            break;
        }
        case 'u':
            AppendDigits(out, static_cast<unsigned>(arg.number), 10, precision < 0 ? 1 : precision);
            break;
        case 'x':
            AppendDigits(out, static_cast<unsigned>(arg.number), 16, precision < 0 ? 1 : precision);
            break;
        default:
            return out;
        }
    }
    return out;
}

} // namespace message_format
} // namespace torvane
