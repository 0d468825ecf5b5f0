// Helpers shared by the widget kinds (Qt layer only; not for the editor).
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <string>

#include "image/color.h"
#include "widgets/widget.h"

class QWidget;

namespace morvane {

/// The parent for a new control (the current widget list), or null when there is none.
QWidget* creation_parent();

/// Places a new control, enters it in the table and shows it. Returns what a creation
/// operation returns: the control's handle, or the dynamic number when `number` is -1.
std::intptr_t widget_finish(ObjectNumber number, int kind, QWidget* widget, const WidgetOps* ops, int x,
                            int y, int width, int height);

/// Opens `container` as the current widget list on behalf of `owner` (a scroll area or a
/// panel); an open list of the same owner is closed first.
void widget_list_open(QWidget* owner, QWidget* container);
/// Closes any open widget list that belongs to or lies inside `widget` (before it goes).
void widget_list_forget(QWidget* widget);

/// Releases every loaded font.
void fonts_free_all();

/// A copy of the pixels behind an image handle for display (straight alpha kept), or a
/// null image for 0.
QImage image_from_handle(std::intptr_t handle);

inline QString qstr(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
inline std::string ustr(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace morvane
