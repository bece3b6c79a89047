// Files and folders that cannot be written, also for root (which ignores permission
// bits): the immutable attribute where the host allows it.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace smfreq::testing {

// Sets or clears the immutable attribute of a file or folder. False where the host
// refuses it.
inline bool set_immutable(const std::string& path, bool on) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok && ((flags & FS_IMMUTABLE_FL) != 0) != on) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

// A file that opens for reading but not for writing. False when no such file can be
// made here.
inline bool make_read_only(const std::string& path) {
  ::chmod(path.c_str(), 0444);
  if (::geteuid() == 0 && !set_immutable(path, true)) return false;
  int fd = ::open(path.c_str(), O_RDWR);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return true;
}

// Undoes make_read_only so that the file can be removed.
inline void make_writable(const std::string& path) {
  set_immutable(path, false);
  ::chmod(path.c_str(), 0644);
}

}  // namespace smfreq::testing
