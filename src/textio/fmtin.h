// Formatted READ of one text record, as the format "(A90)" does it.
#pragma once

#include <cstddef>

namespace smfreq::textio {

// Reads the next record of `unit` into `dst`: its first `len` characters, padded
// with blanks; the rest of the record and its line end are used up.
void read_text_record(int unit, char* dst, std::size_t len, const char* format);

template <std::size_t N>
inline void read_a(int unit, char (&dst)[N], const char* format) {
  read_text_record(unit, dst, N, format);
}

}  // namespace smfreq::textio
