// Undo and redo of the edits made to one picture (the record of a 24- or 32-bit image).
//
// A step is recorded around an edit: begin(), save_before() for every rectangle just before
// its pixels change, then commit(). The pixels are saved in tiles the first time a tile is
// touched within the step (a tile of one colour as that colour), so saving on every dab of a
// stroke costs a lookup. At commit each touched tile is compared with the picture and only
// the rectangle that really changed is kept, before and after, packed: one value when
// uniform, LZ4-compressed otherwise. Edits that change the picture's size save the whole
// picture first (save_whole_before) and keep both whole pictures, packed tile by tile.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "app/document/history_pack.h"
#include "app/document/paint_region.h"
#include "image/color.h"
#include "image/transform.h"

namespace morvane {

struct Bitmap;
struct Image;

class History {
  public:
    static constexpr std::size_t DefaultLimit = std::size_t{512} << 20;
    /// The newest steps are kept as they are up to this many bytes, so that undo and redo of
    /// recent work copy at memory speed; older steps are compressed.
    static constexpr std::size_t DefaultRawLimit = std::size_t{32} << 20;
    /// Side of the square tiles in which pixels are saved during a step.
    static constexpr int TileSize = 64;

    /// `limit_bytes` bounds the bytes kept by the finished steps as stored (compressed for
    /// all but the newest `raw_limit_bytes`); when they do not fit, every step is compressed,
    /// then the oldest steps are dropped one by one to make room for a new step that fits. A
    /// step larger than the bound on its own is held back for the caller to decide
    /// (too_large()).
    explicit History(std::size_t limit_bytes, std::size_t raw_limit_bytes = DefaultRawLimit);
    History() : History(DefaultLimit) {}

    /// Forgets every step (and an open or held one); the current state becomes the saved point.
    void clear();

    /// Opens a step on `picture` (commits a step still open first). The step keeps the record
    /// until it is committed: a record lives as long as its image number, and an edit that
    /// changes the picture's size gives the same record new storage.
    void begin(Image& picture);
    /// Saves the pixels of `rect` (clipped to the picture) that this step has not saved yet.
    /// Call it before those pixels change. Does nothing without an open step.
    void save_before(const Rect& rect);
    /// Saves, like save_before, only the tiles of `rect` that hold a pixel of `value` (its
    /// stored bytes): all a fill of the region of that exact value can change.
    void save_before_holding(const Rect& rect, std::uint32_t value);
    /// Saves the whole picture, for edits that may change its size.
    void save_whole_before();
    /// Says that the pixels of `rect` are final for this step: nothing in it changes again
    /// unless it is saved again first. The saved tiles lying wholly inside it are compared
    /// and packed now, while their pixels are still in the processor's cache, instead of at
    /// commit. Does nothing without an open step.
    void pack_finished(const Rect& rect);
    /// Closes the step. Returns the rectangle that changed (the whole picture when its size
    /// changed); a step that changed no byte is not kept and returns an empty rectangle.
    /// A step too large for the bound (or for the memory left) is not kept: it is held, with
    /// the pixels from before it, and too_large() is true until revert_too_large() or
    /// keep_without_step() settles it.
    Rect commit();
    bool recording() const { return open_; }
    /// Records as one step whatever differs between `before`, a copy of the picture taken
    /// before an edit (same size and depth), and `picture` now. Returns the changed rectangle;
    /// empty, keeping nothing, when nothing differs or the two pictures do not match. A
    /// difference too large for the bound is not kept and the older steps are dropped.
    Rect record_difference(const Image& picture, const Image& before);
    /// Records as one step a mirror or turn of the whole picture that has just been made
    /// (picture_turn): the step keeps no pixels, undo applies the inverse turn and redo the
    /// turn again. Returns the picture's rectangle; empty, keeping nothing, when there is no
    /// picture the history can record.
    Rect record_turn(Image& picture, Turn turn);

    /// The last commit closed a step too large to keep, still held.
    bool too_large() const { return held_; }
    /// Gives the picture back as it was before the held step and forgets that step; the
    /// history is left as it was. Returns the rectangle written back (the whole picture when
    /// its size comes back); empty when nothing is held or the picture is not the one the
    /// step left.
    Rect revert_too_large();
    /// Keeps the held step's change without a way back: the older steps cannot apply to the
    /// picture any more and are dropped as well, and the saved state cannot be reached again.
    /// A held step still unsettled at the next begin, undo, redo or record counts as kept.
    void keep_without_step();

    /// Gives back the state before the last step (after the next step for redo) and returns
    /// the rectangle that changed, the whole picture when the size changed. Empty when there
    /// is nothing to undo/redo or the picture is not the one the step was recorded on
    /// (missing, other size or depth); the history is then left as it was.
    Rect undo(Image& picture);
    Rect redo(Image& picture);
    bool can_undo() const { return position_ > 0; }
    bool can_redo() const { return position_ < steps_.size(); }
    /// Whether the step undo (redo) would apply changes the picture's size.
    bool undo_resizes() const { return can_undo() && resizes(steps_[position_ - 1]); }
    bool redo_resizes() const { return can_redo() && resizes(steps_[position_]); }

    /// Marks the current state as the one in the file.
    void mark_saved();
    /// True when undo/redo has brought the picture back to the state marked saved. A saved
    /// state whose steps were dropped (redo branch replaced, bound reached) is never
    /// reached again.
    bool at_saved_point() const;

    /// Bytes held by the finished steps: packed pixels and per-rectangle bookkeeping.
    std::size_t bytes() const { return bytes_; }
    std::size_t steps() const { return steps_.size(); }
    std::size_t limit() const { return limit_; }

