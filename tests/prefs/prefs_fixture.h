// A scratch directory per test, with helpers to put and take exact file bytes.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "prefs/preferences.h"

namespace morvane {

class PrefsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/morvane-prefs-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ::chmod(dir_.c_str(), 0755);
    }

    void TearDown() override {
        preference_close();
        for (const std::string& name : list()) ::unlink((dir_ + "/" + name).c_str());
        ::rmdir(dir_.c_str());
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
        out << bytes;
        ASSERT_TRUE(out.good());
    }

    std::string take(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool exists(const std::string& name) const {
        struct stat info {};
        return ::lstat(path(name).c_str(), &info) == 0;
    }

    ino_t inode(const std::string& name) const {
        struct stat info {};
        ::stat(path(name).c_str(), &info);
        return info.st_ino;
    }

    // Names in the scratch directory, "." and ".." left out.
    std::vector<std::string> list() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(dir_.c_str())) {
            while (const dirent* e = ::readdir(d)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..") names.push_back(name);
            }
            ::closedir(d);
        }
        return names;
    }

    std::string dir_;
};

// The byte-order mark and the empty first line every written file starts with.
inline const std::string Head = "\xEF\xBB\xBF\r\n";

}  // namespace morvane
