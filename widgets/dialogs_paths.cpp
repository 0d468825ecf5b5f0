// File-dialog helpers: the start folder and name, and the pattern string.
#include <algorithm>

#include "widgets/dialogs.h"

namespace morvane {
namespace {

bool forbidden_in_name(unsigned char c) {
    if (c < 32) return true;
    switch (c) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            return true;
        default:
            return false;
    }
}

// The first `count` characters of UTF-8 text (never splitting a character).
std::string first_characters(const std::string& text, std::size_t count) {
    std::size_t i = 0, seen = 0;
    while (i < text.size() && seen < count) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        ++seen;
    }
    return text.substr(0, i);
}

}  // namespace

FileDialogStart file_dialog_start(const std::string& default_file) {
    FileDialogStart start;
    const std::size_t cut = default_file.find_last_of("/\\");
    if (cut == std::string::npos) {
        start.name = default_file;
    } else {
        start.folder = default_file.substr(0, cut);
        start.name = default_file.substr(cut + 1);
    }
    start.name = first_characters(start.name, 259);
    if (std::any_of(start.name.begin(), start.name.end(),
                    [](char c) { return forbidden_in_name(static_cast<unsigned char>(c)); }))
        start.name.clear();
    return start;
}

std::vector<FilePattern> parse_pattern_string(const std::string& pattern) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= pattern.size() && !pattern.empty()) {
        const std::size_t bar = pattern.find('|', from);
        if (bar == std::string::npos) {
            parts.push_back(pattern.substr(from));
            break;
        }
        parts.push_back(pattern.substr(from, bar - from));
        from = bar + 1;
    }
    std::vector<FilePattern> out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        // An empty part ends the list, as two separators in a row end a filter list.
        if (parts[i].empty() || parts[i + 1].empty()) break;
        out.push_back({parts[i], parts[i + 1]});
    }
    return out;
}

std::vector<std::string> pattern_filters(const std::vector<FilePattern>& patterns) {
    std::vector<std::string> out;
    for (const FilePattern& p : patterns) {
        std::string globs;
        std::size_t from = 0;
        while (from <= p.patterns.size()) {
            std::size_t semi = p.patterns.find(';', from);
            if (semi == std::string::npos) semi = p.patterns.size();
            std::string one = p.patterns.substr(from, semi - from);
            one.erase(0, one.find_first_not_of(' '));
            one.erase(one.find_last_not_of(' ') + 1);
            if (!one.empty()) {
                if (!globs.empty()) globs += ' ';
                globs += one == "*.*" ? std::string("*") : one;  // every file, dotted or not
            }
            from = semi + 1;
        }
        std::string filter = p.name;
        filter += " (";
        filter += globs.empty() ? std::string("*") : globs;
        filter += ')';
        out.push_back(std::move(filter));
    }
    return out;
}

}  // namespace morvane
