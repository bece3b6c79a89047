// List-directed READ: integers, doubles and fixed-length text from a unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace smfreq::textio {

struct InItem {
  enum class Kind : unsigned char { integer, dbl, text };
  Kind kind;
  void* p;
  std::size_t len;  // text items: the variable's length
};

inline InItem in(std::int32_t& v) { return {InItem::Kind::integer, &v, 0}; }
inline InItem in(double& v) { return {InItem::Kind::dbl, &v, 0}; }
template <std::size_t N>
inline InItem in(char (&text)[N]) {
  return {InItem::Kind::text, text, N};
}

// Reads values into `items` in order. Items that get a null value, or come after a
// slash, keep their values. With `eof_branch`, returns false where end of file ends
// the READ; otherwise end of file, like every other failure, throws IoError.
bool read_list(int unit, std::initializer_list<InItem> items, bool eof_branch = false);

// The same for `n` double items (the data rows of a record).
bool read_list_doubles(int unit, double* v, std::size_t n, bool eof_branch);

}  // namespace smfreq::textio
