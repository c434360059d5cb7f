#pragma once
// Tab stops: where a TAB character moves the display column to.
//
// Stops are up to 32 ascending 0-based columns (-1 = unused) plus a default
// width. A TAB at column c moves to the first stop greater than c, else to
// the next multiple of the default width: c + width - c mod width.
//
// The textual form (the `TabColumns` property) lists 1-based columns
// separated by spaces or ";", e.g. "5 9" for stops at columns 4 and 8. A bad
// list raises ETessary and leaves the previous stops in place.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

class TTabStops {
public:
    static constexpr int kMaxStops = 32;

    int32_t Default() const noexcept { return default_; }
    // A width that is not > 0 raises ETessary "=Illegal default tab stop value, must be > 0".
    void SetDefault(int32_t width);

    std::string Columns() const;
    void SetColumns(std::string_view text);
    const std::array<int32_t, kMaxStops>& Stops() const noexcept { return stops_; }

    // Column a TAB at column starts from moves to.
    int32_t NextStop(int32_t column) const noexcept;

private:
    std::array<int32_t, kMaxStops> stops_ = Unset();
    int32_t default_ = 4;

    static constexpr std::array<int32_t, kMaxStops> Unset() {
        std::array<int32_t, kMaxStops> a{};
        a.fill(-1);
        return a;
    }
};

} // namespace torvane
