// The launch rules that need neither a display nor lilv: command texts and
// quoting, the host list, the URI table and the state text.

#include "launch/commands.h"
#include "launch/host_search.h"
#include "launch/state_text.h"
#include "launch/urid_table.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace quillon::launch {
namespace {

/// What `sh` prints as the arguments of `printf '<%s>'` followed by `word`.
std::string
shell_arguments(const std::string& word)
{
  const std::string command = "printf '<%s>' " + word;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"),
                                             pclose);
  std::string out;
  char buffer[256];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
    out.append(buffer, n);
  return out;
}

TEST(LaunchCommand, TextsWithAndWithoutPreset)
{
  const std::string uri = "http://calf.sourceforge.net/plugins/Reverb";
  const std::string tail = command_tail(uri);
  EXPECT_EQ(tail, " " + uri + " & ");
  EXPECT_EQ(launch_command("jalv.gtk", tail), "jalv.gtk " + uri + " & ");
  EXPECT_EQ(launch_command("jalv -s", tail), "jalv -s " + uri + " & ");
  EXPECT_EQ(launch_command("", tail), " " + uri + " & ");
  EXPECT_EQ(preset_command("jalv -s", tail),
            "jalv -s -l /tmp/state.ttl " + uri + " & ");
  EXPECT_EQ(preset_command("", tail), " -l /tmp/state.ttl " + uri + " & ");
}

TEST(LaunchCommand, OrdinaryUrisKeepTheirExactText)
{
  for (const std::string uri :
       { "http://lsp-plug.in/plugins/lv2/comp_delay_x2_stereo",
         "urn:ardour:a-comp#stereo",
         "http://x42-plugins.com/x42/dpl",
         "http://example.org/~me/p,1+2=3@host%20x:8080/a_b.c-d" })
    EXPECT_EQ(shell_word(uri), uri);
}

TEST(LaunchCommand, HostileUrisReachTheShellAsOneArgument)
{
  const std::filesystem::path dir =
    std::filesystem::temp_directory_path() / "quillon-quote-test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directory(dir);
  const std::string planted = (dir / "pwned").string();

  for (const std::string& uri :
       std::vector<std::string>{ "urn:x;touch$IFS" + planted,
                                 "urn:x$(touch " + planted + ")",
                                 "urn:x`touch " + planted + "`",
                                 "urn:x|touch " + planted,
                                 "urn:x&&touch " + planted,
                                 "urn:it's \"quoted\"\n*",
                                 "-urn:leading-dash",
                                 "1urn:digit",
                                 "" }) {
    EXPECT_NE(shell_word(uri), uri) << uri;
    EXPECT_EQ(shell_arguments(shell_word(uri)), "<" + uri + ">") << uri;
  }
  EXPECT_FALSE(std::filesystem::exists(planted));
  std::filesystem::remove_all(dir);
}

TEST(HostList, EntriesAndTheActiveIndex)
{
  HostList hosts = parse_host_list("jalv -s\njalv.gtk\njalv.qt5\n");
  EXPECT_EQ(hosts.entries,
            (std::vector<std::string>{ "jalv -s", "jalv.gtk", "jalv.qt5" }));
  EXPECT_EQ(hosts.active, 1);

  // The program's own name is skipped without moving the index.
  hosts = parse_host_list("quillon\njalv -s\njalv.gtk");
  EXPECT_EQ(hosts.entries, (std::vector<std::string>{ "jalv -s", "jalv.gtk" }));
  EXPECT_EQ(hosts.active, 1);

  // Blanks are part of a line: "jalv.gtk " is another host, no preference.
  hosts = parse_host_list("jalv.foo\n\njalv.gtk \nquillon \n");
  EXPECT_EQ(
    hosts.entries,
    (std::vector<std::string>{ "jalv.foo", "", "jalv.gtk ", "quillon " }));
  EXPECT_EQ(hosts.active, 0);

  EXPECT_TRUE(parse_host_list("").entries.empty());
  EXPECT_EQ(parse_host_list("").active, -1);
  EXPECT_EQ(parse_host_list("quillon\n").active, -1);
}

TEST(HostList, IdenticalLinesAreOfferedOnceAtTheirFirstPlace)
{
  // What Debian's PATH gives: /usr/bin and /bin are one directory.
  const HostList hosts = parse_host_list(
    "jalv -s\njalv.gtk3\njalv.qt5\njalv -s\njalv.gtk3\njalv.qt5\n");
  EXPECT_EQ(hosts.entries,
            (std::vector<std::string>{ "jalv -s", "jalv.gtk3", "jalv.qt5" }));
  EXPECT_EQ(hosts.active, 1);

  const HostList twice = parse_host_list("jalv.gtk\njalv -s\njalv.gtk\n");
  EXPECT_EQ(twice.entries, (std::vector<std::string>{ "jalv.gtk", "jalv -s" }));
  EXPECT_EQ(twice.active, 0);
}

