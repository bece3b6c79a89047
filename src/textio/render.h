// Rendering of numbers as the text output statements write them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace smfreq::textio {

// Longest text any of the functions below writes.
inline constexpr std::size_t max_rendered = 400;

// A double item of list-directed output, with its two leading characters: a blank,
// then a minus sign or a second blank. 9 significant digits, plain notation for
// decimal exponents -4 to 8, otherwise d.ddddE+XXX. Returns the length.
std::size_t render_list_double(double v, char* out);

// An integer item of list-directed output without its leading blank.
std::size_t render_integer(std::int32_t v, char* out);

// Fw.d: exactly w characters, asterisks when the value does not fit.
void render_f(double v, int w, int d, char* out);

// Ew.d: exactly w characters, 0.ddddE+XX, or 0.dddd+XXX for three-digit exponents.
void render_e(double v, int w, int d, char* out);

}  // namespace smfreq::textio
