#include "textio/unit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "textio/ioerror.h"

namespace smfreq::textio {
namespace {

constexpr std::size_t input_buffer_size = 128 * 1024;
constexpr std::size_t output_buffer_size = 64 * 1024;

Unit g_units[unit_count];

char* allocate(std::size_t n) {
  char* p = static_cast<char*>(std::malloc(n));
  if (p == nullptr) fail("malloc failure", "out of free space");
  return p;
}

// Reads up to n raw bytes from the unit's source. Returns the count (0 at the end)
// or -1 with errno set.
long raw_read(Unit& u, char* dst, std::size_t n) {
  if (u.backend == Backend::memory) {
    std::size_t left = u.mem_in.size() - u.mem_pos;
    std::size_t take = left < n ? left : n;
    if (u.mem_chunk != 0 && take > u.mem_chunk) take = u.mem_chunk;
    std::memcpy(dst, u.mem_in.data() + u.mem_pos, take);
    u.mem_pos += take;
    return static_cast<long>(take);
  }
  for (;;) {
    ssize_t r = ::read(u.fd, dst, n);
    if (r >= 0 || errno != EINTR) return static_cast<long>(r);
  }
}

// Hands bytes to the unit's destination. Returns 0 or an errno value. No allocation
// and no locks on the fd path, so the exit action may call it from a signal handler.
int raw_write(Unit& u, const char* s, std::size_t n) {
  if (u.backend == Backend::memory) {
    if (u.mem_out != nullptr) u.mem_out->append(s, n);
    return 0;
  }
  while (n > 0) {
    ssize_t r = ::write(u.fd, s, n);
    if (r < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (r == 0) return EIO;
    s += r;
    n -= static_cast<std::size_t>(r);
  }
  return 0;
}

int flush_raw(Unit& u) {
  const std::size_t n = u.olen;
  if (n == 0) return 0;
  // The bytes leave the buffer before write(2) starts. A signal that arrives during the
  // write is delivered as it returns, and the exit action that its handler runs must not
  // find them still pending and write them a second time.
  u.olen = 0;
  return raw_write(u, u.obuf, n);
}

// Cuts a written file at the current position when it extends beyond it.
// Returns 0 or an errno value.
int cut_raw(Unit& u) {
  if (!u.last_write || u.backend != Backend::fd || !u.named) return 0;
  off_t pos = ::lseek(u.fd, 0, SEEK_CUR);
  struct stat st;
  if (pos < 0 || ::fstat(u.fd, &st) != 0) return 0;  // not a seekable file: nothing to cut
  if (!S_ISREG(st.st_mode) || st.st_size <= pos) return 0;
  return ::ftruncate(u.fd, pos) == 0 ? 0 : errno;
}

void disconnect(Unit& u) {
  if (u.backend == Backend::fd && u.named && u.fd >= 0) ::close(u.fd);
  u.backend = Backend::none;
  u.connected = false;
  u.named = false;
  u.last_write = false;
  u.eof = false;
  u.read_only = false;
  u.fd = -1;
  u.ipos = u.iend = 0;
  u.src_done = false;
  u.held_cr = false;
  u.olen = 0;
  u.mem_in = {};
  u.mem_pos = u.mem_chunk = 0;
  u.mem_out = nullptr;
}

void connect_fd(int n, int fd) {
  Unit& u = g_units[n];
  disconnect(u);
  u.backend = Backend::fd;
  u.connected = true;
  u.fd = fd;
}

// Opens `name` read-write, else read-only, else creates it. Returns the fd or -1
// with errno set. A folder is refused.
int open_file(const std::string& name, bool* read_only) {
  *read_only = false;
  if (name.find('\0') != std::string::npos) {
    errno = EINVAL;  // no file can carry a NUL in its name
    return -1;
  }
  int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0 && errno != EISDIR) {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0) {
      *read_only = true;
    } else {
      fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    }
  }
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

std::string_view trim_trailing_blanks(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

void remove_cr_before_lf(Unit& u, std::size_t from) {
  char* b = u.ibuf;
  const void* hit = std::memchr(b + from, '\r', u.iend - from);
  if (hit != nullptr) {
    std::size_t w = static_cast<std::size_t>(static_cast<const char*>(hit) - b);
    for (std::size_t r = w; r < u.iend; ++r) {
      if (b[r] == '\r' && r + 1 < u.iend && b[r + 1] == '\n') continue;
      b[w++] = b[r];
    }
    u.iend = w;
  }
  if (u.iend > from && b[u.iend - 1] == '\r' && !u.src_done) {
    --u.iend;  // wait for the next byte: a CR before LF is part of the line end
    u.held_cr = true;
  }
}

}  // namespace

Unit& unit(int n) { return g_units[n]; }

void connect_standard_units() {
  connect_fd(stderr_unit, 2);
  connect_fd(stdin_unit, 0);
  connect_fd(stdout_unit, 1);
}

void open_unit(int n, std::string_view name_text) {
  std::string_view name = trim_trailing_blanks(name_text);
  if (g_units[n].connected) close_unit(n);
  note_open(n, name);
  if (name.empty()) fail("open", "null file name");
  std::string path(name);
  bool read_only = false;
  int fd = open_file(path, &read_only);
  if (fd < 0) fail_os("open", errno);
  connect_fd(n, fd);
  Unit& u = g_units[n];
  u.named = true;
  u.read_only = read_only;
  u.name = std::move(path);
}

void close_unit(int n) {
  Unit& u = g_units[n];
  if (!u.connected) return;
  note_unit(n);
  if (int err = flush_raw(u)) fail_os("write", err);
  if (!u.named) return;  // standard streams stay connected
  if (cut_raw(u) != 0) fail("endfile", "truncation failed in endfile");
  disconnect(u);
}

int close_all_units(const char** where) {
  int first = 0;
  for (int n = 0; n < unit_count; ++n) {
    Unit& u = g_units[n];
    if (!u.connected) continue;
    int err = flush_raw(u);
    if (err != 0 && first == 0) {
      first = err;
      *where = "write";
    }
    if (!u.named) continue;  // standard streams stay open
    if (cut_raw(u) != 0 && first == 0) {
      first = EIO;
      *where = "endfile";
    }
    disconnect(u);
  }
  return first;
}

Unit& transfer_unit(int n) {
  Unit& u = g_units[n];
  note_unit(n);
  if (u.connected) return u;
  std::string name = "fort." + std::to_string(n);
  note_open(n, name);
  bool read_only = false;
  int fd = open_file(name, &read_only);
  if (fd < 0) fail("lio", "formatted io not allowed");
  connect_fd(n, fd);
  u.named = true;
  u.read_only = read_only;
  u.name = std::move(name);
  return u;
}

bool refill(Unit& u) {
  if (u.backend == Backend::none) return false;
  if (u.ipos > 0) {
    std::memmove(u.ibuf, u.ibuf + u.ipos, u.iend - u.ipos);
    u.iend -= u.ipos;
    u.ipos = 0;
  }
  if (u.ibuf == nullptr) {
    u.ibuf = allocate(input_buffer_size);
    u.icap = input_buffer_size;
  }
  while (u.iend == u.ipos) {
    if (u.src_done) return false;
    std::size_t from = u.iend;
    if (u.held_cr) {
      u.ibuf[u.iend++] = '\r';
      u.held_cr = false;
    }
    long r = raw_read(u, u.ibuf + u.iend, u.icap - u.iend);
    if (r < 0) fail_os(u.rd_where, errno);
    if (r == 0) u.src_done = true;
    u.iend += static_cast<std::size_t>(r);
    remove_cr_before_lf(u, from);
  }
  return true;
}

void put(Unit& u, const char* s, std::size_t n) {
  if (u.obuf == nullptr) {
    u.obuf = allocate(output_buffer_size);
    u.ocap = output_buffer_size;
  }
  while (n > 0) {
    if (u.olen == u.ocap) flush(u);
    std::size_t take = u.ocap - u.olen < n ? u.ocap - u.olen : n;
    std::memcpy(u.obuf + u.olen, s, take);
    u.olen += take;
    s += take;
    n -= take;
  }
}

void flush(Unit& u) {
  if (int err = flush_raw(u)) fail_os("write", err);
}

void flush_quietly(Unit& u) { flush_raw(u); }

void begin_write(Unit& u, const char* where) {
  if (u.read_only) fail(where, "can't write file");
  if (!u.last_write && u.backend == Backend::fd && u.named) {
    // Writing continues where reading stopped: give back what the buffer read ahead.
    std::size_t ahead = u.iend - u.ipos + (u.held_cr ? 1 : 0);
    if (ahead > 0) ::lseek(u.fd, -static_cast<off_t>(ahead), SEEK_CUR);
    u.ipos = u.iend = 0;
    u.held_cr = false;
    u.src_done = false;
  }
  u.last_write = true;
}

void begin_read(Unit& u) {
  if (u.last_write) flush(u);
  u.last_write = false;
}

void attach_memory_input(int n, std::string_view text, std::size_t chunk) {
  Unit& u = g_units[n];
  disconnect(u);
  u.backend = Backend::memory;
  u.connected = true;
  u.mem_in = text;
  u.mem_chunk = chunk;
}

void attach_memory_output(int n, std::string* sink) {
  Unit& u = g_units[n];
  disconnect(u);
  u.backend = Backend::memory;
  u.connected = true;
  u.mem_out = sink;
}

void reset_units() {
  for (Unit& u : g_units) disconnect(u);
}

}  // namespace smfreq::textio
