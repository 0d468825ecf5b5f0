// Long work made visible: busy pointer, a QProgressDialog after half a second, and window
// painting kept alive through the progress reports.
#include "widgets/progress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <algorithm>
#include <limits>

namespace morvane {
namespace {

// Least time between two passes of the event processing: per-row reports of a large
// picture come far more often than the screen can show them.
constexpr qint64 RepaintIntervalMs = 30;

std::function<void(const ProgressNote&)>& observer() {
    static std::function<void(const ProgressNote&)> o;
    return o;
}

void notify(ProgressNote::Kind kind, const std::string& title, const std::string& text, std::int64_t done,
            std::int64_t total) {
    if (observer()) observer()(ProgressNote{kind, title, text, done, total});
}

QApplication* gui_app() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace

struct BusyWork::Impl {
    std::string title, text;
    QElapsedTimer started, last_pump;
    QPointer<QProgressDialog> dialog;
    bool cursor_set = false;

    void pump() {
        last_pump.restart();
        if (dialog && !dialog->isVisible() && started.elapsed() >= ProgressDialogDelayMs) dialog->show();
        // Painting and timers run; clicks and keys wait until the work is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
};

BusyWork::BusyWork(const std::string& title, const std::string& text) : impl_(std::make_unique<Impl>()) {
    impl_->title = title;
    impl_->text = text;
    impl_->started.start();
    impl_->last_pump.start();
    notify(ProgressNote::Kind::Begin, title, text, 0, 0);
    if (gui_app()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        impl_->cursor_set = true;
        auto* dialog =
            new QProgressDialog(QString::fromStdString(text), QString(), 0, 0, QApplication::activeWindow());
        dialog->setWindowTitle(QString::fromStdString(title));
        dialog->setMinimumDuration(ProgressDialogDelayMs);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setWindowModality(Qt::NonModal);
        // The dialog shows itself only through step(): its own timer would need an event
        // loop that does not run while the work does.
        dialog->hide();
        impl_->dialog = dialog;
    }
    previous_ = progress_receiver_set(ProgressReceiver{[](void* self, std::int64_t done, std::int64_t total) {
                                                           static_cast<BusyWork*>(self)->step(done, total);
                                                       },
                                                       this});
}

BusyWork::~BusyWork() {
    progress_receiver_set(previous_);
    delete impl_->dialog.data();
    if (impl_->cursor_set) QApplication::restoreOverrideCursor();
    notify(ProgressNote::Kind::End, impl_->title, impl_->text, 0, 0);
}

void BusyWork::step(std::int64_t done, std::int64_t total) {
    notify(ProgressNote::Kind::Step, impl_->title, impl_->text, done, total);
    if (!impl_->dialog || impl_->last_pump.elapsed() < RepaintIntervalMs) return;
    // Before the delay the dialog is left alone: its own estimate would show it earlier.
    if (impl_->started.elapsed() >= ProgressDialogDelayMs) {
        QProgressDialog* dialog = impl_->dialog;
        // The dialog counts in int: totals beyond that are shown in thousandths.
        constexpr std::int64_t IntLimit = std::numeric_limits<int>::max();
        if (total <= 0) {
            dialog->setRange(0, 0);
        } else {
            const std::int64_t clamped = std::clamp<std::int64_t>(done, 0, total);
            const bool scaled = total > IntLimit;
            const int maximum = scaled ? 1000 : static_cast<int>(total);
            const int value = scaled ? static_cast<int>(clamped / (total / 1000)) : static_cast<int>(clamped);
            dialog->setRange(0, maximum);
            dialog->setValue(std::min(value, maximum));
        }
    }
    impl_->pump();
}

void BusyWork::keep_alive() {
    if (impl_->dialog && impl_->last_pump.elapsed() >= RepaintIntervalMs) impl_->pump();
}

void BusyWork::set_text(const std::string& text) {
    impl_->text = text;
    if (impl_->dialog) impl_->dialog->setLabelText(QString::fromStdString(text));
}

bool BusyWork::dialog_shown() const {
    return impl_->dialog && impl_->dialog->isVisible();
}

void progress_set_observer(std::function<void(const ProgressNote&)> observer_function) {
    observer() = std::move(observer_function);
}

}  // namespace morvane
