#include "textio/listout.h"

#include "textio/ioerror.h"
#include "textio/render.h"
#include "textio/unit.h"

namespace smfreq::textio {
namespace {

// A record is ended before an item that would reach this column.
constexpr std::size_t record_limit = 80;

}  // namespace

void write_list(int n, std::initializer_list<OutItem> items) {
  Unit& u = transfer_unit(n);
  note_transfer(false, "list io");
  begin_write(u, "list output start");
  std::size_t len = 0;  // length of the record being written
  char buf[max_rendered];
  for (const OutItem& it : items) {
    std::size_t m = 0;    // rendered length
    std::size_t fit = 0;  // the length that counts against the record limit
    const char* text = buf;
    switch (it.kind) {
      case OutItem::Kind::text:
        text = it.text.data();
        m = fit = it.text.size();
        break;
      case OutItem::Kind::integer:
        buf[0] = ' ';
        m = 1 + render_integer(it.i, buf + 1);
        fit = m - 1 - (it.i < 0 ? 1 : 0);  // its blank and sign do not count
        break;
      case OutItem::Kind::dbl:
        m = fit = render_list_double(it.d, buf);
        break;
    }
    if (len > 0 && len + fit >= record_limit) {
      put(u, "\n", 1);
      len = 0;
    }
    if (len == 0 && it.kind == OutItem::Kind::text) {
      put(u, " ", 1);
      len = 1;
    }
    put(u, text, m);
    len += m;
  }
  put(u, "\n", 1);
}

}  // namespace smfreq::textio
