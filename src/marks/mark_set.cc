#include "marks/mark_set.h"

#include "catalogue/text_rules.h"

namespace quillon::marks {

std::size_t
find_mark(const std::vector<Glib::ustring>& marks, const Glib::ustring& uri)
{
  if (!uri.validate())
    return marks.size();
  for (std::size_t i = 0; i < marks.size(); ++i)
    if (marks[i].validate() && marks[i].compare(uri) == 0)
      return i;
  return marks.size();
}

MarkSet::MarkSet(const std::vector<Glib::ustring>& marks)
{
  for (const auto& entry : marks)
    if (entry.validate())
      keys.insert(catalogue::collation_key(entry));
}

} // namespace quillon::marks
