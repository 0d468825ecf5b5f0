// The standard dialogs over Qt's message box, file and colour dialogs, and the seam that
// lets tests answer them.
#include "widgets/dialogs.h"

#include <algorithm>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace morvane {
namespace {

struct DialogState {
    std::function<DialogReply(const DialogRequest&)> responder;
    int last_pattern = 0;  // 1-based as a chooser reports it; 0 after a cancel
};

DialogState& dialogs() {
    static DialogState s;
    return s;
}

// The owner is the active window of this program, when there is one; the dialog is modal
// to the whole application, so every other window is blocked while it is open.
QWidget* dialog_owner() {
    return QApplication::activeWindow();
}

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

int show_message_box(const std::string& title, const std::string& text, int flags) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (flags & 0xF0) {
        case 16:
            icon = QMessageBox::Critical;
            break;
        case 32:
            icon = QMessageBox::Question;
            break;
        case 48:
            icon = QMessageBox::Warning;
            break;
        case 64:
            icon = QMessageBox::Information;
            break;
        default:
            break;
    }
    using B = QMessageBox::StandardButton;
    QList<B> buttons;
    switch (flags & 0xF) {
        case 1:
            buttons = {B::Ok, B::Cancel};
            break;
        case 2:
            buttons = {B::Abort, B::Retry, B::Ignore};
            break;
        case 3:
            buttons = {B::Yes, B::No, B::Cancel};
            break;
        case 4:
            buttons = {B::Yes, B::No};
            break;
        case 5:
            buttons = {B::Retry, B::Cancel};
            break;
        default:
            buttons = {B::Ok};
            break;
    }
    QMessageBox box(icon, qt(title), qt(text), QMessageBox::NoButton, dialog_owner());
    for (B b : buttons) box.addButton(b);
    // The button Enter presses; one past the last falls back to the last.
    const qsizetype default_index = std::min<qsizetype>((flags >> 8) & 3, buttons.size() - 1);
    box.setDefaultButton(buttons[default_index]);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case B::Ok:
            return 1;
        case B::Cancel:
            return 2;
        case B::Abort:
            return 3;
        case B::Retry:
            return 4;
        case B::Ignore:
            return 5;
        case B::Yes:
            return 6;
        case B::No:
            return 7;
        default:
            // Closed without a button: the answer that dismissing gives.
            if (buttons.contains(B::Cancel)) return 2;
            return buttons.contains(B::No) ? 7 : 1;
    }
}

struct FileAnswer {
    std::string path;
    int pattern = 0;  // 1-based
};

FileAnswer show_file_dialog(bool save, const std::string& title, const std::string& default_file,
                            const std::string& pattern, int pattern_index) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return {};
    const FileDialogStart start = file_dialog_start(default_file);
    const std::vector<std::string> filters = pattern_filters(parse_pattern_string(pattern));
    QFileDialog dialog(dialog_owner(), qt(title), qt(start.folder));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The caller asks about overwriting itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QStringList names;
    for (const std::string& f : filters) names << qt(f);
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
        if (pattern_index >= 0 && pattern_index < names.size()) dialog.selectNameFilter(names[pattern_index]);
    }
    if (!start.name.empty()) dialog.selectFile(qt(start.name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    FileAnswer answer;
    answer.path = dialog.selectedFiles().front().toStdString();
    const int chosen = static_cast<int>(names.indexOf(dialog.selectedNameFilter()));
    answer.pattern = names.isEmpty() ? pattern_index + 1 : (chosen < 0 ? 1 : chosen + 1);
    return answer;
}

std::string file_dialog(bool save, const std::string& title, const std::string& default_file,
                        const std::string& pattern, int pattern_index) {
    DialogState& s = dialogs();
    s.last_pattern = 0;
    FileAnswer answer;
    if (s.responder) {
        DialogRequest request{};
        request.kind = save ? DialogKind::SaveFile : DialogKind::OpenFile;
        request.title = title;
        request.default_file = default_file;
        request.pattern = pattern;
        request.pattern_index = pattern_index;
        const DialogReply reply = s.responder(request);
        answer.path = reply.path;
        answer.pattern = reply.pattern + 1;
    } else {
        answer = show_file_dialog(save, title, default_file, pattern, pattern_index);
    }
    if (answer.path.empty()) return {};
    s.last_pattern = answer.pattern;
    return answer.path;
}

}  // namespace

void dialog_set_responder(std::function<DialogReply(const DialogRequest&)> responder) {
    dialogs().responder = std::move(responder);
}

