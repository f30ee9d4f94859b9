#include "common/posix_io.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace quillon {

FileDescriptor::~FileDescriptor()
{
  // Nothing was written through a descriptor whose close fails here.
  if (descriptor >= 0)
    close(descriptor);
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
  : descriptor(std::exchange(other.descriptor, -1))
{
}

FileDescriptor&
FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
  if (this != &other) {
    FileDescriptor old(std::exchange(descriptor, -1));
    descriptor = std::exchange(other.descriptor, -1);
  }
  return *this;
}

ssize_t
read_some(int fd, void* buffer, std::size_t size)
{
  for (;;) {
    const ssize_t n = read(fd, buffer, size);
    if (n >= 0 || errno != EINTR)
      return n;
  }
}

bool
read_all(int fd, std::string& text)
{
  char buffer[4096];
  for (;;) {
    const ssize_t n = read_some(fd, buffer, sizeof buffer);
    if (n == 0)
      return true;
    if (n < 0)
      return false;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

bool
write_all(int fd, const void* data, std::size_t size)
{
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, bytes, size);
    if (n > 0) {
      bytes += n;
      size -= static_cast<std::size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      return false;
    }
  }
  return true;
}

} // namespace quillon
