// The keys of a dialog window: Enter presses its default button, Escape its cancel button.
#pragma once

#include "image/color.h"

namespace morvane {

/// Arms the keys of dialog window `window`. Enter (Return or the keypad's Enter) presses the
/// push button that holds the keyboard focus, otherwise `default_button`, which is drawn as
/// the default. Escape presses `cancel_button`; when that is -1 or names no button of this
/// window (any more), Escape asks to close the window as its close box does. A disabled
/// button is not pressed. An open drop-down list takes the keys first. Calling again replaces
/// the buttons. Returns non-zero when the window is open.
int dialog_keys_set(ObjectNumber window, ObjectNumber default_button, ObjectNumber cancel_button);

}  // namespace morvane