TEST(HostList, PreferenceWhenThereIsNoGtk2Host)
{
  const std::vector<std::pair<std::string, std::string>> cases = {
    { "jalv -s\njalv.qt5\njalv.gtk3\njalv.gtk\n", "jalv.gtk" },
    { "jalv -s\njalv.qt5\njalv.gtkmm\njalv.gtk3\n", "jalv.gtk3" },
    { "jalv -s\njalv.qt5\njalv.qt6\njalv.gtkmm\n", "jalv.gtkmm" },
    { "jalv -s\njalv.qt5\njalv.qt6\n", "jalv.qt6" },
    { "jalv -s\njalv.qt5\n", "jalv.qt5" },
    { "jalv.select\njalv -s\n", "jalv -s" },
    { "jalv.select\njalv.gtk3 \n", "jalv.select" },
  };
  for (const auto& [text, chosen] : cases) {
    const HostList hosts = parse_host_list(text);
    ASSERT_GE(hosts.active, 0) << text;
    EXPECT_EQ(hosts.entries[static_cast<std::size_t>(hosts.active)], chosen)
      << text;
  }
}

TEST(HostList, PipelineTextIsTheShellCommandWeRun)
{
  EXPECT_EQ(host_search_command(),
            "echo $PATH | tr ':' '\n' | xargs ls  | grep jalv | gawk "
            "'{if ($0 == \"jalv\") {print \"jalv -s\"} else {print $0}}' "
            ">/tmp/jalv.interpreter");
  // The line feed handed to tr is a real one.
  EXPECT_NE(host_search_command().find("tr ':' '\n'"), std::string::npos);
  // A stand-in path reaches the shell as one word.
  const std::string stand_in = host_search_command("/run/user/1 x/it's");
  EXPECT_EQ(stand_in.substr(stand_in.find('>')), ">'/run/user/1 x/it'\\''s'");
}

TEST(LaunchCommand, ForegroundCommandDropsOnlyTheFinalAmpersand)
{
  const std::string tail = command_tail("urn:a");
  EXPECT_EQ(foreground_command(launch_command("jalv -s", tail)),
            "jalv -s urn:a ");
  EXPECT_EQ(foreground_command(preset_command("jalv", tail, "/run/u/x y")),
            "jalv -l '/run/u/x y' urn:a ");
  EXPECT_EQ(foreground_command("a && b"), "a && b");
  EXPECT_EQ(foreground_command("&"), "&");
}

TEST(UridTable, IdsFromOneAndStableTexts)
{
  UridTable table;
  std::string first = "http://lv2plug.in/ns/ext/atom#Float";
  EXPECT_EQ(table.map(first.c_str()), 1u);
  EXPECT_EQ(table.map("http://lv2plug.in/ns/ext/atom#Float"), 1u);
  EXPECT_EQ(table.map("http://lv2plug.in/ns/ext/atom#Int"), 2u);

  // The caller's string may go; the table keeps its own copy.
  first.assign(first.size(), 'x');
  const char* kept = table.unmap(1);
  EXPECT_STREQ(kept, "http://lv2plug.in/ns/ext/atom#Float");

  // Growing the table never moves a text handed out before.
  for (int i = 0; i < 5000; ++i)
    table.map(("urn:grow:" + std::to_string(i)).c_str());
  EXPECT_EQ(table.unmap(1), kept);
  EXPECT_STREQ(kept, "http://lv2plug.in/ns/ext/atom#Float");
  EXPECT_EQ(table.size(), 5002u);
  EXPECT_STREQ(table.unmap(5002), "urn:grow:4999");

  EXPECT_EQ(table.unmap(0), nullptr);
  EXPECT_EQ(table.unmap(5003), nullptr);
  EXPECT_EQ(table.map(nullptr), 0u);

  table.clear();
  EXPECT_EQ(table.unmap(1), nullptr);
  EXPECT_EQ(table.map("urn:again"), 1u);
}

TEST(UridTable, FeatureFunctionsShareTheProcessTable)
{
  urid_table().clear();
  const LV2_URID id = urid_map(nullptr, "urn:feature:one");
  EXPECT_EQ(id, 1u);
  EXPECT_EQ(
    urid_map(reinterpret_cast<LV2_URID_Map_Handle>(0x1), "urn:feature:one"),
    id);
  EXPECT_STREQ(urid_unmap(nullptr, id), "urn:feature:one");
  EXPECT_EQ(urid_unmap(nullptr, id + 1), nullptr);
  urid_table().clear();
}

TEST(StateText, FirstIriIsEmptied)
{
  EXPECT_EQ(empty_first_iri("<urn:preset:warm>\n\ta pset:Preset ;\n"
                            "\trdfs:label \"Warm\" .\n"),
            "<>\n\ta pset:Preset ;\n\trdfs:label \"Warm\" .\n");
  EXPECT_EQ(empty_first_iri("@base <x> .\n<urn:a> a <urn:b> ."),
            "@base <> .\n<urn:a> a <urn:b> .");
  EXPECT_EQ(empty_first_iri("<> a pset:Preset ."), "<> a pset:Preset .");
}

TEST(StateText, TextWithoutAnIriIsLeftAlone)
{
  for (const std::string text : { "",
                                  "no brackets",
                                  "only < open",
                                  "only > close",
                                  "a > b < c",
                                  "a > b <c>" })
    EXPECT_EQ(empty_first_iri(text), text);
}

TEST(StateText, PrefixBlock)
{
  EXPECT_STREQ(state_prefixes,
               "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
               "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
               "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
               "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
               "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
               "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
               "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n");
}

} // namespace
} // namespace quillon::launch
