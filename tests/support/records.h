// Small input records for end-to-end tests.
#pragma once

#include <cstdio>
#include <string>

namespace smfreq::testing {

// A title line of four words, a units line, then `rows` rows of a time value and 42
// values. Value k of row i is `value(i, k)`; the channels are values 13, 14 and 16.
template <class Value>
std::string make_record(int rows, double dt, const char* sep, Value value) {
  std::string s = "time a b c and more\nsec gal gal gal\n";
  char buf[64];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(buf, sizeof buf, "%.4f", i * dt);
    s += buf;
    for (int k = 1; k <= 42; ++k) {
      std::snprintf(buf, sizeof buf, "%s%.6g", sep, value(i, k));
      s += buf;
    }
    s += '\n';
  }
  return s;
}

// A record whose channels are simple functions of the row: channel 1 = i + 1,
// channel 2 = -(i + 1) / 4, channel 3 = 10 * (i % 3); other values are k.
inline std::string plain_record(int rows, double dt = 0.01, const char* sep = ",") {
  return make_record(rows, dt, sep, [](int i, int k) -> double {
    if (k == 13) return i + 1;
    if (k == 14) return -(i + 1) / 4.0;
    if (k == 16) return 10.0 * (i % 3);
    return k;
  });
}

// Answers for a run with no processing, writing the waveform to `out`.
inline std::string plain_answers(const std::string& record, const std::string& out = "wave.csv") {
  return record + "\n0\n0\n0\n0\n0\n" + out + "\n\n";
}

}  // namespace smfreq::testing
