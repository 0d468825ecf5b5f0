// Qt-level hooks through which the widget and canvas layers place their controls.
// Only Qt code (shell/, widgets/, the canvas in draw/) includes this.
#pragma once

#include <functional>

#include "image/color.h"

class QWidget;

namespace morvane {

/// Where widgets are created now: the client area of the last opened window, or the
/// inner window of an open scroll area / panel page. Null when there is none.
QWidget* widget_list_parent();
/// The window number that the current widget list belongs to (-1 when none).
ObjectNumber widget_list_window();
/// Opens a nested widget list (a scroll area's inner window, a panel's page).
void widget_list_push(QWidget* container);
/// Closes the innermost nested widget list; creation returns to the enclosing one.
void widget_list_pop();

/// The client-area widget of an open window (below its menu bar), or null.
QWidget* window_client(ObjectNumber window);
/// The number of the top-level window that contains a widget, or -1.
ObjectNumber window_of(const QWidget* widget);

/// Registers a call made by window_close before a window's widgets are destroyed (the
/// widget and canvas tables forget the window's widgets there).
void window_on_close(std::function<void(ObjectNumber window)> hook);

}  // namespace morvane
