#pragma once

namespace quillon {

/// Writes one diagnostic to standard error. The format is passed through
/// gettext by the caller: diagnostic(_("... %s\n"), text).
void
diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace quillon
