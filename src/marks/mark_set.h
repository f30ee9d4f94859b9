#pragma once

#include <cstddef>
#include <glibmm/ustring.h>
#include <string>
#include <unordered_set>
#include <vector>

namespace quillon::marks {

/// The position of the first entry of `marks` that equals `uri` as
/// Glib::ustring::compare sees it (locale collation), or marks.size().
/// Entries that are not valid UTF-8 match nothing and are never collated.
std::size_t
find_mark(const std::vector<Glib::ustring>& marks, const Glib::ustring& uri);

/// True when some entry of `marks` equals `uri` (see find_mark).
inline bool
contains(const std::vector<Glib::ustring>& marks, const Glib::ustring& uri)
{
  return find_mark(marks, uri) != marks.size();
}

/// A mark list prepared for many membership tests: the same answers as
/// `contains`, by the collation keys of its entries.
class MarkSet
{
public:
  explicit MarkSet(const std::vector<Glib::ustring>& marks);

  /// `uri_key` is the collation key of a valid UTF-8 URI.
  bool contains_key(const std::string& uri_key) const
  {
    return keys.count(uri_key) != 0;
  }

private:
  std::unordered_set<std::string> keys;
};

} // namespace quillon::marks
