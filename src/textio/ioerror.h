// The one error type of the text layer and the four-line report it prints.
#pragma once

#include <string>
#include <string_view>

namespace smfreq::textio {

// A failed READ, WRITE, OPEN or CLOSE. Carries the where-text and message, and a
// snapshot of the statement state the report describes.
struct IoError {
  std::string where;    // e.g. "list in", "open"
  std::string message;  // e.g. "end of file", or the operating system's text
  int unit = 0;         // unit of the most recent READ, WRITE or OPEN
  bool named = false;   // a file unit (false: a standard stream)
  std::string name;     // its file name
  std::string format;   // "list io", a format text, or empty when the line is absent
  bool reading = true;  // direction of the most recent transfer statement
};

// The report exactly as it goes to standard error, line ends included.
std::string report_text(const IoError& e);

// Statement state kept for the report. Every transfer statement and OPEN records itself here.
void note_unit(int unit);                // the unit of the statement now running
void note_open(int unit, std::string_view name);  // an OPEN of `unit` on `name`
void note_transfer(bool reading, const char* format);  // format: "list io" or a format text
void note_format_done();                 // a formatted statement has ended

// Throws IoError for the current statement.
[[noreturn]] void fail(std::string_view where, std::string_view message);
// Throws IoError with the operating system's text for errno value `err`.
[[noreturn]] void fail_os(std::string_view where, int err);

}  // namespace smfreq::textio
