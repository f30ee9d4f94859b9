#pragma once

// File descriptors owned once, and reads and writes that a signal does not
// cut short.

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace quillon {

/// Owns one file descriptor and closes it.
class FileDescriptor
{
public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd)
    : descriptor(fd)
  {
  }
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return descriptor; }
  explicit operator bool() const { return descriptor >= 0; }

private:
  int descriptor = -1;
};

/// read(2), tried again when a signal interrupts it: more than 0 bytes
/// read, 0 at the end, or -1 with errno set (EAGAIN on an empty
/// non-blocking descriptor).
ssize_t
read_some(int fd, void* buffer, std::size_t size);

/// Reads everything up to the end of `fd` into `text`; false on an error.
bool
read_all(int fd, std::string& text);

/// Writes all `size` bytes, going on after interruptions and partial
/// writes; false at the first error, or when a non-blocking descriptor is
/// full.
bool
write_all(int fd, const void* data, std::size_t size);

inline bool
write_all(int fd, const std::string& text)
{
  return write_all(fd, text.data(), text.size());
}

} // namespace quillon
