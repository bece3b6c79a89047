// Feeds the text layer from strings: unit 5 reads a given text, unit 6 writes to a string.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "textio/ioerror.h"
#include "textio/unit.h"

namespace smfreq::textio {

class TextIoTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_units(); }
  void TearDown() override { reset_units(); }

  // Unit 5 reads `text`, handed out `chunk` bytes at a time (0: all at once).
  void input(const std::string& text, std::size_t chunk = 0) {
    in_ = text;
    attach_memory_input(5, in_, chunk);
  }
  // What unit 6 has written so far.
  std::string output() {
    flush(unit(6));
    return out_;
  }
  void capture() {
    out_.clear();
    attach_memory_output(6, &out_);
  }

 private:
  std::string in_;
  std::string out_;
};

// Runs `f` and returns the where-text of the IoError it throws ("" when none).
template <class F>
std::string where_of(F f) {
  try {
    f();
  } catch (const IoError& e) {
    return e.where;
  }
  return "";
}

}  // namespace smfreq::textio
