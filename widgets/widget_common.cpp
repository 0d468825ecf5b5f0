// Creation in the current widget list, the nested lists of scroll areas and panels, and
// image conversion for display.
#include "widgets/widget_common.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <vector>

#include "image/bitmap.h"
#include "shell/widget_list.h"

namespace morvane {
namespace {

struct OpenList {
    QPointer<QWidget> owner;
    QPointer<QWidget> container;
};

// Lists opened by this layer, innermost last; each matches one widget_list_push.
std::vector<OpenList>& open_lists() {
    static std::vector<OpenList> lists;
    return lists;
}

}  // namespace

QWidget* creation_parent() {
    return widget_list_parent();
}

std::intptr_t widget_finish(ObjectNumber number, int kind, QWidget* widget, const WidgetOps* ops, int x,
                            int y, int width, int height) {
    widget->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    ObjectNumber registered = widget_register(number, kind, widget, ops);
    if (registered == 0 && number != 0) {  // 0 is a valid widget number (the scroll area)
        delete widget;
        return 0;
    }
    widget->show();
    return number == -1 ? registered : reinterpret_cast<std::intptr_t>(widget);
}

namespace {

// Drops records whose container is gone or no longer the shell's current list (the shell
// starts a fresh list when a window opens); pops the shell's list only for a live match.
void close_innermost() {
    auto& lists = open_lists();
    OpenList last = lists.back();
    lists.pop_back();
    if (last.container && widget_list_parent() == last.container.data()) widget_list_pop();
}

}  // namespace

void widget_list_open(QWidget* owner, QWidget* container) {
    auto& lists = open_lists();
    if (!lists.empty() && lists.back().owner == owner) close_innermost();
    widget_list_push(container);
    lists.push_back({owner, container});
}

void widget_list_close() {
    auto& lists = open_lists();
    while (!lists.empty() &&
           (!lists.back().container || widget_list_parent() != lists.back().container.data()))
        lists.pop_back();
    if (!lists.empty()) close_innermost();
}

void widget_list_forget(QWidget* widget) {
    // Close from the innermost list outwards while the innermost belongs to `widget`.
    auto& lists = open_lists();
    while (!lists.empty()) {
        QWidget* owner = lists.back().owner.data();
        if (owner && owner != widget && !widget->isAncestorOf(owner)) break;
        close_innermost();
    }
}

QImage image_from_handle(std::intptr_t handle) {
    const Bitmap* bitmap = bitmap_from_handle(handle);
    if (!bitmap || !bitmap->bits || bitmap->width <= 0 || bitmap->height <= 0) return {};
    if (bitmap->bpp != 24 && bitmap->bpp != 32) return {};
    // Our rows are bottom-up with bytes blue, green, red (, alpha): on a little-endian host
    // that is QImage's ARGB32 word order, and BGR888 for 24 bits.
    const bool alpha = bitmap->bpp == 32;
    QImage image(bitmap->width, bitmap->height, alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (image.isNull()) return {};
    const std::size_t row_bytes = static_cast<std::size_t>(bitmap->width) * (alpha ? 4 : 3);
    for (int y = 0; y < bitmap->height; ++y) std::memcpy(image.scanLine(y), bitmap->row(y), row_bytes);
    return image;
}

}  // namespace morvane
