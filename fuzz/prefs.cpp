// Opens arbitrary bytes as a preference file, reads keys, writes some back and reads the result
// again. Checks that reading only leaves the file unchanged, that the written text reads back as
// the same entries, and (under the sanitizers) that nothing reads or writes out of bounds.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "prefs/preference_text.h"
#include "prefs/preferences.h"

namespace {

using namespace morvane;

std::string& scratch_dir() {
    static std::string dir;
    return dir;
}

void remove_scratch() {
    preference_close();
    ::unlink((scratch_dir() + "/pref.ini").c_str());
    ::rmdir(scratch_dir().c_str());
}

const std::string& scratch_file() {
    static const std::string path = [] {
        // In memory when possible: every write-back syncs the file.
        char shm_pattern[] = "/dev/shm/morvane-fuzz-prefs-XXXXXX";
        char tmp_pattern[] = "/tmp/morvane-fuzz-prefs-XXXXXX";
        const char* dir = ::mkdtemp(shm_pattern);
        if (dir == nullptr) dir = ::mkdtemp(tmp_pattern);
        if (dir == nullptr) __builtin_trap();
        scratch_dir() = dir;
        std::atexit(remove_scratch);
        return std::string(dir) + "/pref.ini";
    }();
    return path;
}

void put(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        __builtin_trap();
    ::close(fd);
}

std::string take(const std::string& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) __builtin_trap();
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(got));
    ::close(fd);
    return bytes;
}

bool same(const std::vector<PreferenceEntry>& a, const std::vector<PreferenceEntry>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].text != b[i].text || a[i].value != b[i].value) return false;
    }
    return true;
}

// A value that survives a write and a read unchanged: one line, no leading blanks.
std::string plain_value(const std::string& bytes) {
    std::string value;
    for (char c : bytes.substr(0, 24)) {
        if (c == '\r' || c == '\n' || c == '\0') continue;
        if (value.empty() && (c == ' ' || c == '\t')) continue;
        value += c;
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string& path = scratch_file();
    const unsigned flags = size % 4;
    put(path, bytes);

    // Reading only: every key the file holds, and some it may not.
    if (!preference_open(path, flags)) __builtin_trap();
    const std::vector<PreferenceEntry> keys = preference_current().entries;
    for (const PreferenceEntry& entry : keys) {
        if (entry.kind != PreferenceEntryKind::Key) continue;
        preference_read_integer(entry.text, 1);
        preference_read_string(entry.text, "d");
    }
    preference_read_integer("gridW", 32);
    preference_read_string("brushdir", "Quillrat");
    preference_close();
    if (take(path) != bytes) __builtin_trap();

    // Writing: the entries as they stand after the writes come back from the written file.
    if (!preference_open(path, flags)) __builtin_trap();
    const std::string value = plain_value(bytes);
    const auto grid = static_cast<std::uint64_t>(preference_read_integer("gridW", 32));
    preference_write_integer("gridW", static_cast<std::int64_t>(grid + 1));
    preference_write_string("brushdir", value);
    if (!keys.empty() && keys.front().kind == PreferenceEntryKind::Key) {
        preference_write_string(keys.front().text, value);
    }
    const std::vector<PreferenceEntry> written = preference_current().entries;
    preference_close();
    if (!preference_open(path, flags)) __builtin_trap();
    if (!same(preference_current().entries, written)) __builtin_trap();
    // Reading trims trailing blanks.
    std::string trimmed = value;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
    if (preference_read_string("brushdir", "") != preference_valid_utf8(trimmed)) __builtin_trap();
    preference_close();
    return 0;
}
