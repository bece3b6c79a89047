// floor: the least work any reader of a record must do, as a yardstick for the whole run.
//
//   floor FILE
//
// Streams FILE through one reused buffer with read(2) in large blocks, skips the title and units
// lines, and converts every number after them with std::from_chars. Prints the count of numbers
// and their sum (so that nothing is optimised away). Exit status 0, or 1 when the file cannot be
// read or holds something that is not a number.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t block_size = 1 << 20;
// Longer than any number of a record: a number that starts this far from the end of the
// buffered bytes lies wholly in them.
constexpr std::size_t margin = 64;

inline bool is_separator(char c) {
  return c == ' ' || c == ',' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: floor FILE\n");
    return 2;
  }
  int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "floor: %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  std::vector<char> buf(block_size);
  std::size_t len = 0;  // bytes held, [0, len)
  std::size_t pos = 0;  // next byte to look at
  bool done = false;    // the file has no more bytes
  int lines_to_skip = 2;
  long long count = 0;
  double sum = 0.0;
  for (;;) {
    if (!done && len - pos <= margin) {
      // Keep an unfinished number and refill behind it.
      std::memmove(buf.data(), buf.data() + pos, len - pos);
      len -= pos;
      pos = 0;
      while (len < buf.size()) {
        ssize_t r = ::read(fd, buf.data() + len, buf.size() - len);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
          std::fprintf(stderr, "floor: %s: %s\n", argv[1], std::strerror(errno));
          return 1;
        }
        if (r == 0) {
          done = true;
          break;
        }
        len += static_cast<std::size_t>(r);
        if (len - pos > margin) break;
      }
    }
    const char* const b = buf.data();
    if (lines_to_skip > 0) {
      const void* nl = std::memchr(b + pos, '\n', len - pos);
      if (nl == nullptr) {
        pos = len;
        if (done) break;
        continue;
      }
      pos = static_cast<std::size_t>(static_cast<const char*>(nl) - b) + 1;
      --lines_to_skip;
      continue;
    }
    // Numbers while a whole number is surely in the buffer.
    const std::size_t stop = done ? len : len - margin;
    while (pos < stop) {
      if (is_separator(b[pos])) {
        ++pos;
        continue;
      }
      double v = 0.0;
      auto [p, ec] = std::from_chars(b + pos, b + len, v);
      if (ec != std::errc()) {
        std::fprintf(stderr, "floor: not a number at byte %zu of the buffer\n", pos);
        return 1;
      }
      sum += v;
      ++count;
      pos = static_cast<std::size_t>(p - b);
    }
    if (done && pos >= len) break;
  }
  ::close(fd);
  std::printf("%lld numbers, sum %.17g\n", count, sum);
  return 0;
}
