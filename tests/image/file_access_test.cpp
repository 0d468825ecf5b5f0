// Files as an ordinary user: files the user may not write are refused and kept, replaced
// files keep their mode and group, links are followed and stay, new files follow the umask;
// a failed load says why. Under root the file operations run in a child process switched to
// nobody, so the checks hold.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "codec_support.h"
#include "image/file.h"

namespace morvane::test {
namespace {

// The unprivileged user and group the child becomes under root, and a second group it is
// given as a member, so that keeping a file's group can be seen.
struct User {
    uid_t uid = 65534;
    gid_t gid = 65534;
    gid_t other_gid = 100;
};
User unprivileged() {
    User u;
    if (const passwd* pw = ::getpwnam("nobody")) u.uid = pw->pw_uid;
    if (const group* gr = ::getgrnam("nogroup")) u.gid = gr->gr_gid;
    if (const group* gr = ::getgrnam("users")) u.other_gid = gr->gr_gid;
    return u;
}

// Runs `write` in a child process as the unprivileged user (when the test runs as root) with
// umask 027; returns its result, or -1 when the child could not run it.
int as_user(const std::function<int()>& write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0) {
            const User u = unprivileged();
            const gid_t groups[] = {u.gid, u.other_gid};
            if (::setgroups(2, groups) != 0 || ::setgid(u.gid) != 0 || ::setuid(u.uid) != 0) ::_exit(255);
        }
        ::umask(027);
        ::_exit(write() & 0x7F);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 0x7F)
        return -1;
    return WEXITSTATUS(status);
}

// A folder the unprivileged user owns (the test's own folder when not root).
void hand_over(const std::string& path) {
    if (::geteuid() != 0) return;
    const User u = unprivileged();
    ASSERT_EQ(::lchown(path.c_str(), u.uid, u.gid), 0) << path;
}

struct st_info {
    bool is_link = false;
    mode_t mode = 0;
    gid_t gid = 0;
};
st_info status_of(const std::string& path) {
    struct stat st {};
    st_info info;
    if (::lstat(path.c_str(), &st) != 0) return info;
    info.is_link = S_ISLNK(st.st_mode);
    info.mode = st.st_mode & 07777;
    info.gid = st.st_gid;
    return info;
}

using FileWrite = CodecTest;

TEST_F(FileWrite, SavesRespectPermissionsModesGroupsAndLinks) {
    ASSERT_NE(image_create(1, 4, 2, 24, rgb(1, 2, 3)), 0);
    const std::string dir = temp_dir();
    ASSERT_EQ(::mkdir((dir + "/art").c_str(), 0755), 0);
    hand_over(dir);
    hand_over(dir + "/art");
    const std::vector<std::uint8_t> old(100, 'o');
    const User u = unprivileged();
    // The group a replaced file keeps: another group the writer belongs to.
    const gid_t kept_group = ::geteuid() == 0 ? u.other_gid : ::getegid();

    struct Row {
        const char* name;
        const char* save_to;   // the path given to image_save
        const char* file;      // the file holding the data afterwards
        mode_t old_mode;       // mode of an existing file (0: none before)
        const char* link_to;   // save_to is a link to this (relative) name; may chain
        const char* chain_to;  // ... which is itself a link to this one
        int result;            // image_save's result
        mode_t mode;           // mode of `file` afterwards
        bool replaced;         // `file` holds the new picture, else the old bytes
    };
    const Row rows[] = {
        {"read-only refused", "ro.bmp", "ro.bmp", 0444, nullptr, nullptr, 0, 0444, false},
        {"private kept", "private.bmp", "private.bmp", 0600, nullptr, nullptr, 1, 0600, true},
        {"group-writable kept", "shared.bmp", "shared.bmp", 0664, nullptr, nullptr, 1, 0664, true},
        {"new file from umask 027", "new.bmp", "new.bmp", 0, nullptr, nullptr, 1, 0640, true},
        {"link followed", "link.bmp", "art/real.bmp", 0604, "art/real.bmp", nullptr, 1, 0604, true},
        {"chain followed", "chain.bmp", "art/end.bmp", 0600, "art/mid.bmp", "end.bmp", 1, 0600, true},
        {"link to a read-only file", "rolink.bmp", "art/ro.bmp", 0444, "art/ro.bmp", nullptr, 0, 0444, false},
        {"dangling link makes its target", "dangling.bmp", "art/made.bmp", 0, "art/made.bmp", nullptr, 1,
         0640, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string save_to = dir + "/" + row.save_to, file = dir + "/" + row.file;
        if (row.old_mode) {
            write_file(file, old);
            ASSERT_EQ(::chmod(file.c_str(), row.old_mode), 0);
            hand_over(file);
            ASSERT_EQ(::lchown(file.c_str(), static_cast<uid_t>(-1), kept_group), 0);
        }
        if (row.link_to) {
            ASSERT_EQ(::symlink(row.link_to, save_to.c_str()), 0);
            hand_over(save_to);
        }
        if (row.chain_to) {
            const std::string mid = dir + "/" + row.link_to;
            ASSERT_EQ(::symlink(row.chain_to, mid.c_str()), 0);
            hand_over(mid);
        }
        EXPECT_EQ(as_user([&] { return image_save(1, save_to); }), row.result);

        const st_info after = status_of(file);
        EXPECT_FALSE(after.is_link);
        EXPECT_EQ(after.mode, row.mode);
        if (row.old_mode) {
            EXPECT_EQ(after.gid, kept_group);
        }
        const std::vector<std::uint8_t> bytes = read_file(file);
        if (row.replaced) {
            ASSERT_GE(bytes.size(), 2u);
            EXPECT_EQ(bytes[0], 'B');
            EXPECT_EQ(bytes[1], 'M');
        } else {
            EXPECT_EQ(bytes, old);
        }
        if (row.link_to) {
            EXPECT_TRUE(status_of(save_to).is_link) << "the link stays a link";
        }
        if (row.chain_to) {
            EXPECT_TRUE(status_of(dir + "/" + row.link_to).is_link);
        }
    }
    // Root saving over a user's file gives it back to that user.
    if (::geteuid() == 0) {
        const std::string file = dir + "/theirs.bmp";
        write_file(file, old);
        hand_over(file);
        ASSERT_EQ(image_save(1, file), 1);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, u.uid);
        EXPECT_EQ(st.st_gid, u.gid);
    }
    // No temporary file is left in either folder.
    for (const std::string& folder : {dir, dir + "/art"}) {
        for (const std::string& name : list_dir(folder))
            EXPECT_EQ(name.find(".bmp."), std::string::npos) << folder << "/" << name;
    }
}

