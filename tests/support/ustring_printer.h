#pragma once

// Lets GoogleTest print Glib::ustring values as text.

#include <glibmm/ustring.h>
#include <ostream>

namespace Glib {

inline void
PrintTo(const ustring& text, std::ostream* out)
{
  *out << '"' << text.raw() << '"';
}

} // namespace Glib
