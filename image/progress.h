// Progress of long work (decoding a picture, cutting a tile set) for whoever shows it.
#pragma once

#include <cstdint>

namespace morvane {

/// Receives `done` of `total` units of the work that runs now.
struct ProgressReceiver {
    void (*hook)(void* context, std::int64_t done, std::int64_t total) = nullptr;
    void* context = nullptr;
};

/// Installs the receiver of progress_report (an empty one sends reports nowhere) and
/// returns the one it replaces, so that a caller can put it back.
ProgressReceiver progress_receiver_set(ProgressReceiver receiver);

/// Reports progress of the running work; cheap when nobody listens. Decoders call it once a
/// row, the tile cutter once a row of tiles.
void progress_report(std::int64_t done, std::int64_t total);

}  // namespace morvane
