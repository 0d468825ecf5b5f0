// The standard dialogs: message box, open and save file choosers, colour chooser.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace morvane {

/// Shows a modal message box and returns the pressed button: 1 OK, 2 Cancel, 6 Yes, 7 No.
/// flags: buttons in the low four bits (0 OK, 1 OK/Cancel, 4 Yes/No, 3 Yes/No/Cancel),
/// icon in bits 4-7 (16 error, 32 question, 48 exclamation, 64 information), default button
/// in bits 8-9 (0 the first, MessageDefaultSecond, MessageDefaultThird).
inline constexpr int MessageDefaultSecond = 0x100;
inline constexpr int MessageDefaultThird = 0x200;
int message_box(const std::string& title, const std::string& text, int flags = 0);
/// Modal file choosers. `pattern` pairs display names and patterns separated by "|"
/// ("PNG Images|*.png|All Files|*.*"); `pattern_index` is 0-based. Return the chosen path,
/// or "" when cancelled.
std::string open_file_dialog(const std::string& title, const std::string& default_file,
                             const std::string& pattern, int pattern_index);
std::string save_file_dialog(const std::string& title, const std::string& default_file,
                             const std::string& pattern, int pattern_index);
/// The 0-based pattern in use when the last file dialog closed; -1 after a cancel.
int file_dialog_pattern();
/// Modal colour chooser; returns red | green << 8 | blue << 16, or -1 when cancelled.
/// The first of the 16 custom colours takes the initial colour (-1 counts as black).
std::int64_t color_dialog(std::int64_t initial);

/// The answers of unsaved_changes_box.
enum UnsavedAnswer : int { SaveChanges = 1, CancelChanges = 2, DiscardChanges = 7 };
/// Modal question about unsaved work with the buttons Save, Discard and Cancel (Save is the
/// default; closing the box answers Cancel). Returns one of UnsavedAnswer.
int unsaved_changes_box(const std::string& title, const std::string& text);

/// The answers of continue_box.
enum ContinueAnswer : int { CancelAction = 2, ContinueAction = 11 };
/// Modal question before an action that cannot be taken back, with the buttons Continue and
/// Cancel (Cancel is the default; closing the box answers Cancel). Returns a ContinueAnswer.
int continue_box(const std::string& title, const std::string& text);

/// Modal question with two or three buttons captioned `buttons`, in order (the first is the
/// default; Escape or closing the box answers the last, which should be the one that does
/// nothing). Returns the 0-based index of the chosen button.
int choice_box(const std::string& title, const std::string& text, const std::vector<std::string>& buttons);

enum class DialogKind { Message, OpenFile, SaveFile, Color, UnsavedChanges, ContinueOrCancel, Choice };
struct DialogRequest {
    DialogKind kind;
    std::string title;
    std::string text;
    int flags = 0;
    std::string default_file;
    std::string pattern;
    int pattern_index = 0;
    std::int64_t color = 0;
    std::vector<std::string> buttons;  // Choice: the buttons' captions
};
struct DialogReply {
    std::int64_t result = 0;
    std::string path;
    int pattern = 0;
};
// Tests install a responder that answers every standard dialog instead of a person; an empty
// function restores the real dialogs. For Message: result = button id. For file dialogs: path
// ("" = cancel) and pattern (0-based). For Color: result = colour or -1. For UnsavedChanges:
// result = an UnsavedAnswer (anything else counts as Cancel). For ContinueOrCancel: result = a
// ContinueAnswer (anything else counts as Cancel). For Choice: result = the button's index
// (anything else counts as the last button).
void dialog_set_responder(std::function<DialogReply(const DialogRequest&)> responder);

/// Where a file dialog starts: the default file split at its last "/" or "\" into the
/// folder and the proposed name. A name that a file name cannot hold (control codes,
/// " * / : < > ? \ |) or an empty one gives an empty name; a name is kept to 259 characters.
struct FileDialogStart {
    std::string folder;
    std::string name;
};
FileDialogStart file_dialog_start(const std::string& default_file);

/// One entry of a pattern string: display name and its patterns ("*.png;*.bmp").
struct FilePattern {
    std::string name;
    std::string patterns;
};
/// Splits a pattern string into its pairs; a trailing name without patterns is dropped.
std::vector<FilePattern> parse_pattern_string(const std::string& pattern);
/// The pairs as file-dialog filters: "PNG Images (*.png)", patterns separated by spaces.
std::vector<std::string> pattern_filters(const std::vector<FilePattern>& patterns);

}  // namespace morvane
