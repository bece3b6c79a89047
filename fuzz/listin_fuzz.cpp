// Fuzzes the readers of the text layer: list-directed READs of integer, double and
// 90-character text items, the 43-value data-row READ with its end-of-file branch, and the
// "(A90)" READ, all on arbitrary bytes handed out by a memory unit.
//
// Input layout:
//   byte 0      chunk size of the memory unit (0: all bytes in one read)
//   byte 1      number of planned statements (mod 8)
//   2 per plan  statement byte: bits 0-2 item count, bit 3 "(A90)" instead of a list READ,
//               bit 4 with the end-of-file branch; kinds byte: 2 bits per item
//               (0 integer, 1 double, 2 text, 3 double)
//   the rest    the text read
// After the planned statements come data rows until end of file, then one "(A90)" READ.
//
// Each input is read twice, all at once and in the chosen chunks: the results must be the
// same, since where the source happens to split its bytes must not change what is read.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "textio/fmtin.h"
#include "textio/ioerror.h"
#include "textio/listin.h"
#include "textio/unit.h"

namespace {

using namespace smfreq::textio;

constexpr int unit_no = 5;
constexpr std::size_t row_values = 43;
constexpr int max_rows = 100000;

struct Plan {
  std::uint8_t stmt;
  std::uint8_t kinds;
};

template <class T>
void log_bytes(std::string& log, const T& v) {
  log.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// One list-directed READ of up to 7 items of the planned kinds.
void list_statement(const Plan& p, std::string& log) {
  std::int32_t ints[7];
  double dbls[7];
  char texts[7][90];
  InItem items[7];
  const int count = p.stmt & 7;
  for (int k = 0; k < count; ++k) {
    switch ((p.kinds >> (2 * (k % 4))) & 3) {
      case 0:
        ints[k] = 0x5a5a5a5a;
        items[k] = in(ints[k]);
        break;
      case 2:
        std::memset(texts[k], '#', sizeof texts[k]);
        items[k] = in(texts[k]);
        break;
      default:
        dbls[k] = -7.25;
        items[k] = in(dbls[k]);
        break;
    }
  }
  const bool branch = (p.stmt & 16) != 0;
  bool done = true;
  switch (count) {
    case 0:
      done = read_list(unit_no, {}, branch);
      break;
    case 1:
      done = read_list(unit_no, {items[0]}, branch);
      break;
    case 2:
      done = read_list(unit_no, {items[0], items[1]}, branch);
      break;
    case 3:
      done = read_list(unit_no, {items[0], items[1], items[2]}, branch);
      break;
    case 4:
      done = read_list(unit_no, {items[0], items[1], items[2], items[3]}, branch);
      break;
    case 5:
      done = read_list(unit_no, {items[0], items[1], items[2], items[3], items[4]}, branch);
      break;
    case 6:
      done =
          read_list(unit_no, {items[0], items[1], items[2], items[3], items[4], items[5]}, branch);
      break;
    default:
      done = read_list(
          unit_no, {items[0], items[1], items[2], items[3], items[4], items[5], items[6]}, branch);
      break;
  }
  log += done ? 'L' : 'E';
  for (int k = 0; k < count; ++k) {
    switch (items[k].kind) {
      case InItem::Kind::integer:
        log_bytes(log, ints[k]);
        break;
      case InItem::Kind::dbl:
        log_bytes(log, dbls[k]);
        break;
      case InItem::Kind::text:
        log.append(texts[k], sizeof texts[k]);
        break;
    }
  }
}

void a90_statement(std::string& log) {
  char name[90];
  std::memset(name, '#', sizeof name);
  read_a(unit_no, name, "(A90)");
  log += 'A';
  log.append(name, sizeof name);
}

// Reads the whole input as described above; returns the log of everything read.
std::string read_all(std::string_view text, std::size_t chunk, const Plan* plan, int nplan) {
  reset_units();
  attach_memory_input(unit_no, text, chunk);
  std::string log;
  try {
    for (int s = 0; s < nplan; ++s) {
      if (plan[s].stmt & 8) {
        a90_statement(log);
      } else {
        list_statement(plan[s], log);
      }
    }
    double row[row_values];
    for (int r = 0; r < max_rows; ++r) {
      for (double& v : row) v = 0.0;
      const bool accepted = read_list_doubles(unit_no, row, row_values, true);
      log += accepted ? 'R' : 'F';
      log.append(reinterpret_cast<const char*>(row), sizeof row);
      if (!accepted) break;
    }
    a90_statement(log);
  } catch (const IoError& e) {
    // Expected: the run would end here with the report.
    log += '!';
    log += e.where;
    log += ':';
    log += e.message;
    log += report_text(e);
  }
  return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t chunk = data[0];
  int nplan = data[1] % 8;
  std::size_t pos = 2;
  Plan plan[8];
  int got = 0;
  for (; got < nplan && pos + 2 <= size; ++got, pos += 2)
    plan[got] = Plan{data[pos], data[pos + 1]};
  nplan = got;
  const std::string_view text(reinterpret_cast<const char*>(data) + pos, size - pos);

  const std::string whole = read_all(text, 0, plan, nplan);
  if (chunk != 0 && chunk < text.size()) {
    const std::string pieces = read_all(text, chunk, plan, nplan);
    if (pieces != whole) {
      std::fprintf(stderr, "reading in chunks of %zu gives another result\n", chunk);
      __builtin_trap();
    }
  }
  reset_units();
  return 0;
}
