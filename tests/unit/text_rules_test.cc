#include "catalogue/text_rules.h"
#include "common/number_text.h"
#include "support/ustring_printer.h"

#include <gtest/gtest.h>
#include <locale>

namespace quillon::catalogue {
namespace {

TEST(NameRule, CutsOnlyNamesLongerThan25CharactersAtTheFirstDash)
{
  // Exactly 25 characters with " - ": whole.
  EXPECT_EQ(cut_name("Reverb - Hall Stereo 1234"), "Reverb - Hall Stereo 1234");
  // 26 characters without " - ": whole.
  EXPECT_EQ(cut_name("Reverberation Hall Stereo1"),
            "Reverberation Hall Stereo1");
  // Longer, two dashes: cut at the first, the dash goes too.
  EXPECT_EQ(cut_name("Calf Reverb - Hall - Large Room"), "Calf Reverb");
  EXPECT_EQ(cut_name("Calf Reverb-Hall-Large Room Plate"),
            "Calf Reverb-Hall-Large Room Plate");
}

TEST(NameRule, CountsCharactersNotBytes)
{
  // 20 characters, 31 bytes: not cut.
  const Glib::ustring name = "Äöüß - éèàçñÅÆØ åäöx";
  ASSERT_EQ(name.size(), 20u);
  ASSERT_GT(name.bytes(), 25u);
  EXPECT_EQ(cut_name(name), name);
  // 26 characters of which some are two bytes: cut.
  EXPECT_EQ(cut_name("Ärger - Überschwang Ödland"), "Ärger");
}

TEST(NameRule, ScanKeepsTheWholeNameWhenTheCutLeavesNothing)
{
  const Glib::ustring name = " - a name that starts with a dash";
  EXPECT_EQ(cut_name(name), "");
  EXPECT_EQ(scan_name(name), name);
  EXPECT_EQ(scan_name("Calf Reverb - Hall - Large Room"), "Calf Reverb");
}

struct GroupingPunct : std::numpunct<char>
{
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(NumberText, IsPlainDigitsWhateverTheLocale)
{
  const std::locale saved =
    std::locale::global(std::locale(std::locale::classic(), new GroupingPunct));
  EXPECT_EQ(number_text(1234567), "1234567");
  EXPECT_EQ(number_text(10), "10");
  EXPECT_EQ(number_text(0), "0");
  EXPECT_EQ(number_text(-3), "-3");
  std::locale::global(saved);
}

TEST(Tooltip, ClassAuthorAndPortLines)
{
  PortCounts stereo;
  stereo.audio_inputs = 2;
  stereo.audio_outputs = 2;
  EXPECT_EQ(tooltip_text("Delay",
                         Glib::ustring("Example Audio"),
                         " \nby ",
                         port_summary_text(stereo)),
            "Delay \nby Example Audio\nAudio Inputs: 2\nAudio Outputs: 2");
  EXPECT_EQ(tooltip_text("Delay", std::nullopt, " \nby ", ""), "Delay");
  // An author node with an empty text still makes its line.
  EXPECT_EQ(tooltip_text("Delay", Glib::ustring(), " \nby ", ""),
            "Delay \nby ");
}

TEST(PortSummary, OneLinePerNonZeroCountInFixedOrder)
{
  EXPECT_EQ(port_summary_text(PortCounts{}), "");
  PortCounts instrument;
  instrument.audio_outputs = 2;
  instrument.midi_inputs = 1;
  EXPECT_EQ(port_summary_text(instrument),
            "\nAudio Outputs: 2\nMidi Inputs: 1");
  PortCounts many;
  many.audio_inputs = 10;
  many.midi_outputs = 3;
  EXPECT_EQ(port_summary_text(many), "\nAudio Inputs: 10\nMidi Outputs: 3");
}

TEST(Search, MatchesAcrossJoinsInAnyLetterCase)
{
  const std::string text =
    match_text("Überdrive", "Distortion", "urn:example:over");
  EXPECT_TRUE(search_matches(text, lowered("ÜBER")));
  EXPECT_TRUE(search_matches(text, lowered("drivedist"))); // name|class
  EXPECT_TRUE(search_matches(text, lowered("TIONURN:")));  // class|URI
  EXPECT_TRUE(search_matches(text, lowered("")));          // empty text
  EXPECT_FALSE(search_matches(text, lowered("reverb")));
  EXPECT_TRUE(search_matches(match_text("ΣΟΦΙΑ", "", ""), lowered("σοφια")));
}

TEST(Search, FindsAWordEndingInSigmaWhateverFollowsIt)
{
  // Joined with the class label, the name's last capital sigma is inside a
  // word; typed alone, at its end. Both must still meet.
  const std::string text = match_text("ΣΟΦΙΑ ΗΧΟΣ", "Delay", "urn:x");
  EXPECT_TRUE(search_matches(text, lowered("ΣΟΦΙΑ ΗΧΟΣ")));
  EXPECT_TRUE(search_matches(text, lowered("ηχος"))); // typed final sigma
  EXPECT_TRUE(search_matches(text, lowered("Σ")));
  EXPECT_TRUE(search_matches(text, lowered("ΗΧΟΣDELAY")));
  EXPECT_FALSE(search_matches(text, lowered("ηχοςς")));
}

TEST(ValidText, NullAndInvalidBytesBecomeSafeText)
{
  EXPECT_EQ(valid_text(nullptr), "");
  const Glib::ustring repaired = valid_text("ab\xed\xa0\x80z\xff");
  EXPECT_TRUE(repaired.validate());
  EXPECT_EQ(repaired.substr(0, 2), "ab");
  EXPECT_EQ(valid_text("plain"), "plain");
}

TEST(TrayText, CountsThenTheInvalidUris)
{
  EXPECT_EQ(tray_text(0, 0, ""),
            "0 valid plugins installed\n0 invalid plugins found");
  EXPECT_EQ(tray_text(120, 2, "\nurn:a\nurn:b"),
            "120 valid plugins installed\n2 invalid plugins found\nurn:a\n"
            "urn:b");
}

} // namespace
} // namespace quillon::catalogue
