#pragma once
// The two tests applied to every value read from the settings file, and the
// conversion of a numeric value to a whole number.

#include <cstdint>
#include <optional>
#include <string_view>

namespace numeric {

// Decimal text: blanks, optional sign, digits with an optional decimal point
// (at least one digit), blanks. Anything else is not numeric.
std::optional<double> parse(std::string_view text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double v);

// parse + roundHalfEven, accepted only within [min, max].
std::optional<std::int64_t> toWhole(std::string_view text, std::int64_t min, std::int64_t max);


}  // namespace numeric
