#include "prefs/preference_text.h"

#include <limits>

namespace morvane {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view LineEnd = "\r\n";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}

std::string_view trim_leading_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trim_trailing_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of the well-formed UTF-8 sequence at s[i], or 0 when the byte starts none.
std::size_t utf8_sequence_length(std::string_view s, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;   // no overlong forms
        if (b0 == 0xED) high = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string preference_latin1_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::string preference_decode(std::string_view bytes, bool& utf8_marked) {
    utf8_marked = bytes.substr(0, 3) == ByteOrderMark;
    if (utf8_marked) return std::string(bytes.substr(3));
    return preference_latin1_to_utf8(bytes);
}

std::vector<PreferenceEntry> preference_parse(std::string_view text) {
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<PreferenceEntry> entries;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Blanks, line ends and blank-only lines before the next line's first character.
        while (pos < text.size() && (is_blank(text[pos]) || is_line_end(text[pos]))) ++pos;
        if (pos == text.size()) break;
        std::size_t end = pos;
        while (end < text.size() && !is_line_end(text[end])) ++end;
        std::string_view line = text.substr(pos, end - pos);
        pos = end;

        PreferenceEntry entry;
        if (line.front() == ';') {
            line.remove_prefix(1);
            if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
            entry.kind = PreferenceEntryKind::Comment;
            entry.text = line;
        } else if (line.front() == '[') {
            line.remove_prefix(1);
            entry.kind = PreferenceEntryKind::Group;
            entry.text = line.substr(0, line.find(']'));
        } else {
            // A line without "=" is a key with an empty value, whatever ends the line.
            const auto equals = line.find('=');
            entry.kind = PreferenceEntryKind::Key;
            entry.text = trim_trailing_blanks(line.substr(0, equals));
            if (equals != std::string_view::npos) entry.value = trim_leading_blanks(line.substr(equals + 1));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string preference_render(const std::vector<PreferenceEntry>& entries, unsigned flags, bool utf8) {
    std::string out;
    if (utf8) {
        out += ByteOrderMark;
        out += LineEnd;
    }
    const std::string_view equals = (flags & CompactEquals) ? "=" : " = ";
    bool first_group = true;
    for (const PreferenceEntry& entry : entries) {
        switch (entry.kind) {
            case PreferenceEntryKind::Group:
                if ((flags & GroupSpacing) && !first_group) out += LineEnd;
                first_group = false;
                out += '[';
                out += entry.text;
                out += ']';
                break;
            case PreferenceEntryKind::Comment:
                out += "; ";
                out += entry.text;
                break;
            case PreferenceEntryKind::Key:
                out += entry.text;
                out += equals;
                out += entry.value;
                break;
        }
        out += LineEnd;
    }
    return out;
}

std::int64_t preference_scan_integer(std::string_view text) {
    std::size_t pos = 0;
    auto is_space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (pos < text.size() && is_space(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    // Accumulate as a negative number so that the minimum value is reachable.
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool overflow = false;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const int digit = text[pos] - '0';
        if (value < (min + digit) / 10) {
            overflow = true;
        } else {
            value = value * 10 - digit;
        }
    }
    if (negative) return overflow ? min : value;
    if (overflow || value == min) return std::numeric_limits<std::int64_t>::max();
    return -value;
}

std::string preference_valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8_sequence_length(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out += text.substr(i, length);
            i += length;
        }
    }
    return out;
}

bool preference_key_equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    }
    return true;
}

std::ptrdiff_t preference_find_key(const std::vector<PreferenceEntry>& entries, std::string_view key) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].kind == PreferenceEntryKind::Group) break;
        if (entries[i].kind == PreferenceEntryKind::Key && preference_key_equal(entries[i].text, key)) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

std::size_t preference_insert_position(const std::vector<PreferenceEntry>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].kind == PreferenceEntryKind::Group) return i;
    }
    return entries.size();
}

}  // namespace morvane
