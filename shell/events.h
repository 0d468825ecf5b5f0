// The one event queue through which every user action reaches the editor.
#pragma once

#include <cstdint>
#include <string>

#include "image/color.h"

namespace morvane {

enum EventKind : std::uint32_t {
    WidgetEvent = 13100,
    MenuEvent = 13101,
    TrayEvent = 13102,
    ActivateWindowEvent = 13104,
    MinimizeWindowEvent = 13107,
    MaximizeWindowEvent = 13108,
    RestoreWindowEvent = 13109,
    TimerEvent = 13110,
    RightClickWindowEvent = 13111,
    LeftClickWindowEvent = 13112,
    LeftDoubleClickWindowEvent = 13113,
    DeactivateWindowEvent = 13114,
    RepaintWindowEvent = 13115,
    CloseWindowEvent = 13116,
    MoveWindowEvent = 13117,
    SizeWindowEvent = 13118,
    /// Files were dropped on a window that accepts drops (window_accept_drops): source 0,
    /// subtype 0; event_dropped_file gives the first dropped file.
    DropFilesEvent = 13119,
};

/// Flags of event_post: queue even while posting is suspended / append even when the
/// event repeats the tail entry.
enum EventPostFlags : std::uint32_t { PostWhileSuspended = 1, PostRepeated = 2 };

struct Event {
    std::uint32_t kind = 0;
    std::uint32_t flags = 0;
    std::int64_t source = 0;
    std::int64_t window = 0;
    std::int64_t subtype = 0;
    std::intptr_t data = 0;
    void (*release)(std::intptr_t data) = nullptr;
};

/// Waits for the next event: -1 without limit, 0 only looks, n > 0 at most about n ms.
/// Returns the kind of the event taken from the queue, 0 when nothing came, or another
/// (non-event) value after a platform message was handled.
std::int64_t event_wait(int timeout_ms);
std::int64_t event_window();
std::int64_t event_source();
std::int64_t event_subtype();

/// Appends an event under the posting rules (suspension, tail de-duplication).
void event_post(std::uint32_t kind, std::int64_t source, std::int64_t window, std::int64_t subtype,
                std::uint32_t flags = 0);
/// As event_post, for an event carrying a data record: `release` frees it when the event is
/// freed (at once when the event is not queued).
void event_post_data(std::uint32_t kind, std::int64_t source, std::int64_t window, std::int64_t subtype,
                     std::intptr_t data, void (*release)(std::intptr_t data), std::uint32_t flags = 0);
/// The data record of the current event, 0 when it carries none.
std::intptr_t event_data();
/// The local file (UTF-8 path) dropped with the current event; "" unless the current event
/// is a DropFilesEvent.
std::string event_dropped_file();
/// Queues a DropFilesEvent for `path` on a window, as a drop of that file does.
void event_post_dropped_file(std::int64_t window, const std::string& path);
/// Removes every queued event matching all fields; -1 in a field matches any value.
void event_discard(std::int64_t kind, std::int64_t source, std::int64_t window, std::int64_t subtype);
/// Raises (+1) or lowers (-1) the posting suspension; while above zero posts are dropped.
void event_posting_suspend(int delta);
/// Number of queued events (for tests and diagnostics).
int event_queue_size();
/// Empties the queue and the current event and resets the suspension (shutdown, tests).
void event_queue_clear();

/// RAII guard for program-made changes that must not come back as events.
class PostingSuspended {
  public:
    PostingSuspended() { event_posting_suspend(+1); }
    ~PostingSuspended() { event_posting_suspend(-1); }
    PostingSuspended(const PostingSuspended&) = delete;
    PostingSuspended& operator=(const PostingSuspended&) = delete;
};

}  // namespace morvane
