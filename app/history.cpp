// Undo history: tiles saved during a step, trimmed to what changed at commit.
#include "app/history.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {
namespace {

// The pixel storage of a picture the history can record, or null.
Bitmap* picture_bitmap(ObjectNumber picture) {
    Bitmap* bitmap = bitmap_from_handle(image_handle(picture));
    if (!bitmap || bitmap->kind != Bitmap::Kind::Pixels || (bitmap->bpp != 24 && bitmap->bpp != 32))
        return nullptr;
    return bitmap;
}

// Copies a rectangle of the bitmap into packed rows, or packed rows into the bitmap.
void read_rect(const Bitmap& b, int x, int y, int w, int h, std::uint8_t* out) {
    const std::size_t px = static_cast<std::size_t>(b.bpp / 8);
    const std::size_t row_bytes = px * static_cast<std::size_t>(w);
    for (int r = 0; r < h; ++r) std::memcpy(out + r * row_bytes, b.row(y + r) + px * x, row_bytes);
}
void write_rect(const Bitmap& b, int x, int y, int w, int h, const std::uint8_t* in) {
    const std::size_t px = static_cast<std::size_t>(b.bpp / 8);
    const std::size_t row_bytes = px * static_cast<std::size_t>(w);
    for (int r = 0; r < h; ++r) std::memcpy(b.row(y + r) + px * x, in + r * row_bytes, row_bytes);
}

}  // namespace

History::History(std::size_t limit_bytes) : limit_(limit_bytes) {}

void History::clear() {
    steps_.clear();
    position_ = 0;
    bytes_ = 0;
    saved_ = 0;
    reset_pending();
}

void History::reset_pending() {
    open_ = false;
    picture_ = 0;
    slot_.clear();
    pending_.clear();
    whole_saved_ = false;
    whole_before_ = Snapshot{};
}

void History::begin(ObjectNumber picture) {
    if (open_) commit();
    const Bitmap* bitmap = picture_bitmap(picture);
    if (!bitmap) return;
    open_ = true;
    picture_ = picture;
    width_ = bitmap->width;
    height_ = bitmap->height;
    bpp_ = bitmap->bpp;
    tiles_x_ = (width_ + TileSize - 1) / TileSize;
    const int tiles_y = (height_ + TileSize - 1) / TileSize;
    slot_.assign(static_cast<std::size_t>(tiles_x_) * static_cast<std::size_t>(tiles_y), 0);
}

void History::save_before(const Rect& rect) {
    if (!open_ || whole_saved_) return;
    const Bitmap* bitmap = picture_bitmap(picture_);
    // The size cannot change under a tile step: such edits save the whole picture first.
    if (!bitmap || bitmap->width != width_ || bitmap->height != height_ || bitmap->bpp != bpp_) return;
    const std::int64_t x0 = std::max<std::int64_t>(rect.x0, 0), y0 = std::max<std::int64_t>(rect.y0, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rect.x1, width_),
                       y1 = std::min<std::int64_t>(rect.y1, height_);
    if (x1 <= x0 || y1 <= y0) return;
    const std::size_t px = static_cast<std::size_t>(bpp_ / 8);
    for (std::int64_t ty = y0 / TileSize; ty <= (y1 - 1) / TileSize; ++ty) {
        for (std::int64_t tx = x0 / TileSize; tx <= (x1 - 1) / TileSize; ++tx) {
            std::int32_t& slot = slot_[static_cast<std::size_t>(ty * tiles_x_ + tx)];
            if (slot) continue;
            PendingTile tile;
            tile.x = static_cast<std::int32_t>(tx * TileSize);
            tile.y = static_cast<std::int32_t>(ty * TileSize);
            tile.width = std::min(TileSize, width_ - tile.x);
            tile.height = std::min(TileSize, height_ - tile.y);
            tile.before.resize(px * static_cast<std::size_t>(tile.width) *
                               static_cast<std::size_t>(tile.height));
            read_rect(*bitmap, tile.x, tile.y, tile.width, tile.height, tile.before.data());
            pending_.push_back(std::move(tile));
            slot = static_cast<std::int32_t>(pending_.size());
        }
    }
}

void History::save_whole_before() {
    if (!open_ || whole_saved_) return;
    // Tiles saved earlier in the step hold the older pixels: put them back into the
    // snapshot so that it shows the picture as it was when the step began.
    if (!snapshot(picture_, whole_before_)) return;
    if (whole_before_.width != width_ || whole_before_.height != height_ || whole_before_.bpp != bpp_) {
        whole_before_ = Snapshot{};
        return;
    }
    const std::size_t px = static_cast<std::size_t>(bpp_ / 8);
    const std::size_t row_bytes = px * static_cast<std::size_t>(width_);
    for (const PendingTile& tile : pending_) {
        const std::size_t tile_row = px * static_cast<std::size_t>(tile.width);
        for (int r = 0; r < tile.height; ++r)
            std::memcpy(whole_before_.pixels.data() + (tile.y + r) * row_bytes + px * tile.x,
                        tile.before.data() + r * tile_row, tile_row);
    }
    pending_.clear();
    whole_saved_ = true;
}