TEST_F(FileWrite, RefusalsSayWhy) {
    const std::string dir = temp_dir();
    hand_over(dir);
    write_file(dir + "/ro.txt", {1});
    ASSERT_EQ(::chmod((dir + "/ro.txt").c_str(), 0444), 0);
    hand_over(dir + "/ro.txt");
    ASSERT_EQ(::mkdir((dir + "/folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir + "/closed").c_str(), 0555), 0);
    hand_over(dir + "/closed");
    ASSERT_EQ(::symlink("loop2", (dir + "/loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", (dir + "/loop2").c_str()), 0);
    const struct {
        const char* path;
        std::string why;
    } rows[] = {
        {"ro.txt", "the file is read-only (permission denied)"},
        {"folder", "it is a folder"},
        {"missing/x.png", "no folder " + dir + "/missing"},
        {"closed/x.png", "the folder " + dir + "/closed is not writable"},
        {"loop1", "too many levels of symbolic links"},
        {"fine.png", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const std::string path = dir + "/" + row.path;
        // The child reports whether its reason matched, as its exit status.
        EXPECT_EQ(as_user([&] { return file_write_problem(path) == row.why ? 1 : 0; }), 1)
            << "parent sees: " << file_write_problem(path);
    }
}

TEST_F(FileWrite, FailedLoadsSayWhy) {
    const std::string dir = temp_dir();
    hand_over(dir);
    PngPicture png;
    png.width = 8, png.height = 8, png.color_type = 2;
    png.rows.assign(8, std::vector<std::uint8_t>(24, 7));
    const std::vector<std::uint8_t> good = make_png(png);
    PngPicture wide = png;
    wide.width = 40000, wide.height = 1;
    wide.rows.assign(1, std::vector<std::uint8_t>(120000, 7));
    const std::vector<std::uint8_t> bmp = make_bmp(4, 4, 24, 0, {}, std::vector<std::uint8_t>(48, 9));
    const std::string text = "just some notes\n";
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;  // written unless the row is a folder or missing
        const char* why;
    } rows[] = {
        {"missing.png", {}, "no such file"},
        {"folder.png", {}, "it is a folder"},
        {"empty.png", {}, "the file is empty"},
        {"cut.png", {good.begin(), good.begin() + 60}, "the picture is truncated or damaged"},
        {"stub.png", {good.begin(), good.begin() + 6}, "the picture is truncated or damaged"},
        {"cut.bmp", {bmp.begin(), bmp.begin() + 30}, "the picture is truncated or damaged"},
        {"bad.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 3, 1, 2, 3, 4}, "the picture is truncated or damaged"},
        {"notes.png", {text.begin(), text.end()}, "not a picture in a format read here (PNG, JPEG or BMP)"},
        {"private.png", good, "permission denied"},
        {"wide.png", make_png(wide),
         "the picture is larger than 32767 pixels on a side or 1073676289 pixels in all"},
        {"good.png", good, ""},
    };
    ASSERT_EQ(::mkdir((dir + "/folder.png").c_str(), 0755), 0);
    for (const auto& row : rows) {
        const std::string path = dir + "/" + row.name;
        if (std::string(row.name) == "missing.png" || std::string(row.name) == "folder.png") continue;
        write_file(path, row.bytes);
        if (std::string(row.name) == "private.png") {
            ASSERT_EQ(::chmod(path.c_str(), 0), 0);
            hand_over(path);
        }
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir + "/" + row.name;
        EXPECT_EQ(as_user([&] {
                      const LoadResult result = image_load_result(2, path);
                      return load_failure_text(result) == row.why && (result.value != 0) == (*row.why == 0);
                  }),
                  1)
            << "parent sees: " << load_failure_text(image_load_result(2, path));
    }
}

}  // namespace
}  // namespace morvane::test
