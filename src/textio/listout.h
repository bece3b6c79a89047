// List-directed WRITE: one record of text, integer and double items.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace smfreq::textio {

struct OutItem {
  enum class Kind : unsigned char { text, integer, dbl };
  Kind kind;
  std::string_view text;
  std::int32_t i = 0;
  double d = 0.0;

  OutItem(const char* t) : kind(Kind::text), text(t) {}
  OutItem(std::string_view t) : kind(Kind::text), text(t) {}
  OutItem(std::int32_t v) : kind(Kind::integer), i(v) {}
  OutItem(double v) : kind(Kind::dbl), d(v) {}
};

// Writes the items as one record (more when an item would reach column 80), ended
// with a line end. No items: an empty record.
void write_list(int unit, std::initializer_list<OutItem> items);

}  // namespace smfreq::textio
