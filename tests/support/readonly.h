// Makes a file that can be opened for reading but not for writing, also for root
// (which ignores permission bits): the immutable attribute where the host allows it.
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace smfreq::testing {

// Returns false when no such file can be made here.
inline bool make_read_only(const std::string& path) {
  ::chmod(path.c_str(), 0444);
  if (::geteuid() == 0) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags |= FS_IMMUTABLE_FL;
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    if (!ok) return false;
  }
  int fd = ::open(path.c_str(), O_RDWR);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return true;
}

// Undoes make_read_only so that the file can be removed.
inline void make_writable(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd >= 0) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL)) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
  }
  ::chmod(path.c_str(), 0644);
}

}  // namespace smfreq::testing
