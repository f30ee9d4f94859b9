#include "catalogue/lv2_path.h"

namespace quillon::catalogue {

std::optional<std::string>
absolute_lv2_path(const char* lv2_path, const std::string& current_dir)
{
  if (!lv2_path || current_dir.empty() || current_dir.front() != '/')
    return std::nullopt;
  const std::string path(lv2_path);
  std::string result;
  bool changed = false;
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = path.find(':', begin);
    const std::string entry = path.substr(begin, end - begin);
    if (begin != 0)
      result += ':';
    if (!entry.empty() && entry.front() != '/' && entry.front() != '~' &&
        entry.front() != '$') {
      result += current_dir;
      if (current_dir.back() != '/')
        result += '/';
      changed = true;
    }
    result += entry;
    if (end == std::string::npos)
      break;
    begin = end + 1;
  }
  if (!changed)
    return std::nullopt;
  return result;
}

} // namespace quillon::catalogue
