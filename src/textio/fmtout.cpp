#include "textio/fmtout.h"

#include <cstdlib>
#include <cstring>

#include "textio/ioerror.h"
#include "textio/render.h"
#include "textio/unit.h"

namespace smfreq::textio {
namespace {

int parse_int(const char*& p) {
  int v = 0;
  while (*p >= '0' && *p <= '9') v = v * 10 + (*p++ - '0');
  return v;
}

// The format texts are the program's own; a malformed one is a programming error.
[[noreturn]] void bad_format() { std::abort(); }

}  // namespace

Format::Format(const char* text) : text_(text) {
  const char* p = text;
  if (*p++ != '(') bad_format();
  std::vector<std::size_t> open;
  for (;;) {
    while (*p == ' ' || *p == ',') ++p;
    if (*p == ')') {
      ++p;
      if (open.empty()) break;
      std::size_t start = open.back();
      open.pop_back();
      edits_[start].other = static_cast<int>(edits_.size());
      edits_.push_back({Edit::Kind::group_end, 0, 0, static_cast<int>(start), {}});
      continue;
    }
    if (*p == '\'') {
      std::string lit;
      for (++p;; ++p) {
        if (*p == '\0') bad_format();
        if (*p == '\'') {
          if (p[1] != '\'') break;
          ++p;
        }
        lit += *p;
      }
      ++p;
      edits_.push_back({Edit::Kind::literal, 0, 0, 0, std::move(lit)});
      continue;
    }
    if (*p == '/') {
      ++p;
      edits_.push_back({Edit::Kind::slash, 0, 0, 0, {}});
      continue;
    }
    int count = (*p >= '0' && *p <= '9') ? parse_int(p) : 1;
    char c = *p++;
    if (c == 'X' || c == 'x') {
      edits_.push_back({Edit::Kind::skip, count, 0, 0, {}});
    } else if (c == '(') {
      open.push_back(edits_.size());
      edits_.push_back({Edit::Kind::group, count, 0, 0, {}});
    } else if (c == 'F' || c == 'f' || c == 'E' || c == 'e') {
      int w = parse_int(p);
      if (*p++ != '.') bad_format();
      int d = parse_int(p);
      if (w <= 0 || w > static_cast<int>(max_rendered) || d > 40) bad_format();
      Edit::Kind k = (c == 'F' || c == 'f') ? Edit::Kind::f : Edit::Kind::e;
      for (int i = 0; i < count; ++i) edits_.push_back({k, w, d, 0, {}});
    } else {
      bad_format();
    }
  }
  if (!open.empty()) bad_format();
}

void write_formatted(int n, const Format& fmt, std::initializer_list<double> values) {
  Unit& u = transfer_unit(n);
  note_transfer(false, fmt.text());
  begin_write(u, "write start");
  const auto& edits = fmt.edits();
  const double* v = values.begin();
  const double* const vend = values.end();
  int pending = 0;  // columns passed over by nX, blank only if something follows
  int passes[8] = {};
  int depth = 0;
  char field[max_rendered];
  auto blanks = [&] {
    static const char spaces[] = "                                ";
    while (pending > 0) {
      int k = pending < 32 ? pending : 32;
      put(u, spaces, static_cast<std::size_t>(k));
      pending -= k;
    }
  };
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const Format::Edit& e = edits[i];
    switch (e.kind) {
      case Format::Edit::Kind::literal:
        blanks();
        put(u, e.lit);
        break;
      case Format::Edit::Kind::skip:
        pending += e.w;
        break;
      case Format::Edit::Kind::slash:
        pending = 0;
        put(u, "\n", 1);
        break;
      case Format::Edit::Kind::f:
      case Format::Edit::Kind::e:
        if (v == vend) goto done;
        blanks();
        if (e.kind == Format::Edit::Kind::f) {
          render_f(*v++, e.w, e.d, field);
        } else {
          render_e(*v++, e.w, e.d, field);
        }
        put(u, field, static_cast<std::size_t>(e.w));
        break;
      case Format::Edit::Kind::group:
        if (depth == 8) bad_format();
        passes[depth++] = 1;
        break;
      case Format::Edit::Kind::group_end: {
        const Format::Edit& g = edits[static_cast<std::size_t>(e.other)];
        if (passes[depth - 1] < g.w) {
          ++passes[depth - 1];
          i = static_cast<std::size_t>(e.other);  // back to the first edit of the group
        } else {
          --depth;
        }
        break;
      }
    }
  }
done:
  put(u, "\n", 1);
  note_format_done();
}

}  // namespace smfreq::textio
