#pragma once

// Tiny LV2 bundles written per test into a fresh directory that LV2_PATH
// points at (with lv2core linked in, so class labels resolve).

#include <string>

namespace quillon::test {

/// The Turtle prefixes every fixture file starts with.
extern const char* const turtle_prefixes;

/// One port description, for the body of a plugin: `classes` such as
/// "lv2:AudioPort, lv2:InputPort", `extra` more predicates.
std::string
port(int index, const std::string& classes, const std::string& extra = "");

class Lv2Fixture
{
public:
  Lv2Fixture();
  ~Lv2Fixture();
  Lv2Fixture(const Lv2Fixture&) = delete;
  Lv2Fixture& operator=(const Lv2Fixture&) = delete;

  /// A bundle `bundle`.lv2 with one plugin: `body` is the Turtle that
  /// follows the subject <uri>, without the final full stop.
  void add_plugin(const std::string& bundle,
                  const std::string& uri,
                  const std::string& body);
  /// A named plugin of class `type` with the given ports.
  void add_simple_plugin(const std::string& bundle,
                         const std::string& uri,
                         const std::string& name,
                         const std::string& type = "lv2:DelayPlugin",
                         const std::string& ports = "");
  /// Writes any file into a bundle, created if needed.
  void write(const std::string& bundle,
             const std::string& file,
             const std::string& content);
  /// Appends Turtle to a bundle's manifest.ttl.
  void append_manifest(const std::string& bundle, const std::string& turtle);
  void remove_bundle(const std::string& bundle);

  const std::string& path() const { return directory; }

private:
  std::string directory;
  std::string saved_lv2_path;
  bool had_lv2_path = false;
};

} // namespace quillon::test
