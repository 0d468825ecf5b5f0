// The document as the commands see it: its picture, file, unsaved state, undo, redo and saving.
#pragma once

#include <string>

#include "app/editor_state.h"
#include "widgets/widget.h"

namespace morvane {

/// The image that holds the picture the history records and the file receives.
ObjectNumber document_picture(const EditorState& state);
/// A new history for the picture now shown, `file` as its file, nothing unsaved.
void document_start(EditorState& state, const std::string& file);
/// Shows the file and unsaved state in the title and greys Undo/Redo when unavailable.
void document_state_changed(EditorState& state);
/// Closes the undo step of an edit. A step too large for the history asks first whether to
/// go on without undo: Cancel gives the picture back as it was before the edit, Continue
/// keeps the edit and forgets the history. False when the edit was cancelled.
bool document_step_end(EditorState& state);
void document_undo(EditorState& state);
void document_redo(EditorState& state);
/// Saves the picture: to the document's file without a dialog when it has one whose
/// extension names a format and `ask` is false, otherwise through the save dialog. True
/// when the picture was written.
bool document_save(EditorState& state, bool ask);
/// Before the document is closed or replaced: with unsaved changes asks Save, Discard or
/// Cancel. True when the caller may go on (nothing unsaved, saved, or discarded).
bool document_settle(EditorState& state);

}  // namespace morvane
