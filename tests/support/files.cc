#include "support/files.h"

#include <fstream>
#include <iterator>

namespace quillon::test {

std::string
read_file(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void
write_file(const std::filesystem::path& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}

void
write_script(const std::filesystem::path& path, const std::string& text)
{
  write_file(path, text);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

} // namespace quillon::test
