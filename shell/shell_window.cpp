// The top-level widget behind a window number: layout of menu bar, client area and status
// bar, and the translation of its notifications into events.
#include "shell/shell_window.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
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

Qt::WindowFlags qt_flags(std::uint32_t flags) {
    Qt::WindowFlags f = (flags & ToolWindow) ? Qt::Tool : Qt::Window;
    f |= Qt::CustomizeWindowHint;
    // The style bits proper; a window without any gets a caption.
    std::uint32_t style =
        flags & ~std::uint32_t(CenterOnScreen | CenterOnParent | NoWidgetTarget | OpenHidden);
    if ((style & ~0xFu) == 0) style |= Caption;
    if ((style & Caption) == Caption) f |= Qt::WindowTitleHint;
    if (style & SystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & MinimizeBox) f |= Qt::WindowMinimizeButtonHint;
    if (style & MaximizeBox) f |= Qt::WindowMaximizeButtonHint;
    return f;
}

}  // namespace

ShellWindow::ShellWindow(ObjectNumber number, std::uint32_t flags)
    : QWidget(nullptr, qt_flags(flags)), number_(number), flags_(flags), client_(new ClientArea(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
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
}

void ShellWindow::set_inner_size(int width, int height) {
    const int status = status_bar_ ? status_bar_->bar_height() : 0;
    if (!(flags_ & SizableFrame)) setFixedSize(width, height + status);
    resize(width, height + status);
    relayout();
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
    post(MoveWindowEvent, number_);
}

void ShellWindow::closeEvent(QCloseEvent* event) {
    // Only the program closes windows; the user's request becomes an event.
    event->ignore();
    post(CloseWindowEvent, number_);
}

bool ShellWindow::event(QEvent* event) {
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
