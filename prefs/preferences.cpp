#include "prefs/preferences.h"

#include <new>
#include <string>

#include "prefs/preference_io.h"
#include "prefs/preference_text.h"

namespace morvane {

namespace {

PreferenceFile current;

void release() {
    preference_close_file(current.file);
    current = PreferenceFile{};
}

// Writes the entries back when modified. A file opened read only is never written; a file that
// was missing at opening is created now. The new text replaces the file as a whole, so a failed
// write leaves the old file as it was (and the entries still modified).
void write_back() {
    if (!current.modified || current.read_only) return;
    std::string path;
    if (current.file >= 0) {
        path = current.path;
    } else if (!current.remembered_name.empty() && preference_may_replace(current.remembered_name)) {
        path = current.remembered_name;
    } else {
        return;
    }
    const int fd =
        preference_replace_file(path, preference_render(current.entries, current.flags, current.utf8));
    if (fd < 0) return;
    preference_close_file(current.file);
    current.file = fd;
    current.path = path;
    current.remembered_name.clear();
    current.modified = false;
}

// Writes back the file still current when the process ends.
struct CloseAtExit {
    ~CloseAtExit() { preference_close(); }
} close_at_exit;

}  // namespace

bool preference_open(std::string_view name, unsigned flags) {
    preference_close();
    try {
        std::string path(name);
        int fd = -1;
        bool read_only = false;
        switch (preference_open_file(path, fd, read_only)) {
            case PreferenceOpenResult::Missing:
                current.remembered_name = path;
                current.utf8 = true;
                current.flags = flags;
                return false;
            case PreferenceOpenResult::Failed:
                return false;
            case PreferenceOpenResult::Opened:
                break;
        }
        current.file = fd;
        std::string bytes;
        if (!preference_read_file(fd, bytes)) {
            release();
            return false;
        }
        bool marked = false;
        current.entries = preference_parse(preference_decode(bytes, marked));
        current.path = std::move(path);
        current.read_only = read_only;
        current.utf8 = true;
        current.flags = flags;
        return true;
    } catch (const std::bad_alloc&) {
        release();
        return false;
    }
}

bool preference_create(std::string_view name, unsigned flags) {
    preference_close();
    try {
        std::string path(name);
        const int fd = preference_create_file(path);
        if (fd < 0) return false;
        current.file = fd;
        current.path = std::move(path);
        current.utf8 = true;
        current.flags = flags;
        return true;
    } catch (const std::bad_alloc&) {
        release();
        return false;
    }
}

void preference_close() {
    try {
        write_back();
    } catch (const std::bad_alloc&) {
    }
    release();
}

void preference_flush() {
    try {
        write_back();
    } catch (const std::bad_alloc&) {
    }
}

std::int64_t preference_read_integer(std::string_view key, std::int64_t default_value) {
    const auto index = preference_find_key(current.entries, key);
    if (index < 0) return default_value;
    return preference_scan_integer(current.entries[static_cast<std::size_t>(index)].value);
}

std::string preference_read_string(std::string_view key, std::string_view default_value) {
    try {
        const auto index = preference_find_key(current.entries, key);
        if (index < 0) return std::string(default_value);
        std::string_view value = current.entries[static_cast<std::size_t>(index)].value;
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
        return preference_valid_utf8(value);
    } catch (const std::bad_alloc&) {
    }
    try {
        return std::string(default_value);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

void preference_write_integer(std::string_view key, std::int64_t value) {
    try {
        preference_write_string(key, std::to_string(value));
    } catch (const std::bad_alloc&) {
    }
}

void preference_write_string(std::string_view key, std::string_view value) {
    if (current.file < 0 && current.remembered_name.empty()) return;
    try {
        const auto index = preference_find_key(current.entries, key);
        if (index >= 0) {
            PreferenceEntry& entry = current.entries[static_cast<std::size_t>(index)];
            entry.text = key;
            entry.value = value;
        } else {
            const auto at = current.entries.begin() +
                            static_cast<std::ptrdiff_t>(preference_insert_position(current.entries));
            current.entries.insert(
                at, PreferenceEntry{PreferenceEntryKind::Key, std::string(key), std::string(value)});
        }
        current.modified = true;
    } catch (const std::bad_alloc&) {
    }
}

const PreferenceFile& preference_current() {
    return current;
}

}  // namespace morvane
