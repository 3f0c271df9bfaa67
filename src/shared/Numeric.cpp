#include "Numeric.h"

#include <charconv>
#include <cmath>
#include <string>

namespace numeric {
namespace {
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }
}  // namespace

std::optional<double> parse(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    bool digit = false;
    bool point = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != s.data() + s.size()) {
        // Only out-of-range text gets here: too small for a double when the
        // whole part is zero (it rounds to 0), else far beyond any key's range.
        const std::string_view whole = s.substr(0, s.find('.'));
        if (whole.find_first_not_of('0') == std::string_view::npos) return 0.0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    return negative ? -value : value;
}

double roundHalfEven(double v) {
    const double r = std::nearbyint(v);  // the default rounding mode is to nearest, ties to even
    return r == 0 ? 0.0 : r;             // no negative zero
}

std::optional<std::int64_t> toWhole(std::string_view text, std::int64_t min, std::int64_t max) {
    const std::optional<double> v = parse(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    const double r = roundHalfEven(*v);
    if (r < static_cast<double>(min) || r > static_cast<double>(max)) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

}  // namespace numeric
