#pragma once
// TStateSet: a set of the numbers 0..255 stored as 32 raw bytes; number n is
// bit (n mod 8) of byte (n div 8). Used for scanner states, token ids and
// characters, and written to streams as those 32 bytes unchanged.

#include <array>
#include <cstdint>

namespace torvane {

class TStateSet {
public:
    static constexpr int kBytes = 32;

    constexpr TStateSet() noexcept : bits_{} {}

    constexpr bool Contains(int n) const noexcept {
        return n >= 0 && n < 256 && (bits_[n >> 3] >> (n & 7)) & 1;
    }
    constexpr void Include(int n) noexcept {
        if (n >= 0 && n < 256) bits_[n >> 3] |= static_cast<uint8_t>(1u << (n & 7));
    }
    constexpr void Exclude(int n) noexcept {
        if (n >= 0 && n < 256) bits_[n >> 3] &= static_cast<uint8_t>(~(1u << (n & 7)));
    }
    constexpr void IncludeRange(int lo, int hi) noexcept {
        for (int n = lo; n <= hi; ++n)
            Include(n);
    }
    constexpr void Clear() noexcept { bits_ = {}; }
    constexpr void Fill() noexcept { bits_.fill(0xFF); }

    constexpr bool Empty() const noexcept {
        for (uint8_t b : bits_)
            if (b) return false;
        return true;
    }
    constexpr bool Intersects(const TStateSet& o) const noexcept {
        for (int i = 0; i < kBytes; ++i)
            if (bits_[i] & o.bits_[i]) return true;
        return false;
    }
    constexpr int Count() const noexcept {
        int c = 0;
        for (int n = 0; n < 256; ++n)
            c += Contains(n);
        return c;
    }

    constexpr TStateSet& operator|=(const TStateSet& o) noexcept {
        for (int i = 0; i < kBytes; ++i)
            bits_[i] |= o.bits_[i];
        return *this;
    }
    constexpr TStateSet& operator&=(const TStateSet& o) noexcept {
        for (int i = 0; i < kBytes; ++i)
            bits_[i] &= o.bits_[i];
        return *this;
    }
    constexpr TStateSet& operator-=(const TStateSet& o) noexcept {
        for (int i = 0; i < kBytes; ++i)
            bits_[i] &= static_cast<uint8_t>(~o.bits_[i]);
        return *this;
    }
    friend constexpr TStateSet operator|(TStateSet a, const TStateSet& b) noexcept { return a |= b; }
    friend constexpr TStateSet operator&(TStateSet a, const TStateSet& b) noexcept { return a &= b; }
    friend constexpr TStateSet operator-(TStateSet a, const TStateSet& b) noexcept { return a -= b; }
    friend constexpr bool operator==(const TStateSet&, const TStateSet&) noexcept = default;

    const uint8_t* Data() const noexcept { return bits_.data(); }
    uint8_t* Data() noexcept { return bits_.data(); }

private:
    std::array<uint8_t, kBytes> bits_;
};

} // namespace torvane
