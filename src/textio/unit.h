// Units 0 to 99: connections to files and the standard streams, with their own buffers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace smfreq::textio {

inline constexpr int unit_count = 100;
inline constexpr int stderr_unit = 0;
inline constexpr int stdin_unit = 5;
inline constexpr int stdout_unit = 6;

inline constexpr int eof_char = -1;

enum class Backend : unsigned char { none, fd, memory };

struct Unit {
  Backend backend = Backend::none;
  bool connected = false;
  bool named = false;       // opened on a file (standard streams have no name)
  bool last_write = false;  // the last transfer was a write: CLOSE cuts the file
  bool eof = false;         // a READ has met the end of the file
  bool read_only = false;   // could be opened for reading only
  int fd = -1;
  std::string name;

  // Input buffer: [ipos, iend) is unread. Carriage returns before line feeds are
  // already removed; a carriage return at the very end of a read is held back until
  // the next read shows what follows it.
  char* ibuf = nullptr;
  std::size_t icap = 0, ipos = 0, iend = 0;
  bool src_done = false;  // the source has no more bytes
  const char* rd_where = "list in";  // where-text of a read error in the running READ
  bool held_cr = false;

  // Output buffer: [0, olen) is written but not yet handed to the file.
  char* obuf = nullptr;
  std::size_t ocap = 0, olen = 0;

  // Memory backend (tests): input text handed out in chunks, output appended to a string.
  std::string_view mem_in;
  std::size_t mem_pos = 0, mem_chunk = 0;
  std::string* mem_out = nullptr;
};

// The unit table. Indices 0..99.
Unit& unit(int n);

// Connects units 0, 5 and 6 to standard error, input and output.
void connect_standard_units();

// OPEN with no status or "unknown": read-write, else read-only, else create.
// `name` may carry trailing blanks; they are removed.
void open_unit(int n, std::string_view name);
// CLOSE: flushes, cuts the file at the current position after a write, frees the unit.
void close_unit(int n);

// The exit action: closes units 0..99 in order. Safe in a signal handler (no
// allocation, no locks): flushes with write(2), cuts with ftruncate, closes.
// Returns the first error met (0 for none) with its where-text in *where.
int close_all_units(const char** where);

// Makes sure unit n is connected for a transfer, connecting it to "fort.n" if needed.
Unit& transfer_unit(int n);

// Input primitives.
// Refills the buffer; false at the end of the source.
bool refill(Unit& u);
inline int peek(Unit& u) {
  if (u.ipos < u.iend) return static_cast<unsigned char>(u.ibuf[u.ipos]);
  return refill(u) ? static_cast<unsigned char>(u.ibuf[u.ipos]) : eof_char;
}

// Output primitives.
void put(Unit& u, const char* s, std::size_t n);
inline void put(Unit& u, std::string_view s) { put(u, s.data(), s.size()); }
void flush(Unit& u);  // hands the buffer to the file; throws IoError on failure
void flush_quietly(Unit& u);  // the same, ignoring a failure
// Switches a unit to writing: checks that it may be written (where-text for a read-only file).
void begin_write(Unit& u, const char* where);
// Switches a unit to reading.
void begin_read(Unit& u);

// Test support: attach a unit to memory instead of a file.
void attach_memory_input(int n, std::string_view text, std::size_t chunk = 0);
void attach_memory_output(int n, std::string* sink);
void reset_units();  // disconnects every unit without touching files

}  // namespace smfreq::textio