bool History::snapshot(ObjectNumber picture, Snapshot& out) {
    const Bitmap* bitmap = picture_bitmap(picture);
    const Image* record = image_record(picture);
    if (!bitmap || !record) return false;
    out.width = bitmap->width;
    out.height = bitmap->height;
    out.bpp = bitmap->bpp;
    out.source_depth = record->source_depth;
    out.format_tag = record->format_tag;
    out.pixels.resize(static_cast<std::size_t>(out.bpp / 8) * static_cast<std::size_t>(out.width) *
                      static_cast<std::size_t>(out.height));
    read_rect(*bitmap, 0, 0, out.width, out.height, out.pixels.data());
    return true;
}

// Replaces the picture's storage by a new one holding the snapshot; on failure the picture
// is left as it was.
bool History::restore(ObjectNumber picture, const Snapshot& from) {
    Image* record = image_record(picture);
    if (!record) return false;
    Bitmap* bitmap = bitmap_create(from.width, from.height, from.bpp);
    if (!bitmap) return false;
    write_rect(*bitmap, 0, 0, from.width, from.height, from.pixels.data());
    bitmap_destroy(bitmap_from_handle(record->handle));
    record->handle = bitmap_handle(bitmap);
    record->width = static_cast<std::int16_t>(from.width);
    record->height = static_cast<std::int16_t>(from.height);
    record->depth = static_cast<std::uint8_t>(from.bpp);
    record->source_depth = from.source_depth;
    record->format_tag = from.format_tag;
    return true;
}

void History::add_changed(Step& step, const Bitmap& now, int x, int y, int w, int h,
                          const std::uint8_t* before, std::ptrdiff_t before_stride) {
    const int px = now.bpp / 8;
    const std::size_t tile_row = static_cast<std::size_t>(px) * static_cast<std::size_t>(w);
    int min_x = w, max_x = -1, min_y = h, max_y = -1;
    for (int r = 0; r < h; ++r) {
        const std::uint8_t* is = now.row(y + r) + px * x;
        const std::uint8_t* was = before + r * before_stride;
        if (std::memcmp(is, was, tile_row) == 0) continue;
        int first = 0;
        while (std::memcmp(is + first * px, was + first * px, static_cast<std::size_t>(px)) == 0) ++first;
        int last = w - 1;
        while (std::memcmp(is + last * px, was + last * px, static_cast<std::size_t>(px)) == 0) --last;
        min_x = std::min(min_x, first);
        max_x = std::max(max_x, last);
        min_y = std::min(min_y, r);
        max_y = r;
    }
    if (max_y < 0) return;
    Patch patch;
    patch.x = x + min_x;
    patch.y = y + min_y;
    patch.width = max_x - min_x + 1;
    patch.height = max_y - min_y + 1;
    const std::size_t row_bytes = static_cast<std::size_t>(px) * static_cast<std::size_t>(patch.width);
    patch.before.resize(row_bytes * static_cast<std::size_t>(patch.height));
    for (int r = 0; r < patch.height; ++r)
        std::memcpy(patch.before.data() + r * row_bytes, before + (min_y + r) * before_stride + min_x * px,
                    row_bytes);
    patch.after.resize(patch.before.size());
    read_rect(now, patch.x, patch.y, patch.width, patch.height, patch.after.data());
    step.changed = step.changed.united(Rect{patch.x, patch.y, patch.x + patch.width, patch.y + patch.height});
    step.bytes += sizeof(Patch) + patch.before.size() + patch.after.size();
    step.patches.push_back(std::move(patch));
}

// Compares each saved tile with the picture and keeps the rectangle of bytes that differ.
bool History::tile_step_from_pending(Step& step) {
    const Bitmap* bitmap = picture_bitmap(picture_);
    if (!bitmap || bitmap->width != width_ || bitmap->height != height_ || bitmap->bpp != bpp_) return false;
    step.width = width_;
    step.height = height_;
    step.bpp = bpp_;
    const std::ptrdiff_t px = bpp_ / 8;
    for (const PendingTile& tile : pending_)
        add_changed(step, *bitmap, tile.x, tile.y, tile.width, tile.height, tile.before.data(),
                    px * tile.width);
    return !step.patches.empty();
}