int message_box(const std::string& title, const std::string& text, int flags) {
    if (dialogs().responder) {
        DialogRequest request{};
        request.kind = DialogKind::Message;
        request.title = title;
        request.text = text;
        request.flags = flags;
        return static_cast<int>(dialogs().responder(request).result);
    }
    return show_message_box(title, text, flags);
}

int unsaved_changes_box(const std::string& title, const std::string& text) {
    std::int64_t answer = CancelChanges;
    if (dialogs().responder) {
        DialogRequest request{};
        request.kind = DialogKind::UnsavedChanges;
        request.title = title;
        request.text = text;
        answer = dialogs().responder(request).result;
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        using B = QMessageBox::StandardButton;
        QMessageBox box(QMessageBox::Warning, qt(title), qt(text), QMessageBox::NoButton, dialog_owner());
        box.addButton(B::Save);
        box.addButton(B::Discard);
        box.addButton(B::Cancel);
        box.setDefaultButton(B::Save);
        box.setEscapeButton(B::Cancel);
        box.exec();
        const B clicked = box.standardButton(box.clickedButton());
        answer = clicked == B::Save ? SaveChanges : clicked == B::Discard ? DiscardChanges : CancelChanges;
    }
    return answer == SaveChanges || answer == DiscardChanges ? static_cast<int>(answer) : CancelChanges;
}

int continue_box(const std::string& title, const std::string& text) {
    std::int64_t answer = CancelAction;
    if (dialogs().responder) {
        DialogRequest request{};
        request.kind = DialogKind::ContinueOrCancel;
        request.title = title;
        request.text = text;
        answer = dialogs().responder(request).result;
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Warning, qt(title), qt(text), QMessageBox::NoButton, dialog_owner());
        QPushButton* go_on = box.addButton(QObject::tr("Continue"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        answer = box.clickedButton() == go_on ? ContinueAction : CancelAction;
    }
    return answer == ContinueAction ? ContinueAction : CancelAction;
}

int choice_box(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) {
    const int last = static_cast<int>(buttons.size()) - 1;
    if (last < 0) return 0;
    std::int64_t answer = last;
    if (dialogs().responder) {
        DialogRequest request{};
        request.kind = DialogKind::Choice;
        request.title = title;
        request.text = text;
        request.buttons = buttons;
        answer = dialogs().responder(request).result;
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Question, qt(title), qt(text), QMessageBox::NoButton, dialog_owner());
        std::vector<QPushButton*> pushed;
        for (int i = 0; i <= last; ++i)
            pushed.push_back(box.addButton(qt(buttons[static_cast<std::size_t>(i)]),
                                           i == 0      ? QMessageBox::AcceptRole
                                           : i == last ? QMessageBox::RejectRole
                                                       : QMessageBox::ActionRole));
        box.setDefaultButton(pushed.front());
        box.setEscapeButton(pushed.back());
        box.exec();
        const auto found = std::find(pushed.begin(), pushed.end(), box.clickedButton());
        answer = found == pushed.end() ? last : found - pushed.begin();
    }
    return answer >= 0 && answer <= last ? static_cast<int>(answer) : last;
}

std::string open_file_dialog(const std::string& title, const std::string& default_file,
                             const std::string& pattern, int pattern_index) {
    return file_dialog(false, title, default_file, pattern, pattern_index);
}

std::string save_file_dialog(const std::string& title, const std::string& default_file,
                             const std::string& pattern, int pattern_index) {
    return file_dialog(true, title, default_file, pattern, pattern_index);
}

int file_dialog_pattern() {
    return dialogs().last_pattern - 1;
}

std::int64_t color_dialog(std::int64_t initial) {
    const std::int64_t start = initial == -1 ? 0 : initial;
    const QColor initial_colour(static_cast<int>(start & 255), static_cast<int>((start >> 8) & 255),
                                static_cast<int>((start >> 16) & 255));
    // One table of custom colours for the whole run; its first entry shows the initial colour.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QColorDialog::setCustomColor(0, initial_colour);
    if (dialogs().responder) {
        DialogRequest request{};
        request.kind = DialogKind::Color;
        request.color = initial;
        return dialogs().responder(request).result;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return -1;
    QColorDialog dialog(initial_colour, dialog_owner());
    if (dialog.exec() != QDialog::Accepted) return -1;
    const QColor c = dialog.selectedColor();
    if (!c.isValid()) return -1;
    return c.red() | c.green() << 8 | c.blue() << 16;
}

}  // namespace morvane
