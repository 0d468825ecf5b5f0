// The top-level widget behind a window number: layout of menu bar, client area and status
// bar, and the translation of its notifications into events.
#include "shell/shell_window.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <string>

#include "shell/events.h"
#include "shell/statusbar_widget.h"
#include "shell/window.h"

namespace morvane {
namespace {

// The client area: reports clicks and background painting on itself, not on children.
class ClientArea : public QWidget {
  public:
    ClientArea(ShellWindow* window) : QWidget(window), window_(window) {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Button);
    }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (!rect().contains(event->position().toPoint())) return;
        if (event->button() == Qt::LeftButton) post(LeftClickWindowEvent);
        if (event->button() == Qt::RightButton) post(RightClickWindowEvent);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) post(LeftDoubleClickWindowEvent);
    }
    void paintEvent(QPaintEvent*) override { post(RepaintWindowEvent); }

  private:
    void post(std::uint32_t kind) {
        if (window_->ready) event_post(kind, 0, window_->number(), 0);
    }
    ShellWindow* window_;
};

// The first local file among dropped URLs, as a UTF-8 path; "" when there is none.
std::string first_local_file(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile().toStdString();
    }
    return {};
}

Qt::WindowFlags qt_flags(std::uint32_t flags, bool owned) {
    // An owned window is a dialog of its owner: the window manager keeps it above.
    Qt::WindowFlags f = (flags & ToolWindow) ? Qt::Tool : owned ? Qt::Dialog : Qt::Window;
    f |= Qt::CustomizeWindowHint;
    // The style bits proper; a window without any gets a caption.
    std::uint32_t style =
        flags & ~std::uint32_t(CenterOnScreen | CenterOnParent | NoWidgetTarget | OpenHidden | BlockOwner);
    if ((style & ~0xFu) == 0) style |= Caption;
    if ((style & Caption) == Caption) f |= Qt::WindowTitleHint;
    if (style & SystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & MinimizeBox) f |= Qt::WindowMinimizeButtonHint;
    if (style & MaximizeBox) f |= Qt::WindowMaximizeButtonHint;
    return f;
}

// Room for a frame whose size the window manager has not told yet: borders and a title bar.
constexpr QMargins kAssumedFrame(8, 32, 8, 8);

}  // namespace

QSize size_within(QSize size, QMargins frame, QSize available) {
    const int width = available.width() - frame.left() - frame.right();
    const int height = available.height() - frame.top() - frame.bottom();
    return QSize(std::max(1, std::min(size.width(), width)), std::max(1, std::min(size.height(), height)));
}

ShellWindow::ShellWindow(ObjectNumber number, std::uint32_t flags, ShellWindow* owner)
    : QWidget(owner, qt_flags(flags, owner != nullptr)),
      number_(number),
      flags_(flags),
      client_(new ClientArea(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    if (owner && (flags & BlockOwner)) setWindowModality(Qt::WindowModal);
}

ShellWindow::~ShellWindow() = default;

int ShellWindow::menu_height() const {
    if (!menu_bar_) return 0;
    return std::max(menu_bar_->heightForWidth(width()), menu_bar_->sizeHint().height());
}

void ShellWindow::set_menu_bar(QMenuBar* bar) {
    delete menu_bar_;
    menu_bar_ = bar;
    if (bar) {
        bar->setParent(this);
        bar->installEventFilter(this);
        bar->show();
    }
    relayout();
}

void ShellWindow::set_status_bar(StatusBarWidget* bar) {
    const int inner_height = menu_height() + client_->height();
    delete status_bar_;
    status_bar_ = bar;
    if (bar) {
        bar->setParent(this);
        bar->show();
    }
    set_inner_size(width(), inner_height);
    // The bar is added below the client area: the window may now reach past the screen.
    if (bar) fit_to_screen();
}

void ShellWindow::set_inner_size(int width, int height) {
    const int status = status_bar_ ? status_bar_->bar_height() : 0;
    if (!(flags_ & SizableFrame)) setFixedSize(width, height + status);
    resize(width, height + status);
    relayout();
}

void ShellWindow::fit_to_screen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The frame is known once the window manager has framed the window.
    const bool framed = isVisible() && frameGeometry() != geometry();
    const QMargins frame = framed ? QMargins(geometry().left() - frameGeometry().left(),
                                             geometry().top() - frameGeometry().top(),
                                             frameGeometry().right() - geometry().right(),
                                             frameGeometry().bottom() - geometry().bottom())
                           : QGuiApplication::platformName() == QLatin1String("offscreen") ? QMargins()
                                                                                           : kAssumedFrame;
    const QSize fitted = size_within(size(), frame, area.size());
    if (fitted != size()) {
        if (!(flags_ & SizableFrame)) setFixedSize(fitted);
        resize(fitted);
        relayout();
    }
    // Keep the whole frame on the area. pos() is the frame's corner once the frame is known;
    // before that the window manager may take it for the window's own corner, so the frame's
    // room is kept on both sides.
    const int left = area.left() + (framed ? 0 : frame.left());
    const int top = area.top() + (framed ? 0 : frame.top());
    const int right = area.right() + 1 - frame.left() - frame.right() - width();
    const int bottom = area.bottom() + 1 - frame.top() - frame.bottom() - height();
    QPoint at = pos();
    at.setX(std::max(left, std::min(at.x(), right)));
    at.setY(std::max(top, std::min(at.y(), bottom)));
    if (at != pos()) move(at);
}

