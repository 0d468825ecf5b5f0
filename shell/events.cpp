// The process-wide event queue and event_wait over Qt's event dispatching.
#include "shell/events.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <deque>

namespace morvane {
namespace {

struct EventQueue {
    std::deque<Event> pending;
    Event current;
    int suspended = 0;
};

EventQueue& queue() {
    static EventQueue q;
    return q;
}

void release_data(Event& e) {
    if (e.release && e.data) e.release(e.data);
    e.data = 0;
    e.release = nullptr;
}

bool matches(std::int64_t pattern, std::int64_t value) {
    return pattern == -1 || pattern == value;
}

// Moves the head of the queue into the current event and returns its kind.
std::int64_t take_head() {
    EventQueue& q = queue();
    release_data(q.current);
    q.current = q.pending.front();
    q.pending.pop_front();
    return q.current.kind;
}

}  // namespace

void event_post(std::uint32_t kind, std::int64_t source, std::int64_t window, std::int64_t subtype,
                std::uint32_t flags) {
    event_post_data(kind, source, window, subtype, 0, nullptr, flags);
}

void event_post_data(std::uint32_t kind, std::int64_t source, std::int64_t window, std::int64_t subtype,
                     std::intptr_t data, void (*release)(std::intptr_t data), std::uint32_t flags) {
    EventQueue& q = queue();
    Event e;
    e.data = data;
    e.release = release;
    if (q.suspended > 0 && !(flags & PostWhileSuspended)) return release_data(e);
    if (!q.pending.empty() && kind <= 0xFFFF && !(flags & PostRepeated)) {
        const Event& tail = q.pending.back();
        if (tail.kind == kind && tail.source == source && tail.window == window && tail.subtype == subtype)
            return release_data(e);
    }
    e.kind = kind;
    e.flags = flags;
    e.source = source;
    e.window = window;
    e.subtype = subtype;
    q.pending.push_back(e);
}

void event_discard(std::int64_t kind, std::int64_t source, std::int64_t window, std::int64_t subtype) {
    auto& pending = queue().pending;
    for (auto it = pending.begin(); it != pending.end();) {
        if (matches(kind, it->kind) && matches(source, it->source) && matches(window, it->window) &&
            matches(subtype, it->subtype)) {
            release_data(*it);
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
}

void event_posting_suspend(int delta) {
    EventQueue& q = queue();
    q.suspended += delta;
    if (q.suspended < 0) q.suspended = 0;
}

int event_queue_size() {
    return static_cast<int>(queue().pending.size());
}

std::int64_t event_window() {
    return queue().current.window;
}
std::int64_t event_source() {
    return queue().current.source;
}
std::int64_t event_subtype() {
    return queue().current.subtype;
}
std::intptr_t event_data() {
    return queue().current.data;
}

namespace {
void release_path(std::intptr_t data) {
    delete reinterpret_cast<std::string*>(data);
}
}  // namespace

void event_post_dropped_file(std::int64_t window, const std::string& path) {
    auto* copy = new std::string(path);
    // Two drops of files in a row are two requests, not a repeated input.
    event_post_data(DropFilesEvent, 0, window, 0, reinterpret_cast<std::intptr_t>(copy), release_path,
                    PostRepeated);
}

std::string event_dropped_file() {
    const Event& current = queue().current;
    if (current.kind != DropFilesEvent || !current.data || current.release != release_path) return {};
    return *reinterpret_cast<const std::string*>(current.data);
}

std::int64_t event_wait(int timeout_ms) {
    EventQueue& q = queue();
    if (!q.pending.empty()) return take_head();
    if (!QCoreApplication::instance()) return 0;

    // Objects released with deleteLater are only freed by an event loop; there is none
    // besides this one, so flush them here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (timeout_ms == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        // A single-shot timer bounds the wait; any input wakes the dispatcher earlier.
        QTimer limit;
        limit.setSingleShot(true);
        if (timeout_ms > 0) limit.start(timeout_ms);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (q.pending.empty() && (timeout_ms < 0 || limit.isActive()))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // Events produced by the dispatched input are handed out at once rather than on the
    // next call: the caller sees the same sequence one call earlier.
    if (!q.pending.empty()) return take_head();
    return 0;
}

void event_queue_clear() {
    EventQueue& q = queue();
    event_discard(-1, -1, -1, -1);
    release_data(q.current);
    q.current = Event{};
    q.suspended = 0;
}

}  // namespace morvane
