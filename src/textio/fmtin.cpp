#include "textio/fmtin.h"

#include <cstring>

#include "textio/ioerror.h"
#include "textio/unit.h"

namespace smfreq::textio {

void read_text_record(int n, char* dst, std::size_t len, const char* format) {
  Unit& u = transfer_unit(n);
  if (n == stdin_unit) flush(unit(stdout_unit));
  note_transfer(true, format);
  begin_read(u);
  u.rd_where = "fmt";
  if (u.eof) fail("read start", "end of file");
  std::size_t count = 0;
  for (;;) {
    int c = peek(u);
    if (c == '\n') {
      ++u.ipos;
      break;
    }
    if (c == eof_char) {
      if (count < len) fail("fmt", "end of file");
      u.eof = true;
      break;
    }
    if (count < len) dst[count] = static_cast<char>(c);
    ++count;
    ++u.ipos;
  }
  if (count < len) std::memset(dst + count, ' ', len - count);
  note_format_done();
}

}  // namespace smfreq::textio
