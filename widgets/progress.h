// Long work made visible: a busy pointer, and a progress dialog once the work has lasted
// half a second, with the windows repainted while it runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "image/progress.h"

namespace morvane {

/// Time long work runs before its progress dialog appears.
inline constexpr int ProgressDialogDelayMs = 500;

/// One piece of long work, from construction to destruction. The pointer turns busy at once;
/// progress reports (progress_report from the image layer, or step()) move the dialog, which
/// shows once the work has lasted ProgressDialogDelayMs, and let pending window painting run.
/// Input is held back until the work ends. Work objects may nest; the inner one reports.
class BusyWork {
  public:
    BusyWork(const std::string& title, const std::string& text);
    ~BusyWork();
    BusyWork(const BusyWork&) = delete;
    BusyWork& operator=(const BusyWork&) = delete;

    /// `done` of `total` units; total 0 shows a moving bar without end.
    void step(std::int64_t done, std::int64_t total);
    /// Lets pending window painting run (and shows the dialog when it is due) between steps
    /// of work that reports no progress of its own.
    void keep_alive();
    /// Changes the text under the title (a new phase of the work).
    void set_text(const std::string& text);
    /// Whether the progress dialog is on screen now.
    bool dialog_shown() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    ProgressReceiver previous_;
};

/// What tests see of long work: its start, each step as reported and its end.
struct ProgressNote {
    enum class Kind { Begin, Step, End } kind = Kind::Begin;
    std::string title;
    std::string text;
    std::int64_t done = 0, total = 0;
};
/// Tests install an observer that sees every note; an empty function removes it.
void progress_set_observer(std::function<void(const ProgressNote&)> observer);

}  // namespace morvane
