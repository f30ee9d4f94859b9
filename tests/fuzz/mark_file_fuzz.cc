// Mark list files: any bytes read and written back, and the membership
// tests made on what was read.

#include "catalogue/text_rules.h"
#include "fuzz_check.h"
#include "marks/mark_file.h"
#include "marks/mark_set.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using quillon::marks::format_marks;
using quillon::marks::parse_marks;

/// Membership answers are compared for this many entries at most: each
/// answer walks the whole list, and a few suffice to catch a disagreement.
constexpr std::size_t probed_entries = 8;

void
check_round_trip(const std::string& bytes,
                 const std::vector<Glib::ustring>& entries)
{
  // One entry per line feed, plus the last line when it has none.
  const auto line_feeds =
    static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  const bool unfinished = !bytes.empty() && bytes.back() != '\n';
  FUZZ_CHECK(entries.size() == line_feeds + (unfinished ? 1 : 0));
  for (const auto& entry : entries)
    FUZZ_CHECK(entry.raw().find('\n') == std::string::npos);

  // Written back, the file is the same bytes; only a last line without a
  // line feed gains one.
  const std::string written = format_marks(entries);
  FUZZ_CHECK(written == (unfinished ? bytes + '\n' : bytes));
  // And what was written reads back as the same entries.
  const auto reread = parse_marks(written);
  FUZZ_CHECK(reread.size() == entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    FUZZ_CHECK(reread[i].raw() == entries[i].raw());
}

/// The list's membership test and its prepared set give the same answers;
/// entries that are not valid UTF-8 match nothing.
void
check_membership(const std::vector<Glib::ustring>& entries)
{
  const quillon::marks::MarkSet set(entries);
  const std::size_t probes = std::min(entries.size(), probed_entries);
  for (std::size_t i = 0; i < probes; ++i) {
    const Glib::ustring& entry = entries[i];
    const bool listed = quillon::marks::contains(entries, entry);
    FUZZ_CHECK(listed == entry.validate());
    if (!entry.validate())
      continue;
    FUZZ_CHECK(set.contains_key(quillon::catalogue::collation_key(entry)));
    // A URI one character shorter: listed or not, both answer alike.
    if (entry.empty())
      continue;
    const Glib::ustring shorter = entry.substr(0, entry.size() - 1);
    FUZZ_CHECK(quillon::marks::contains(entries, shorter) ==
               set.contains_key(quillon::catalogue::collation_key(shorter)));
  }
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = parse_marks(bytes);
  check_round_trip(bytes, entries);
  check_membership(entries);
  return 0;
}
