// Numbered fonts and giving them to widgets.
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "widgets/widget_common.h"

namespace morvane {
namespace {

std::map<ObjectNumber, std::unique_ptr<QFont>>& fonts() {
    static std::map<ObjectNumber, std::unique_ptr<QFont>> table;
    return table;
}

// The display's vertical resolution, read once; 96 when there is no screen to ask.
int display_dpi() {
    static const int dpi = [] {
        QScreen* screen = QGuiApplication::primaryScreen();
        int value = screen ? int(std::lround(screen->logicalDotsPerInchY())) : 0;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

bool is_font_handle(std::intptr_t handle) {
    for (const auto& [number, font] : fonts()) {
        if (reinterpret_cast<std::intptr_t>(font.get()) == handle) return true;
    }
    return false;
}

}  // namespace

int font_pixel_size(int points, int dpi) {
    // Rounded to nearest, halves away from zero, in 64 bits.
    std::int64_t product = std::int64_t(points) * dpi;
    std::int64_t magnitude = (std::llabs(product) * 2 + 72) / 144;
    return int(product < 0 ? -magnitude : magnitude);
}

std::string font_family(const std::string& face) {
    if (face.size() >= 4) {
        std::string tail = face.substr(face.size() - 4);
        for (char& c : tail) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (tail == ".ttf") return face.substr(0, face.size() - 4);
    }
    return face;
}

std::intptr_t font_load(ObjectNumber number, const std::string& face, int size, int flags) {
    int pixels = std::abs(font_pixel_size(size, display_dpi()));
    if (pixels <= 0 || face.empty()) return 0;
    auto font = std::make_unique<QFont>(qstr(font_family(face)));
    font->setPixelSize(pixels);
    font->setWeight((flags & FontBold) ? QFont::Bold : QFont::Normal);
    font->setItalic((flags & FontItalic) != 0);
    font->setUnderline((flags & FontUnderline) != 0);
    font->setStrikeOut((flags & FontStrikeOut) != 0);
    if (flags & FontProofQuality) font->setStyleStrategy(QFont::PreferQuality);
    auto handle = reinterpret_cast<std::intptr_t>(font.get());
    ObjectNumber key = number == -1 ? handle : number;
    fonts()[key] = std::move(font);
    return number == -1 ? key : handle;
}

std::intptr_t font_handle(ObjectNumber number) {
    auto it = fonts().find(number);
    return it == fonts().end() ? 0 : reinterpret_cast<std::intptr_t>(it->second.get());
}

void font_free(ObjectNumber number) {
    fonts().erase(number);
}

void fonts_free_all() {
    fonts().clear();
}

void widget_set_font(ObjectNumber number, std::intptr_t font) {
    QWidget* widget = widget_qt(number);
    if (!widget) return;
    if (font == -1) {
        // An empty font resolves nothing, so the widget inherits its parent's font again.
        widget->setFont(QFont());
        return;
    }
    // Only handles of live fonts are taken; anything else is ignored.
    if (!is_font_handle(font)) return;
    widget->setFont(*reinterpret_cast<const QFont*>(font));
}

}  // namespace morvane
