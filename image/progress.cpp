// The one process-wide receiver of progress reports.
#include "image/progress.h"

namespace morvane {
namespace {

ProgressReceiver g_receiver;

}  // namespace

ProgressReceiver progress_receiver_set(ProgressReceiver receiver) {
    const ProgressReceiver previous = g_receiver;
    g_receiver = receiver;
    return previous;
}

void progress_report(std::int64_t done, std::int64_t total) {
    if (g_receiver.hook) g_receiver.hook(g_receiver.context, done, total);
}

}  // namespace morvane
