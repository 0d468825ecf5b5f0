// What write-back does to the file system: read-only files stay as they are, a failed write never
// leaves a cut file behind, links and permissions survive.
#include "prefs/preference_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <functional>

#include "prefs/prefs_fixture.h"

namespace morvane {
namespace {

using PreferenceIoTest = PrefsTest;

// Runs body in a child process (limits and identities changed there stay there); its result
// is the child's exit status.
int in_child(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST_F(PreferenceIoTest, ReadOnlyFileIsReadButNeverWritten) {
    const std::string bytes = "k = 1\n";
    put("ro.ini", bytes);
    ASSERT_EQ(::chmod(path("ro.ini").c_str(), 0444), 0);
    const int status = in_child([&] {
        // Without write permission even for an administrator: run as an ordinary user.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 1;
        if (!preference_open(path("ro.ini"))) return 2;
        if (!preference_current().read_only) return 3;
        if (preference_read_integer("k", 0) != 1) return 4;
        preference_write_integer("k", 2);
        if (preference_read_integer("k", 0) != 2) return 5;
        preference_close();
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(take("ro.ini"), bytes);
}

TEST_F(PreferenceIoTest, FailedWriteLeavesTheOldFileWhole) {
    const std::string bytes = "keep = this\n";
    put("p.ini", bytes);
    const std::string long_value(4096, 'v');
    // The process may write files of at most 100 bytes: the new text cannot be written.
    const int status = in_child([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 1;
        if (!preference_open(path("p.ini"))) return 2;
        preference_write_string("big", long_value);
        preference_flush();
        if (!preference_current().modified) return 3;
        preference_close();
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(take("p.ini"), bytes);
    EXPECT_EQ(list(), std::vector<std::string>{"p.ini"});  // no temporary file left over

    // The same steps without the limit write the whole text.
    ASSERT_TRUE(preference_open(path("p.ini")));
    preference_write_string("big", long_value);
    preference_close();
    EXPECT_EQ(take("p.ini"), Head + "keep = this\r\nbig = " + long_value + "\r\n");
}

TEST_F(PreferenceIoTest, LinkAndPermissionsSurvive) {
    put("real.ini", "a = 1\n");
    ASSERT_EQ(::chmod(path("real.ini").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.ini", path("link.ini").c_str()), 0);
    ASSERT_TRUE(preference_open(path("link.ini")));
    preference_write_integer("a", 2);
    preference_close();

    struct stat info {};
    ASSERT_EQ(::lstat(path("link.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(path("real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(take("real.ini"), Head + "a = 2\r\n");
}

TEST_F(PreferenceIoTest, MissingFileNotReplacedWhenItBecameUnwritable) {
    // The remembered name of a missing file is only used when the file is still absent or
    // writable: a read-only file that appeared meanwhile is not replaced.
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    const int status = in_child([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 1;
        if (preference_open(path("late.ini"))) return 2;
        preference_write_integer("k", 1);
        put("late.ini", "theirs\n");
        if (::chmod(path("late.ini").c_str(), 0444) != 0) return 3;
        preference_close();
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(take("late.ini"), "theirs\n");
    EXPECT_EQ(list(), std::vector<std::string>{"late.ini"});
}

TEST_F(PreferenceIoTest, ReadFileReadsEverythingFromTheStart) {
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(i * 7 % 256);
    put("b.bin", bytes);
    int fd = -1;
    bool read_only = true;
    ASSERT_EQ(preference_open_file(path("b.bin"), fd, read_only), PreferenceOpenResult::Opened);
    EXPECT_FALSE(read_only);
    ASSERT_EQ(::lseek(fd, 500, SEEK_SET), 500);
    std::string got;
    EXPECT_TRUE(preference_read_file(fd, got));
    EXPECT_EQ(got, bytes);
    preference_close_file(fd);
    EXPECT_EQ(preference_open_file(path("none"), fd, read_only), PreferenceOpenResult::Missing);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    EXPECT_EQ(preference_open_file(path("fifo"), fd, read_only), PreferenceOpenResult::Failed);
}

}  // namespace
}  // namespace morvane
