// Start and end of the desktop shell.
#pragma once

namespace morvane {

/// Prepares the windowing layer: creates the Qt application object when none exists yet
/// (tests create their own) and installs the shell's keyboard handling. Returns non-zero
/// on success; safe to call more than once.
int shell_init();
/// Closes every window, menu and status bar, empties the event queue and, when
/// shell_init created the application object, destroys it.
void shell_shutdown();

}  // namespace morvane
