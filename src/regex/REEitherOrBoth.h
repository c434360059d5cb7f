#pragma once
// The A||B operator ("A and/or B, in either order") is a rewrite of the
// pattern text done before compiling: A||B becomes ((A)(B)?)|((B)(A)?), where
// an operand that already is one whole group is not wrapped again. `||`
// binds tighter than `|` and chains to the left: A||B||C is (A||B)||C.

#include <optional>
#include <string>
#include <string_view>

namespace torvane::re {

// Longest pattern text the rewrite may produce (each || doubles its operands).
constexpr size_t kMaxRewrittenLength = 32768;

// The pattern with every || rewritten; the text itself when it has none;
// nullopt when the result would exceed kMaxRewrittenLength. Escapes, quoted
// literals and classes are skipped, so a | inside them is no operator.
std::optional<std::string> RewriteEitherOrBoth(std::string_view pattern);

} // namespace torvane::re
