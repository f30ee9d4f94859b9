#include "marks/mark_set.h"

#include "catalogue/catalogue.h"

namespace quillon::marks {

bool
contains(const std::vector<Glib::ustring>& marks, const Glib::ustring& uri)
{
  if (!uri.validate())
    return false;
  for (const auto& entry : marks)
    if (entry.validate() && entry.compare(uri) == 0)
      return true;
  return false;
}

MarkSet::MarkSet(const std::vector<Glib::ustring>& marks)
{
  for (const auto& entry : marks)
    if (entry.validate())
      keys.insert(catalogue::collation_key(entry));
}

} // namespace quillon::marks
