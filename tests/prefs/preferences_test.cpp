// Whole cycles through real files: what is read, and the exact bytes written back.
#include "prefs/preferences.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "prefs/prefs_fixture.h"

namespace morvane {
namespace {

using PreferencesTest = PrefsTest;

TEST_F(PreferencesTest, CreatedFileHoldsKeysInWriteOrder) {
    put("pref.ini", "old = text\r\n");
    ASSERT_TRUE(preference_create(path("pref.ini")));
    EXPECT_EQ(take("pref.ini"), "");  // emptied at once
    preference_write_integer("grid", 1);
    preference_write_integer("gridW", 32);
    preference_write_integer("gridColor", -16777216);
    preference_write_string("brushdir", "Quillrat");
    preference_write_integer("grid", 0);
    preference_close();
    EXPECT_EQ(take("pref.ini"),
              Head + "grid = 0\r\ngridW = 32\r\ngridColor = -16777216\r\nbrushdir = Quillrat\r\n");
}

TEST_F(PreferencesTest, EachFlagGivesItsBytes) {
    const std::string source = "a=1\n[one]\nb=2\n[two]\nc=3\n;note\n";
    struct Case {
        unsigned flags;
        std::string expected;
    } cases[] = {
        {0, "a = 5\r\n[one]\r\nb = 2\r\n[two]\r\nc = 3\r\n; note\r\n"},
        {CompactEquals, "a=5\r\n[one]\r\nb=2\r\n[two]\r\nc=3\r\n; note\r\n"},
        {GroupSpacing, "a = 5\r\n[one]\r\nb = 2\r\n\r\n[two]\r\nc = 3\r\n; note\r\n"},
        {CompactEquals | GroupSpacing, "a=5\r\n[one]\r\nb=2\r\n\r\n[two]\r\nc=3\r\n; note\r\n"},
    };
    for (const Case& c : cases) {
        put("f.ini", source);
        ASSERT_TRUE(preference_open(path("f.ini"), c.flags));
        preference_write_integer("a", 5);
        preference_close();
        EXPECT_EQ(take("f.ini"), Head + c.expected) << "flags " << c.flags;
    }
    // The first group header gets no spacing even when keys come before it.
    put("g.ini", "[g]\nk=v\n[h]\n");
    ASSERT_TRUE(preference_open(path("g.ini"), GroupSpacing));
    preference_write_integer("x", 1);
    preference_close();
    EXPECT_EQ(take("g.ini"), Head + "x = 1\r\n[g]\r\nk = v\r\n\r\n[h]\r\n");
}

TEST_F(PreferencesTest, ReadingOnlyLeavesFilesUntouched) {
    const std::string files[] = {
        "GridW=16\nbrushdir =  x y \n",           // LF, odd spacing
        "a = 1\rb = 2\r\r[g]\rc = 3",             // CR only, no final line end
        "; c\r\n\r\n  k\t=\tv\t\r\n[g]junk\r\n",  // CR LF, blank line, trailing tab
        "\xEF\xBB\xBFk = \xC3\xA9\r\n",           // UTF-8 with mark
        "name = caf\xE9\n",                       // ISO 8859-1
        "",                                       // empty
        "\xEF\xBB\xBF",                           // a lone mark
    };
    for (const std::string& bytes : files) {
        put("r.ini", bytes);
        const ino_t before = inode("r.ini");
        ASSERT_TRUE(preference_open(path("r.ini")));
        for (const char* key : {"a", "b", "c", "k", "GridW", "brushdir", "name", "missing"}) {
            preference_read_integer(key, 7);
            preference_read_string(key, "d");
        }
        preference_flush();
        preference_close();
        EXPECT_EQ(take("r.ini"), bytes);
        EXPECT_EQ(inode("r.ini"), before);
    }
}

TEST_F(PreferencesTest, KeyCaseIsIgnoredAndRespelledOnWrite) {
    put("p.ini", "GridW = 16\r\ngridH = 9\r\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_integer("gridw", 32), 16);
    EXPECT_EQ(preference_read_integer("GRIDH", 32), 9);
    preference_write_integer("gridW", 8);
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + "gridW = 8\r\ngridH = 9\r\n");
}

TEST_F(PreferencesTest, KeysAfterAGroupAreOutOfReach) {
    put("p.ini", "a = 1\r\n; c\r\n[g]\r\nsize = 3\r\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_integer("size", 7), 7);
    EXPECT_EQ(preference_read_string("size", "none"), "none");
    preference_write_integer("size", 4);
    EXPECT_EQ(preference_read_integer("size", 7), 4);
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + "a = 1\r\n; c\r\nsize = 4\r\n[g]\r\nsize = 3\r\n");
}

TEST_F(PreferencesTest, IntegerValues) {
    put("p.ini",
        "word = abc\nneg = -42xyz\nplus = +7\nempty =\nmax = 9223372036854775807\n"
        "over = 9223372036854775808\nmin = -9223372036854775808\nunder = -99999999999999999999\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_integer("word", 20), 0);
    EXPECT_EQ(preference_read_integer("neg", 20), -42);
    EXPECT_EQ(preference_read_integer("plus", 20), 7);
    EXPECT_EQ(preference_read_integer("empty", 20), 0);
    EXPECT_EQ(preference_read_integer("absent", 20), 20);
    EXPECT_EQ(preference_read_integer("max", 0), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(preference_read_integer("over", 0), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(preference_read_integer("min", 0), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(preference_read_integer("under", 0), std::numeric_limits<std::int64_t>::min());
    preference_write_integer("neg", std::numeric_limits<std::int64_t>::min());
    preference_close();
    EXPECT_EQ(take("p.ini"), Head +
                                 "word = abc\r\nneg = -9223372036854775808\r\nplus = +7\r\nempty = \r\n"
                                 "max = 9223372036854775807\r\nover = 9223372036854775808\r\n"
                                 "min = -9223372036854775808\r\nunder = -99999999999999999999\r\n");
}

TEST_F(PreferencesTest, StringValuesTrimmedOnReadKeptOnWriteBack) {
    put("p.ini", "dir =   brush  \nother = 1\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_string("dir", "x"), "brush");
    preference_write_string("other", "two words");
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + "dir = brush  \r\nother = two words\r\n");
}

TEST_F(PreferencesTest, CommentsRegainTheirSpace) {
    put("p.ini", ";x\n;  two\n; three\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    preference_write_integer("k", 1);
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + "; x\r\n;  two\r\n; three\r\nk = 1\r\n");
}

TEST_F(PreferencesTest, Latin1FilesComeBackAsUtf8) {
    put("p.ini", "name = caf\xE9\r\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_string("name", ""), "caf\xC3\xA9");
    preference_write_string("w", "\xC3\xBF");
    preference_close();
    EXPECT_EQ(take("p.ini"), "\xEF\xBB\xBF\r\nname = caf\xC3\xA9\r\nw = \xC3\xBF\r\n");

    // With the mark the bytes are not converted again.
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_string("NAME", ""), "caf\xC3\xA9");
}

TEST_F(PreferencesTest, DuplicateKeysUseTheFirst) {
    put("p.ini", "k = 1\r\nK = 2\r\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_integer("k", 0), 1);
    preference_write_integer("K", 3);
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + "K = 3\r\nK = 2\r\n");
}

TEST_F(PreferencesTest, MissingFileIsCreatedOnCloseOnlyWhenWritten) {
    EXPECT_FALSE(preference_open(path("new.ini")));
    EXPECT_EQ(preference_current().remembered_name, path("new.ini"));
    EXPECT_EQ(preference_read_integer("x", 5), 5);
    preference_close();
    EXPECT_FALSE(exists("new.ini"));

    EXPECT_FALSE(preference_open(path("new.ini"), CompactEquals));
    preference_write_integer("x", 1);
    preference_write_string("y", "z");
    EXPECT_FALSE(exists("new.ini"));
    preference_close();
    EXPECT_EQ(take("new.ini"), Head + "x=1\r\ny=z\r\n");
}

TEST_F(PreferencesTest, LineEndsOfEveryKind) {
    // A key without "=" has an empty value and never takes the next line.
    for (const char* end : {"\n", "\r", "\r\n"}) {
        put("p.ini", std::string("alone") + end + "next = 5" + end + "[g]" + end);
        ASSERT_TRUE(preference_open(path("p.ini")));
        EXPECT_EQ(preference_read_string("alone", "default"), "");
        EXPECT_EQ(preference_read_integer("next", 0), 5);
        preference_write_integer("next", 6);
        preference_close();
        EXPECT_EQ(take("p.ini"), Head + "alone = \r\nnext = 6\r\n[g]\r\n");
    }
}

TEST_F(PreferencesTest, EmptyFilesAndALoneMark) {
    for (const std::string& bytes : {std::string(), std::string("\xEF\xBB\xBF"), std::string("\r\n \t\n")}) {
        put("p.ini", bytes);
        ASSERT_TRUE(preference_open(path("p.ini")));
        EXPECT_TRUE(preference_current().entries.empty());
        EXPECT_EQ(preference_read_string("k", "d"), "d");
        preference_write_string("k", "v");
        preference_close();
        EXPECT_EQ(take("p.ini"), Head + "k = v\r\n");
    }
}

TEST_F(PreferencesTest, VeryLongLines) {
    std::string value;
    for (int i = 0; i < 200000; ++i) value += static_cast<char>('a' + i % 26);
    const std::string key(70000, 'K');
    put("p.ini", key + " = " + value + "\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    EXPECT_EQ(preference_read_string(std::string(70000, 'k'), ""), value);
    preference_write_string("short", value);
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + key + " = " + value + "\r\nshort = " + value + "\r\n");
}

TEST_F(PreferencesTest, FlushWritesAndKeepsTheFileCurrent) {
    put("p.ini", "a = 1\n");
    ASSERT_TRUE(preference_open(path("p.ini")));
    preference_write_integer("a", 2);
    preference_flush();
    EXPECT_EQ(take("p.ini"), Head + "a = 2\r\n");
    EXPECT_FALSE(preference_current().modified);
    preference_write_integer("b", 3);
    // Opening another file writes this one back first.
    EXPECT_FALSE(preference_open(path("other.ini")));
    EXPECT_EQ(take("p.ini"), Head + "a = 2\r\nb = 3\r\n");
}

TEST_F(PreferencesTest, NoCurrentFileMeansDefaultsAndNoWrites) {
    preference_close();
    preference_write_integer("k", 1);
    EXPECT_EQ(preference_read_integer("k", 9), 9);
    // A directory cannot be opened as a preference file; nothing is remembered or created.
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
    EXPECT_FALSE(preference_open(path("sub")));
    EXPECT_TRUE(preference_current().remembered_name.empty());
    preference_write_integer("k", 1);
    preference_close();
    EXPECT_EQ(list(), std::vector<std::string>{"sub"});
    ::rmdir(path("sub").c_str());
    EXPECT_FALSE(preference_create(path("missing/dir/p.ini")));
}

}  // namespace
}  // namespace morvane
