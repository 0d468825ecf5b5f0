// Undo and redo of the edits made to one picture (a numbered 24- or 32-bit image).
//
// A step is recorded around an edit: begin(), save_before() for every rectangle just before
// its pixels change, then commit(). The pixels are saved in tiles the first time a tile is
// touched within the step, so saving on every dab of a stroke costs a lookup. At commit each
// touched tile is compared with the picture and only the rectangle that really changed is
// kept, before and after. Edits that change the picture's size save the whole picture first
// (save_whole_before) and keep both whole pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "app/paint_region.h"
#include "image/color.h"

namespace morvane {

struct Bitmap;

class History {
  public:
    static constexpr std::size_t DefaultLimit = std::size_t{512} << 20;
    /// Side of the square tiles in which pixels are saved during a step.
    static constexpr int TileSize = 64;

    /// `limit_bytes` bounds the pixels kept by the finished steps; the oldest steps are
    /// dropped first to stay within it (a single step larger than the bound is not kept).
    explicit History(std::size_t limit_bytes);
    History() : History(DefaultLimit) {}

    /// Forgets every step (and an open one); the current state becomes the saved point.
    void clear();

    /// Opens a step on `picture` (commits a step still open first).
    void begin(ObjectNumber picture);
    /// Saves the pixels of `rect` (clipped to the picture) that this step has not saved yet.
    /// Call it before those pixels change. Does nothing without an open step.
    void save_before(const Rect& rect);
    /// Saves the whole picture, for edits that may change its size.
    void save_whole_before();
    /// Closes the step. Returns the rectangle that changed (the whole picture when its size
    /// changed); a step that changed no byte is not kept and returns an empty rectangle.
    Rect commit();
    bool recording() const { return open_; }
    /// Records as one step whatever differs between `before`, a copy of the picture taken
    /// before an edit (same size and depth), and `picture` now. Returns the changed rectangle;
    /// empty, keeping nothing, when nothing differs or the two pictures do not match.
    Rect record_difference(ObjectNumber picture, ObjectNumber before);

    /// Gives back the state before the last step (after the next step for redo) and returns
    /// the rectangle that changed, the whole picture when the size changed. Empty when there
    /// is nothing to undo/redo or the picture is not the one the step was recorded on
    /// (missing, other size or depth); the history is then left as it was.
    Rect undo(ObjectNumber picture);
    Rect redo(ObjectNumber picture);
    bool can_undo() const { return position_ > 0; }
    bool can_redo() const { return position_ < steps_.size(); }
    /// Whether the step undo (redo) would apply changes the picture's size.
    bool undo_resizes() const { return can_undo() && steps_[position_ - 1].whole; }
    bool redo_resizes() const { return can_redo() && steps_[position_].whole; }

    /// Marks the current state as the one in the file.
    void mark_saved();
    /// True when undo/redo has brought the picture back to the state marked saved. A saved
    /// state whose steps were dropped (redo branch replaced, bound reached) is never
    /// reached again.
    bool at_saved_point() const;

    /// Bytes held by the finished steps (pixels and per-rectangle bookkeeping).
    std::size_t bytes() const { return bytes_; }
    std::size_t steps() const { return steps_.size(); }

  private:
    // Pixels of a rectangle of the picture, rows packed (width * bytes per pixel each).
    struct Patch {
        std::int32_t x = 0, y = 0, width = 0, height = 0;
        std::vector<std::uint8_t> before, after;
    };
    // A whole picture, for steps that change the size.
    struct Snapshot {
        std::int32_t width = 0, height = 0, bpp = 0;
        std::uint8_t source_depth = 0;
        std::uint32_t format_tag = 0;
        std::vector<std::uint8_t> pixels;
    };
    struct Step {
        std::int32_t width = 0, height = 0, bpp = 0;  // picture after the step (tile steps)
        std::vector<Patch> patches;
        bool whole = false;
        Snapshot before, after;
        Rect changed;
        std::size_t bytes = 0;
    };
    // A tile saved during the open step.
    struct PendingTile {
        std::int32_t x = 0, y = 0, width = 0, height = 0;
        std::vector<std::uint8_t> before;
    };

    static bool snapshot(ObjectNumber picture, Snapshot& out);
    static bool restore(ObjectNumber picture, const Snapshot& from);
    // Adds to `step` the part of tile (x, y, w, h) of `now` whose bytes differ from the tile
    // before: its row r starts at before + r * before_stride.
    static void add_changed(Step& step, const Bitmap& now, int x, int y, int w, int h,
                            const std::uint8_t* before, std::ptrdiff_t before_stride);
    Rect push_if_changed(Step&& step);
    bool tile_step_from_pending(Step& step);
    bool whole_step_from_snapshot(Step& step);
    Rect apply(ObjectNumber picture, const Step& step, bool forward);
    void push(Step&& step);
    void reset_pending();

    std::size_t limit_;
    std::deque<Step> steps_;
    std::size_t position_ = 0;  // steps applied to the picture
    std::size_t bytes_ = 0;
    // Saved point as a count of steps applied; unreachable when negative.
    std::int64_t saved_ = 0;

    // The open step.
    bool open_ = false;
    ObjectNumber picture_ = 0;
    std::int32_t width_ = 0, height_ = 0, bpp_ = 0, tiles_x_ = 0;
    std::vector<std::int32_t> slot_;  // tile index -> index in pending_ + 1, 0 when not saved
    std::vector<PendingTile> pending_;
    bool whole_saved_ = false;
    Snapshot whole_before_;
};

}  // namespace morvane
