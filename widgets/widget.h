// Numbered dialog widgets: creation of every kind, the one widget table shared by all
// windows, and the operations the editor drives them with.
#pragma once

#include <cstdint>
#include <string>

#include "image/color.h"

class QWidget;

namespace morvane {

/// Kind codes of the widget table. The canvas registers itself with code 33.
enum WidgetKind : int {
    ComboBoxWidget = 1,
    SpinWidget = 2,
    TrackbarWidget = 3,
    CheckBoxWidget = 4,
    ButtonWidget = 5,
    ImageButtonWidget = 6,
    ImageWidget = 7,
    TextFieldWidget = 8,
    TextWidget = 9,
    FrameWidget = 10,
    PanelWidget = 11,
    ScrollAreaWidget = 12,
    CanvasWidget = 33,
};

/// Widget subtypes posted with WidgetEvent by the standard kinds.
enum WidgetSubtype : int {
    WidgetClicked = 0,
    WidgetScrolled = 1,  // a scroll area in viewport mode: the user moved a scroll bar
    SpinUp = 4,
    SpinDown = 5,
    FieldFocusGained = 256,
    FieldFocusLost = 512,
    WidgetChanged = 768,
};

/// Scroll area attributes (widget_get_attribute / widget_set_attribute).
enum ScrollAreaAttribute : int {
    ScrollInnerWidth = 1,
    ScrollInnerHeight = 2,
    ScrollX = 3,  // scroll bar positions
    ScrollY = 4,
    ScrollStep = 5,
    ScrollVisibleWidth = 16,  // read only: the visible part
    ScrollVisibleHeight = 17,
    /// Setting either puts the area in viewport mode: its inner window stays the size of the
    /// visible part (the widgets in it are the view), both scroll bars always show and run
    /// over a content of this size that nothing holds, and a user's move of a bar posts
    /// WidgetScrolled; the owner scrolls what its widgets show.
    ScrollContentWidth = 18,
    ScrollContentHeight = 19,
};

/// Flag values of the creation operations.
enum WidgetFlags : int {
    SpinReadOnly = 1,
    SpinNumeric = 2,
    ImageButtonToggle = 0x1003,
    ImageSunkenBorder = 0x200,
    TextDigitsOnly = 0x2000,
    TextReadOnly = 0x800,  // the text can be selected and copied, not edited
};

/// Font flags of font_load.
enum FontFlags : int {
    FontUnderline = 4,
    FontStrikeOut = 8,
    FontProofQuality = 0x10,
    FontBold = 0x100,
    FontItalic = 0x200
};

// Creation: each returns the control's handle (for -1 as number, the new dynamic number),
// 0 when there is no current widget list. A used number first releases the older widget.
std::intptr_t combo_box_create(ObjectNumber number, int x, int y, int width, int height);
/// Greys (0) or enables an item of a drop-down list: a greyed item cannot be chosen.
void combo_box_set_item_enabled(ObjectNumber number, int index, int enabled);
/// 1 when the item can be chosen, 0 when greyed or missing.
int combo_box_item_enabled(ObjectNumber number, int index);
std::intptr_t spin_create(ObjectNumber number, int x, int y, int width, int height, std::int64_t minimum,
                          std::int64_t maximum, int flags);
std::intptr_t trackbar_create(ObjectNumber number, int x, int y, int width, int height, int minimum,
                              int maximum);
std::intptr_t check_box_create(ObjectNumber number, int x, int y, int width, int height,
                               const std::string& text);
std::intptr_t button_create(ObjectNumber number, int x, int y, int width, int height,
                            const std::string& text);
std::intptr_t image_button_create(ObjectNumber number, int x, int y, int width, int height,
                                  std::intptr_t image_handle, int flags);
std::intptr_t image_widget_create(ObjectNumber number, int x, int y, int width, int height,
                                  std::intptr_t image_handle, int flags);
std::intptr_t text_field_create(ObjectNumber number, int x, int y, int width, int height,
                                const std::string& text, int flags);
std::intptr_t text_create(ObjectNumber number, int x, int y, int width, int height, const std::string& text);
std::intptr_t frame_create(ObjectNumber number, int x, int y, int width, int height, const std::string& text);
/// A tabbed panel. widget_add_item adds a page; widgets created next go onto that page until
/// widget_list_close().
std::intptr_t panel_create(ObjectNumber number, int x, int y, int width, int height);
/// A scrolled area; widgets created next go into its inner window until widget_list_close().
std::intptr_t scroll_area_create(ObjectNumber number, int x, int y, int width, int height, int inner_width,
                                 int inner_height, int scroll_step);
/// Closes the widget list opened last by a scroll area or a panel page.
void widget_list_close();

// Operations; a number with no widget reads 0 / "" and ignores writes.
std::int64_t widget_get_state(ObjectNumber number);
void widget_set_state(ObjectNumber number, std::int64_t value);
std::string widget_get_text(ObjectNumber number);
void widget_set_text(ObjectNumber number, const std::string& text);
void widget_add_item(ObjectNumber number, int position, const std::string& text);
std::int64_t widget_get_attribute(ObjectNumber number, int attribute);
void widget_set_attribute(ObjectNumber number, int attribute, std::int64_t value);
void widget_set_tooltip(ObjectNumber number, const std::string& text);
/// Gives a widget a font from font_handle; -1 restores the default font.
void widget_set_font(ObjectNumber number, std::intptr_t font);
void widget_set_focus(ObjectNumber number);
/// Enables (non-zero) or disables a widget; a disabled widget is greyed and takes no input.
void widget_set_enabled(ObjectNumber number, int enabled);
/// 1 when the widget takes input, 0 when disabled or missing.
int widget_enabled(ObjectNumber number);
/// The widget holding the keyboard focus (a field inside a widget counts as it), -1 when none.
ObjectNumber widget_focused();
/// Moves and sizes a widget in its parent; KeepSize (-65535) keeps that value.
void widget_resize(ObjectNumber number, int x, int y, int width, int height);
/// A widget's place in its parent's client pixels; all 0 when the number names none.
struct WidgetRect {
    int x = 0, y = 0, width = 0, height = 0;
};
WidgetRect widget_rect(ObjectNumber number);
/// The kind code of a widget, 0 when the number names none.
int widget_kind(ObjectNumber number);
void widget_free(ObjectNumber number);
/// Releases every widget and every font (shutdown).
void widgets_free_all();

/// Loads a font: the handle for a fixed number, a dynamic number for -1, 0 on failure.
std::intptr_t font_load(ObjectNumber number, const std::string& face, int size, int flags = 0);
std::intptr_t font_handle(ObjectNumber number);
void font_free(ObjectNumber number);
/// Pixel height of a font of `points` on a display of `dpi` dots per inch, rounded to nearest.
int font_pixel_size(int points, int dpi);
/// Font family for a face name: a trailing ".ttf" is dropped.
std::string font_family(const std::string& face);

// ---- For the widget kinds and the canvas (Qt layer) ----

/// A kind's operations. An empty entry reads 0 and ignores a set, except that the text
/// falls back to the widget's window title and the focus to focusing the widget.
struct WidgetOps {
    std::int64_t (*get_state)(QWidget*) = nullptr;
    void (*set_state)(QWidget*, std::int64_t) = nullptr;
    std::string (*get_text)(QWidget*) = nullptr;
    void (*set_text)(QWidget*, const std::string&) = nullptr;
    void (*add_item)(QWidget*, int, const std::string&) = nullptr;
    std::int64_t (*get_attribute)(QWidget*, int) = nullptr;
    void (*set_attribute)(QWidget*, int, std::int64_t) = nullptr;
    void (*set_focus)(QWidget*) = nullptr;
    void (*resize)(QWidget*, int x, int y, int width, int height) = nullptr;
};

/// Enters a widget under a number (-1: a dynamic number), releasing an older one there. The
/// table forgets the entry when the QWidget is destroyed. Returns the number, or 0 for null.
ObjectNumber widget_register(ObjectNumber number, int kind, QWidget* widget, const WidgetOps* ops);
/// Removes a widget from the table without destroying it (the creator failed half-way).
void widget_unregister(ObjectNumber number);
/// The QWidget under a number, or null.
QWidget* widget_qt(ObjectNumber number);
/// The number of a registered QWidget, or -1.
ObjectNumber widget_number_of(const QWidget* widget);
/// Posts a WidgetEvent from a registered widget (source its number, window its window).
void widget_post(const QWidget* widget, std::int64_t subtype);

}  // namespace morvane
