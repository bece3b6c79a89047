// Splitting a text into its lines, for tests and the whole-run fuzz target.
#pragma once

#include <string>
#include <vector>

namespace smfreq::testing {

// The lines of a text, without their line ends.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> v;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t e = text.find('\n', p);
    if (e == std::string::npos) e = text.size();
    v.push_back(text.substr(p, e - p));
    p = e + 1;
  }
  return v;
}

}  // namespace smfreq::testing
