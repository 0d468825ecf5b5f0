// Text conversions and line splitting, on hand-made bytes and against the C library's scanner.
#include "prefs/preference_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <random>

namespace morvane {
namespace {

using Kind = PreferenceEntryKind;

TEST(PreferenceText, ParseSplitsLinesIntoEntries) {
    const auto entries = preference_parse(
        "  ; one\r\n;\r\n\r\n\t[ grp ] tail\r\n[open\r\nk\t = \t v w  \r\n=x\r\nq = a=b\r\n");
    ASSERT_EQ(entries.size(), 7u);
    const PreferenceEntry expected[] = {
        {Kind::Comment, "one", ""}, {Kind::Comment, "", ""},   {Kind::Group, " grp ", ""},
        {Kind::Group, "open", ""},  {Kind::Key, "k", "v w  "}, {Kind::Key, "", "x"},
        {Kind::Key, "q", "a=b"},
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].kind, expected[i].kind) << i;
        EXPECT_EQ(entries[i].text, expected[i].text) << i;
        EXPECT_EQ(entries[i].value, expected[i].value) << i;
    }
}

TEST(PreferenceText, TextEndsAtTheFirstZeroByte) {
    const auto entries = preference_parse(std::string_view("a = 1\r\nb = 2\0c = 3\r\n", 20));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].value, "2");
}

TEST(PreferenceText, DecodeMarkAndLatin1) {
    bool marked = false;
    EXPECT_EQ(preference_decode("\xEF\xBB\xBF\xC3\xA9", marked), "\xC3\xA9");
    EXPECT_TRUE(marked);
    EXPECT_EQ(preference_decode("\xEF\xBB", marked), "\xC3\xAF\xC2\xBB");
    EXPECT_FALSE(marked);
    EXPECT_EQ(preference_latin1_to_utf8("A\x7F\x80\xA0\xE9\xFF"), "A\x7F\xC2\x80\xC2\xA0\xC3\xA9\xC3\xBF");
}

TEST(PreferenceText, InvalidUtf8BytesBecomeReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(preference_valid_utf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(preference_valid_utf8("\xC3"), r);                          // cut short
    EXPECT_EQ(preference_valid_utf8("\xC0\xAF"), r + r);                  // overlong
    EXPECT_EQ(preference_valid_utf8("\xE0\x80\xAF"), r + r + r);          // overlong
    EXPECT_EQ(preference_valid_utf8("\xED\xA0\x80"), r + r + r);          // surrogate
    EXPECT_EQ(preference_valid_utf8("\xF4\x90\x80\x80"), r + r + r + r);  // above U+10FFFF
    EXPECT_EQ(preference_valid_utf8("\xE2\x82x"), r + r + "x");
    EXPECT_EQ(preference_valid_utf8("\xF4\x8F\xBF\xBF"), "\xF4\x8F\xBF\xBF");  // U+10FFFF
}

TEST(PreferenceText, KeyEqualityIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(preference_key_equal("GridW", "gRIDw"));
    EXPECT_FALSE(preference_key_equal("grid", "gridW"));
    EXPECT_FALSE(preference_key_equal("\xC3\xA9", "\xC3\x89"));  // é and É differ
    EXPECT_FALSE(preference_key_equal("a@", "a`"));              // neighbours of the letter ranges
}

TEST(PreferenceText, IntegerScanMatchesTheCLibrary) {
    // Random texts of signs, blanks, digits and letters, compared with strtoll.
    std::mt19937 random(20261208);
    const std::string alphabet = " \t+-0123456789x";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
        if (i % 3 == 0)
            text = std::string(random() % 3, ' ') + std::to_string(random()) + std::to_string(random());
        errno = 0;
        const long long expected = std::strtoll(text.c_str(), nullptr, 10);
        EXPECT_EQ(preference_scan_integer(text), expected) << '"' << text << '"';
    }
}

TEST(PreferenceText, RenderWritesEveryKind) {
    const std::vector<PreferenceEntry> entries = {
        {Kind::Comment, "c", ""}, {Kind::Key, "k", "v "}, {Kind::Group, "g", ""}, {Kind::Group, "h", ""}};
    EXPECT_EQ(preference_render(entries, 0, true), "\xEF\xBB\xBF\r\n; c\r\nk = v \r\n[g]\r\n[h]\r\n");
    EXPECT_EQ(preference_render(entries, CompactEquals | GroupSpacing, false),
              "; c\r\nk=v \r\n[g]\r\n\r\n[h]\r\n");
    EXPECT_EQ(preference_render({}, 0, false), "");
}

}  // namespace
}  // namespace morvane