  private:
    // Pixels of a rectangle of the picture before and after the step.
    struct Patch {
        std::int32_t x = 0, y = 0, width = 0, height = 0;
        PackedPixels before, after;
    };
    // A whole picture, for steps that change the size: its tiles row by row.
    struct Snapshot {
        std::int32_t width = 0, height = 0, bpp = 0;
        std::uint8_t source_depth = 0;
        std::uint32_t format_tag = 0;
        std::vector<PackedPixels> tiles;
    };
    struct Step {
        std::int32_t width = 0, height = 0, bpp = 0;  // picture after the step (tile steps)
        std::vector<Patch> patches;
        bool whole = false;
        Snapshot before, after;
        Rect changed;
        std::size_t bytes = 0;
        bool compressed = false;
        bool turned = false;  // a turn of the whole picture, no pixels kept
        Turn turn = Turn::FlipHorizontal;
    };
    // A tile saved during the open step: one value, or its rows packed tight.
    struct PendingTile {
        std::int32_t x = 0, y = 0, width = 0, height = 0;
        bool uniform = false;
        std::uint32_t value = 0;
        std::uint8_t* before = nullptr;  // rows packed tight, in the tile pool
        // Compared and packed ahead of commit (pack_finished): its patch in building_, or -1
        // when it did not change. Its rows may then be given back to the pool (before null):
        // the patch's before with the picture around it is the tile as it was.
        bool packed = false;
        std::int32_t patch = -1;
    };

    bool same_picture(const Bitmap* bitmap) const;
    void save_tiles(const Rect& rect, const std::uint32_t* holding);
    bool snapshot(const Image& picture, Snapshot& out);
    bool restore(Image& picture, const Snapshot& from);
    // Adds to `step` the part of tile (x, y, w, h) of `now` whose bytes differ from the tile
    // before: its row r starts at before + r * before_stride (a stride of 0 repeats one row).
    // `uniform_before` says the tile held one value.
    void add_changed(Step& step, const Bitmap& now, int x, int y, int w, int h, const std::uint8_t* before,
                     std::ptrdiff_t before_stride, bool uniform_before);
    void add_changed(Step& step, const Bitmap& now, const PendingTile& tile);
    bool tile_step_from_pending(Step& step);
    bool whole_step_from_pending(Step& step);
    Rect apply(Image& picture, const Step& step, bool forward);
    Rect apply_turn(Image& picture, const Step& step, bool forward);
    static bool resizes(const Step& step) { return step.whole || (step.turned && turn_swaps_sides(step.turn)); }
    // Bytes a step holds: its records and packed pixels.
    static std::size_t step_bytes(const Step& step);
    void compress_step(Step& step);
    // Keeps a finished step (at most the bound) and compresses or drops older ones to stay
    // within the bounds.
    void push(Step&& step);
    // A finished step is kept when it fits, compressed if need be; false when it does not.
    bool keep(Step&& step);
    void drop_all_steps();
    void settle();
    void reset_pending();
    // Makes a tile packed ahead of commit an ordinary saved tile again (its rows from before
    // brought back), before its pixels change once more; its patch is dropped.
    void unpack_pending(PendingTile& tile, const Bitmap& now);
    // Removes the patches dropped from building_ and renumbers the tiles' patches.
    void drop_unpacked_patches();
    // Room for one saved tile's rows. The pool's chunks stay allocated from one step to the
    // next (up to one picture's worth), so that saving does not fault fresh pages each time.
    std::uint8_t* tile_buffer(std::size_t bytes);
    // Whether the patches being packed go compressed: the step already holds more than it
    // may keep as it is, so keep() would compress it anyway, or tiles packed ahead promise
    // that much (commit then stores them as packing at commit would have: settle_ahead).
    bool compress_while_packing() const {
        return ahead_compress_ || building_bytes_ > std::min(raw_limit_, limit_);
    }
    // Bytes of `patch` with its pixels as they are, the way a step below the raw allowance
    // is kept.
    std::size_t raw_patch_bytes(const Patch& patch) const;
    // Makes a step whose tiles were compressed ahead what packing at commit would have made:
    // all compressed when it holds more than the raw allowance, all as they are otherwise.
    void settle_ahead(Step& step);

    std::size_t limit_, raw_limit_;
    std::deque<Step> steps_;
    std::size_t position_ = 0;  // steps applied to the picture
    std::size_t bytes_ = 0;
    // Saved point as a count of steps applied; unreachable when negative.
    std::int64_t saved_ = 0;
    PackScratch scratch_;

    // The open step, or the held one (its pending tiles are the pixels from before it).
    bool open_ = false;
    bool held_ = false;
    Image* picture_ = nullptr;
    std::int32_t width_ = 0, height_ = 0, bpp_ = 0, tiles_x_ = 0;
    std::vector<std::int32_t> slot_;  // tile index -> index in pending_ + 1, 0 when not saved
    std::vector<PendingTile> pending_;
    std::vector<std::unique_ptr<std::uint8_t[]>> pool_;
    std::size_t pool_chunk_ = 0, pool_used_ = 0;  // chunk being filled, bytes used in it
    std::size_t building_bytes_ = 0;               // bytes of the step being packed so far
    Step building_;  // patches of the open (or held) step packed ahead of commit
    std::size_t ahead_raw_ = 0;    // their bytes counted as they are
    bool ahead_compress_ = false;  // and whether the step is expected over the raw allowance
    bool whole_saved_ = false;
    std::uint8_t whole_source_depth_ = 0;
    std::uint32_t whole_format_tag_ = 0;
};

/// Mirrors or turns the picture of record `picture` (24 or 32 bits) in place: its storage holds the
/// turned pixels and its record the new size. False, the picture unchanged, when it is
/// missing, of another depth, too large once turned, or memory runs out.
bool picture_turn(Image& picture, Turn turn);

}  // namespace morvane