void ShellWindow::relayout() {
    const int top = menu_height();
    const int status = status_bar_ ? status_bar_->bar_height() : 0;
    if (menu_bar_) menu_bar_->setGeometry(0, 0, width(), top);
    client_->setGeometry(0, top, width(), std::max(0, height() - top - status));
    if (status_bar_) status_bar_->setGeometry(0, height() - status, width(), status);
}

bool ShellWindow::eventFilter(QObject* watched, QEvent* event) {
    // The menu bar's height changes as titles are added or its font changes.
    if (watched == menu_bar_) {
        switch (event->type()) {
            case QEvent::ActionAdded:
            case QEvent::ActionRemoved:
            case QEvent::ActionChanged:
            case QEvent::LayoutRequest:
            case QEvent::FontChange:
            case QEvent::StyleChange:
                QMetaObject::invokeMethod(this, &ShellWindow::relayout, Qt::QueuedConnection);
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ShellWindow::bring_to_front() {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    activateWindow();
}

void ShellWindow::post(std::uint32_t kind, std::int64_t source) {
    if (ready) event_post(kind, source, number_, 0);
}

void ShellWindow::post_size() {
    if (!ready) return;
    // A burst of sizing leaves one size event, at the end of the queue.
    event_discard(SizeWindowEvent, -1, number_, -1);
    event_post(SizeWindowEvent, 0, number_, 0);
}

void ShellWindow::resizeEvent(QResizeEvent*) {
    relayout();
    if (isMinimized()) return;  // reported through the state change
    if (isMaximized()) {
        if (min_or_max_) post_size();  // a maximized window resized again
        return;
    }
    if (min_or_max_) {
        min_or_max_ = false;
        post(RestoreWindowEvent);
    }
    post_size();
}

void ShellWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    if (isMinimized()) {
        min_or_max_ = true;
        post(MinimizeWindowEvent);
    } else if (isMaximized()) {
        min_or_max_ = true;
        post(MaximizeWindowEvent);
        post_size();
    } else if (min_or_max_) {
        min_or_max_ = false;
        post(RestoreWindowEvent);
        post_size();
    }
}

void ShellWindow::moveEvent(QMoveEvent*) {
    refit_once_framed();
    post(MoveWindowEvent, number_);
}

void ShellWindow::closeEvent(QCloseEvent* event) {
    // Only the program closes windows; the user's request becomes an event.
    event->ignore();
    post(CloseWindowEvent, number_);
}

void ShellWindow::refit_once_framed() {
    // Once the window manager has framed the window its frame is known: fit it again so
    // that the frame, not only the window, lies on the screen.
    if (framed_ || !isVisible() || frameGeometry() == geometry()) return;
    framed_ = true;
    fit_to_screen();
}

bool ShellWindow::event(QEvent* event) {
    if (event->type() == QEvent::Show && !framed_) {
        // The frame comes with the window manager's answer; look again shortly.
        QTimer::singleShot(250, this, &ShellWindow::refit_once_framed);
        QTimer::singleShot(1000, this, &ShellWindow::refit_once_framed);
    }
    if (event->type() == QEvent::Expose) refit_once_framed();
    if (event->type() == QEvent::WindowActivate) {
        if (saved_focus_ && isAncestorOf(saved_focus_)) saved_focus_->setFocus(Qt::ActiveWindowFocusReason);
        post(ActivateWindowEvent);
    } else if (event->type() == QEvent::WindowDeactivate) {
        if (QWidget* f = focusWidget()) saved_focus_ = f;
        post(DeactivateWindowEvent);
    }
    return QWidget::event(event);
}

void ShellWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Only local files are offered to the program; other drags show "not here".
    if (ready && !first_local_file(event->mimeData()).empty()) event->acceptProposedAction();
}

void ShellWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (ready && !first_local_file(event->mimeData()).empty()) event->acceptProposedAction();
}

void ShellWindow::dropEvent(QDropEvent* event) {
    const std::string file = first_local_file(event->mimeData());
    if (!ready || file.empty()) return;
    event->acceptProposedAction();
    event_post_dropped_file(number_, file);
}

void ShellWindow::cycle_focus(bool forward) {
    // The focusable widgets in focus-chain order (creation order unless changed).
    QList<QWidget*> chain;
    for (QWidget* w = client_->nextInFocusChain(); w && w != client_; w = w->nextInFocusChain()) {
        if (chain.contains(w)) break;
        if (client_->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
            w->isVisibleTo(this) && !w->focusProxy())
            chain.append(w);
    }
    if (chain.isEmpty()) return;
    QWidget* current = focusWidget();
    while (current && current->focusProxy()) current = current->focusProxy();
    // A focused inner part (a spin box's line edit) counts as its focusable owner.
    int at = -1;
    for (QWidget* w = current; w && at < 0 && w != this; w = w->parentWidget()) at = chain.indexOf(w);
    const int n = chain.size();
    int next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
    chain[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

}  // namespace morvane
