// Formatted WRITE under a format text: quoted text, nX, /, Fw.d, Ew.d and r( ... ).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace smfreq::textio {

// A format text compiled once into a list of edits.
class Format {
 public:
  // `text` must stay alive as long as the Format (the system's formats are literals).
  explicit Format(const char* text);
  const char* text() const { return text_; }

  struct Edit {
    enum class Kind : unsigned char { literal, skip, slash, f, e, group, group_end };
    Kind kind;
    int w = 0;       // field width; nX: n; group: repeat count
    int d = 0;       // decimals or digits
    int other = 0;   // group: index of its end; group_end: index of its start
    std::string lit; // literal text
  };
  const std::vector<Edit>& edits() const { return edits_; }

 private:
  const char* text_;
  std::vector<Edit> edits_;
};

// Writes `values` under `fmt` to `unit`: the format is followed until an F or E edit
// finds no value left, or its closing parenthesis; then the record is ended.
void write_formatted(int unit, const Format& fmt, std::initializer_list<double> values);

}  // namespace smfreq::textio
