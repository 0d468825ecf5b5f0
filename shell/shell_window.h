// The top-level widget behind a window number (shell-internal).
#pragma once

#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <cstdint>

#include "image/color.h"

class QMenuBar;

namespace morvane {

class StatusBarWidget;

/// A top-level window: an optional menu bar on top, the client area, an optional status
/// bar below. It turns Qt's window notifications into queued events.
class ShellWindow : public QWidget {
    Q_OBJECT
  public:
    /// `owner` (may be null) becomes the Qt parent: the window is then a dialog that the
    /// window manager keeps in front of its owner.
    ShellWindow(ObjectNumber number, std::uint32_t flags, ShellWindow* owner = nullptr);
    ~ShellWindow() override;

    ObjectNumber number() const { return number_; }
    std::uint32_t flags() const { return flags_; }
    QWidget* client() const { return client_; }
    QMenuBar* menu_bar() const { return menu_bar_; }
    StatusBarWidget* status_bar() const { return status_bar_; }
    ObjectNumber owner = -1;
    /// Set once window_open has finished; notifications before that are not queued.
    bool ready = false;

    /// Installs (or with null removes) the menu bar; the window keeps its size.
    void set_menu_bar(QMenuBar* bar);
    /// Installs (or with null removes) the status bar; the client area keeps its size.
    void set_status_bar(StatusBarWidget* bar);
    int menu_height() const;
    /// Sizes the window so that menu bar plus client area measure width x height.
    void set_inner_size(int width, int height);
    void relayout();
    /// Raises and activates the window (raising is skipped where the platform lacks it).
    void bring_to_front();
    /// Moves the keyboard focus to the next (or previous) focusable widget, wrapping.
    void cycle_focus(bool forward);
    /// Shrinks the window so that it lies within the available area of its screen with its
    /// frame, and moves it inside that area.
    void fit_to_screen();
    /// fit_to_screen once more when the window manager's frame is first known.
    void refit_once_framed();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void post(std::uint32_t kind, std::int64_t source = 0);
    void post_size();

    ObjectNumber number_;
    std::uint32_t flags_;
    QWidget* client_;
    QMenuBar* menu_bar_ = nullptr;
    StatusBarWidget* status_bar_ = nullptr;
    bool min_or_max_ = false;
    bool framed_ = false;  // fitted to the screen with the window manager's frame
    QPointer<QWidget> saved_focus_;
};

/// The open window of a number, or null.
ShellWindow* shell_window(ObjectNumber number);
/// The open window whose handle this is, or null.
ShellWindow* shell_window_from_handle(std::intptr_t handle);
/// Calls registered with window_on_close run here before the window is destroyed.
void run_close_hooks(ObjectNumber number);
/// Widget-list bookkeeping when windows open and close.
void widget_list_window_opened(ObjectNumber number, bool make_target);
void widget_list_window_closed(ObjectNumber number);
/// Menus and status bars of a closing window.
void menus_forget_window(ObjectNumber number);
void statusbars_forget_window(ObjectNumber number);
/// The largest size not above `size` whose frame (size grown by `frame`) fits in `available`.
QSize size_within(QSize size, QMargins frame, QSize available);
/// Every open window number (for shutdown).
void window_close_all();

}  // namespace morvane