Rect History::record_difference(ObjectNumber picture, ObjectNumber before) {
    if (open_) commit();
    const Bitmap* now = picture_bitmap(picture);
    const Bitmap* was = picture_bitmap(before);
    if (!now || !was || now == was || now->width != was->width || now->height != was->height ||
        now->bpp != was->bpp)
        return Rect{};
    Step step;
    step.width = now->width;
    step.height = now->height;
    step.bpp = now->bpp;
    const int px = now->bpp / 8;
    for (int ty = 0; ty < now->height; ty += TileSize)
        for (int tx = 0; tx < now->width; tx += TileSize)
            add_changed(step, *now, tx, ty, std::min(TileSize, now->width - tx),
                        std::min(TileSize, now->height - ty), was->row(ty) + px * tx,
                        -static_cast<std::ptrdiff_t>(was->stride));
    return push_if_changed(std::move(step));
}

// A whole-picture step: kept as changed tiles when the size stayed, as two pictures otherwise.
bool History::whole_step_from_snapshot(Step& step) {
    const Bitmap* bitmap = picture_bitmap(picture_);
    if (!bitmap) return false;
    if (bitmap->width == whole_before_.width && bitmap->height == whole_before_.height &&
        bitmap->bpp == whole_before_.bpp) {
        const Image* record = image_record(picture_);
        if (record->source_depth == whole_before_.source_depth &&
            record->format_tag == whole_before_.format_tag) {
            const std::size_t px = static_cast<std::size_t>(bpp_ / 8);
            const std::size_t row_bytes = px * static_cast<std::size_t>(width_);
            for (int ty = 0; ty < height_; ty += TileSize) {
                for (int tx = 0; tx < width_; tx += TileSize) {
                    PendingTile tile;
                    tile.x = tx;
                    tile.y = ty;
                    tile.width = std::min(TileSize, width_ - tx);
                    tile.height = std::min(TileSize, height_ - ty);
                    const std::size_t tile_row = px * static_cast<std::size_t>(tile.width);
                    tile.before.resize(tile_row * static_cast<std::size_t>(tile.height));
                    for (int r = 0; r < tile.height; ++r)
                        std::memcpy(tile.before.data() + r * tile_row,
                                    whole_before_.pixels.data() + (ty + r) * row_bytes + px * tx, tile_row);
                    pending_.push_back(std::move(tile));
                }
            }
            whole_before_ = Snapshot{};
            return tile_step_from_pending(step);
        }
    }
    step.whole = true;
    step.before = std::move(whole_before_);
    if (!snapshot(picture_, step.after)) return false;
    step.changed = Rect{0, 0, step.after.width, step.after.height};
    step.bytes = step.before.pixels.size() + step.after.pixels.size();
    return true;
}

Rect History::commit() {
    if (!open_) return Rect{};
    Step step;
    const bool changed = whole_saved_ ? whole_step_from_snapshot(step) : tile_step_from_pending(step);
    reset_pending();
    if (!changed) return Rect{};
    return push_if_changed(std::move(step));
}

Rect History::push_if_changed(Step&& step) {
    if (step.changed.empty()) return Rect{};
    step.bytes += sizeof(Step);
    const Rect rect = step.changed;
    push(std::move(step));
    return rect;
}

void History::push(Step&& step) {
    // A new step replaces the steps that were undone.
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    if (saved_ > static_cast<std::int64_t>(position_)) saved_ = -1;
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    ++position_;
    while (bytes_ > limit_ && !steps_.empty()) {
        bytes_ -= steps_.front().bytes;
        steps_.pop_front();
        --position_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
    }
}

Rect History::apply(ObjectNumber picture, const Step& step, bool forward) {
    if (step.whole) {
        const Snapshot& now = forward ? step.before : step.after;
        const Snapshot& next = forward ? step.after : step.before;
        const Bitmap* bitmap = picture_bitmap(picture);
        if (!bitmap || bitmap->width != now.width || bitmap->height != now.height || bitmap->bpp != now.bpp)
            return Rect{};
        if (!restore(picture, next)) return Rect{};
        return Rect{0, 0, next.width, next.height};
    }
    const Bitmap* bitmap = picture_bitmap(picture);
    if (!bitmap || bitmap->width != step.width || bitmap->height != step.height || bitmap->bpp != step.bpp)
        return Rect{};
    for (const Patch& patch : step.patches)
        write_rect(*bitmap, patch.x, patch.y, patch.width, patch.height,
                   (forward ? patch.after : patch.before).data());
    return step.changed;
}

Rect History::undo(ObjectNumber picture) {
    if (open_) commit();
    if (!can_undo()) return Rect{};
    const Rect rect = apply(picture, steps_[position_ - 1], false);
    if (!rect.empty()) --position_;
    return rect;
}

Rect History::redo(ObjectNumber picture) {
    if (open_) commit();
    if (!can_redo()) return Rect{};
    const Rect rect = apply(picture, steps_[position_], true);
    if (!rect.empty()) ++position_;
    return rect;
}

void History::mark_saved() {
    saved_ = static_cast<std::int64_t>(position_);
}

bool History::at_saved_point() const {
    return saved_ == static_cast<std::int64_t>(position_);
}

}  // namespace morvane
