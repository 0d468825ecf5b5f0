// Undo history: tiles saved during a step, trimmed to what changed and packed at commit.
#include "app/document/history.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "image/bitmap.h"
#include "image/image.h"

namespace morvane {
namespace {

// The pixel storage of a picture the history can record, or null.
Bitmap* picture_bitmap(const Image* picture) {
    Bitmap* bitmap = picture ? bitmap_from_handle(picture->handle) : nullptr;
    if (!bitmap || bitmap->kind != Bitmap::Kind::Pixels || (bitmap->bpp != 24 && bitmap->bpp != 32))
        return nullptr;
    return bitmap;
}

// Picture rows run upward in memory: the distance from row y to row y + 1.
std::ptrdiff_t row_step(const Bitmap& b) {
    return -static_cast<std::ptrdiff_t>(b.stride);
}

std::uint8_t* at(const Bitmap& b, int x, int y) {
    return b.row(y) + static_cast<std::ptrdiff_t>(b.bpp / 8) * x;
}

// Saved tiles are carved from chunks of this many bytes (64 tiles of 32-bit pixels).
constexpr std::size_t PoolChunk = std::size_t{1} << 20;

std::size_t snapshot_bytes(const std::vector<PackedPixels>& tiles) {
    std::size_t bytes = tiles.size() * sizeof(PackedPixels);
    for (const PackedPixels& tile : tiles) bytes += packed_bytes(tile);
    return bytes;
}

// Gives the picture a new storage (its old one is released) with the depth and file format
// it had when that storage was saved.
void replace_storage(Image& record, Bitmap* fresh, std::uint8_t source_depth, std::uint32_t format_tag) {
    bitmap_destroy(bitmap_from_handle(record.handle));
    record.handle = bitmap_handle(fresh);
    record.width = static_cast<std::int16_t>(fresh->width);
    record.height = static_cast<std::int16_t>(fresh->height);
    record.depth = static_cast<std::uint8_t>(fresh->bpp);
    record.source_depth = source_depth;
    record.format_tag = format_tag;
}

}  // namespace

History::History(std::size_t limit_bytes, std::size_t raw_limit_bytes)
    : limit_(limit_bytes), raw_limit_(raw_limit_bytes) {}

void History::clear() {
    steps_.clear();
    position_ = 0;
    bytes_ = 0;
    saved_ = 0;
    reset_pending();
    std::vector<std::unique_ptr<std::uint8_t[]>>().swap(pool_);
}

void History::reset_pending() {
    open_ = false;
    held_ = false;
    picture_ = nullptr;
    slot_.clear();
    pending_.clear();
    pool_chunk_ = pool_used_ = 0;
    whole_saved_ = false;
    building_ = Step{};
    building_bytes_ = sizeof(Step);
    ahead_raw_ = 0;
    ahead_compress_ = false;
}

std::uint8_t* History::tile_buffer(std::size_t bytes) {
    if (pool_used_ + bytes > PoolChunk) {
        ++pool_chunk_;
        pool_used_ = 0;
    }
    if (pool_chunk_ == pool_.size()) pool_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(PoolChunk));
    std::uint8_t* out = pool_[pool_chunk_].get() + pool_used_;
    pool_used_ += bytes;
    return out;
}

void History::drop_all_steps() {
    steps_.clear();
    position_ = 0;
    bytes_ = 0;
    saved_ = -1;
}

void History::settle() {
    if (open_) commit();
    if (held_) keep_without_step();
}

bool History::same_picture(const Bitmap* bitmap) const {
    return bitmap && bitmap->width == width_ && bitmap->height == height_ && bitmap->bpp == bpp_;
}

void History::begin(Image& picture) {
    settle();
    const Bitmap* bitmap = picture_bitmap(&picture);
    if (!bitmap) return;
    open_ = true;
    picture_ = &picture;
    building_ = Step{};
    building_bytes_ = sizeof(Step);
    ahead_raw_ = 0;
    ahead_compress_ = false;
    width_ = bitmap->width;
    height_ = bitmap->height;
    bpp_ = bitmap->bpp;
    tiles_x_ = (width_ + TileSize - 1) / TileSize;
    const int tiles_y = (height_ + TileSize - 1) / TileSize;
    slot_.assign(static_cast<std::size_t>(tiles_x_) * static_cast<std::size_t>(tiles_y), 0);
    // The pool keeps at most what this picture's tiles can fill.
    const std::size_t picture_bytes = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) *
                                      static_cast<std::size_t>(bpp_ / 8);
    const std::size_t chunks = picture_bytes / PoolChunk + 2;
    if (pool_.size() > chunks) pool_.resize(chunks);
}

void History::save_before(const Rect& rect) {
    save_tiles(rect, nullptr);
}

void History::save_before_holding(const Rect& rect, std::uint32_t value) {
    save_tiles(rect, &value);
}

void History::save_tiles(const Rect& rect, const std::uint32_t* holding) {
    if (!open_ || whole_saved_) return;
    const Bitmap* bitmap = picture_bitmap(picture_);
    // The size cannot change under a tile step: such edits save the whole picture first.
    if (!same_picture(bitmap)) return;
    const std::int64_t x0 = std::max<std::int64_t>(rect.x0, 0), y0 = std::max<std::int64_t>(rect.y0, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rect.x1, width_),
                       y1 = std::min<std::int64_t>(rect.y1, height_);
    if (x1 <= x0 || y1 <= y0) return;
    const int px = bpp_ / 8;
    for (std::int64_t ty = y0 / TileSize; ty <= (y1 - 1) / TileSize; ++ty) {
        for (std::int64_t tx = x0 / TileSize; tx <= (x1 - 1) / TileSize; ++tx) {
            std::int32_t& slot = slot_[static_cast<std::size_t>(ty * tiles_x_ + tx)];
            if (slot) {
                PendingTile& saved = pending_[static_cast<std::size_t>(slot - 1)];
                if (saved.packed) unpack_pending(saved, *bitmap);
                continue;
            }
            PendingTile tile;
            tile.x = static_cast<std::int32_t>(tx * TileSize);
            tile.y = static_cast<std::int32_t>(ty * TileSize);
            tile.width = std::min(TileSize, width_ - tile.x);
            tile.height = std::min(TileSize, height_ - tile.y);
            const std::uint8_t* first = at(*bitmap, tile.x, tile.y);
            tile.uniform = pixels_uniform(first, row_step(*bitmap), tile.width, tile.height, px, &tile.value);
            if (holding && (tile.uniform ? tile.value != *holding
                                         : !pixels_hold(first, row_step(*bitmap), tile.width, tile.height, px,
                                                        *holding)))
                continue;
            if (!tile.uniform) {
                const std::size_t row_bytes = static_cast<std::size_t>(px) * static_cast<std::size_t>(tile.width);
                tile.before = tile_buffer(row_bytes * static_cast<std::size_t>(tile.height));
                for (int r = 0; r < tile.height; ++r)
                    std::memcpy(tile.before + r * row_bytes, first + r * row_step(*bitmap), row_bytes);
            }
            pending_.push_back(std::move(tile));
            slot = static_cast<std::int32_t>(pending_.size());
        }
    }
}

void History::pack_finished(const Rect& rect) {
    if (!open_ || whole_saved_) return;
    const Bitmap* bitmap = picture_bitmap(picture_);
    if (!same_picture(bitmap)) return;
    const std::int64_t x0 = std::max<std::int64_t>(rect.x0, 0), y0 = std::max<std::int64_t>(rect.y0, 0);
    const std::int64_t x1 = std::min<std::int64_t>(rect.x1, width_),
                       y1 = std::min<std::int64_t>(rect.y1, height_);
    if (x1 <= x0 || y1 <= y0) return;
    const int px = bpp_ / 8;
    for (std::int64_t ty = y0 / TileSize; ty <= (y1 - 1) / TileSize; ++ty) {
        for (std::int64_t tx = x0 / TileSize; tx <= (x1 - 1) / TileSize; ++tx) {
            const std::int32_t slot = slot_[static_cast<std::size_t>(ty * tiles_x_ + tx)];
            if (!slot) continue;
            PendingTile& tile = pending_[static_cast<std::size_t>(slot - 1)];
            // Only tiles wholly inside: the pixels of a tile outside the rectangle may still change.
            if (tile.packed || tile.x < x0 || tile.y < y0 || tile.x + tile.width > x1 || tile.y + tile.height > y1)
                continue;
            const std::size_t patches = building_.patches.size(), bytes = building_bytes_;
            try {
                add_changed(building_, *bitmap, tile);
            } catch (const std::bad_alloc&) {
                // Left for commit, which holds the step when memory is short.
                building_.patches.resize(patches);
                building_bytes_ = bytes;
                return;
            }
            tile.packed = true;
            tile.patch = building_.patches.size() > patches ? static_cast<std::int32_t>(patches) : -1;
            // A step that will be compressed anyway is compressed as it is packed, not stored
            // as it is and compressed again at commit: when the tiles up to this one in row
            // order, at least a 32nd of the picture, promise over twice the raw allowance.
            if (tile.patch >= 0) ahead_raw_ += raw_patch_bytes(building_.patches.back());
            const std::size_t tiles = slot_.size(), upto = static_cast<std::size_t>(ty * tiles_x_ + tx + 1);
            if (!ahead_compress_ && upto * 32 >= tiles &&
                ahead_raw_ / upto * tiles > 2 * std::min(raw_limit_, limit_))
                ahead_compress_ = true;
            // Rows saved last go back to the pool at once, so that the next tile saved reuses
            // memory still in the cache.
            const std::size_t tile_bytes = static_cast<std::size_t>(px) * static_cast<std::size_t>(tile.width) *
                                           static_cast<std::size_t>(tile.height);
            if (tile.before && pool_chunk_ < pool_.size() &&
                tile.before + tile_bytes == pool_[pool_chunk_].get() + pool_used_) {
                pool_used_ -= tile_bytes;
                tile.before = nullptr;
            }
        }
    }
}

void History::unpack_pending(PendingTile& tile, const Bitmap& now) {
    const int px = bpp_ / 8;
    if (!tile.uniform && !tile.before) {
        // The tile as it is, with the changed rectangle as it was.
        const std::size_t row_bytes = static_cast<std::size_t>(px) * static_cast<std::size_t>(tile.width);
        std::uint8_t* rows = tile_buffer(row_bytes * static_cast<std::size_t>(tile.height));
        for (int r = 0; r < tile.height; ++r) std::memcpy(rows + r * row_bytes, at(now, tile.x, tile.y + r), row_bytes);
        if (tile.patch >= 0) {
            const Patch& patch = building_.patches[static_cast<std::size_t>(tile.patch)];
            unpack_pixels(patch.before, rows + (patch.y - tile.y) * row_bytes + (patch.x - tile.x) * px,
                          static_cast<std::ptrdiff_t>(row_bytes), patch.width, patch.height, px, scratch_);
        }
        tile.before = rows;
    }
    if (tile.patch >= 0) {
        // Dropped: width 0 marks it until commit removes it.
        Patch& patch = building_.patches[static_cast<std::size_t>(tile.patch)];
        building_bytes_ -= sizeof(Patch) + packed_bytes(patch.before) + packed_bytes(patch.after);
        patch = Patch{};
    }
    tile.packed = false;
    tile.patch = -1;
}

void History::drop_unpacked_patches() {
    std::vector<Patch>& patches = building_.patches;
    if (std::none_of(patches.begin(), patches.end(), [](const Patch& p) { return p.width == 0; })) return;
    std::vector<std::int32_t> renumbered(patches.size(), -1);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < patches.size(); ++i) {
        if (patches[i].width == 0) continue;
        renumbered[i] = static_cast<std::int32_t>(kept);
        if (kept != i) patches[kept] = std::move(patches[i]);
        ++kept;
    }
    patches.resize(kept);
    for (PendingTile& tile : pending_)
        if (tile.patch >= 0) tile.patch = renumbered[static_cast<std::size_t>(tile.patch)];
}

void History::save_whole_before() {
    if (!open_ || whole_saved_) return;
    const Image* record = picture_;
    if (!record || !same_picture(picture_bitmap(picture_))) return;
    // Tiles saved earlier in the step hold the older pixels and are kept.
    save_before(Rect{0, 0, width_, height_});
    whole_saved_ = true;
    whole_source_depth_ = record->source_depth;
    whole_format_tag_ = record->format_tag;
}

bool History::snapshot(const Image& picture, Snapshot& out) {
    const Bitmap* bitmap = picture_bitmap(&picture);
    const Image* record = &picture;
    if (!bitmap || !record) return false;
    out.width = bitmap->width;
    out.height = bitmap->height;
    out.bpp = bitmap->bpp;
    out.source_depth = record->source_depth;
    out.format_tag = record->format_tag;
    out.tiles.clear();
    for (int ty = 0; ty < out.height; ty += TileSize)
        for (int tx = 0; tx < out.width; tx += TileSize)
            out.tiles.push_back(pack_pixels(at(*bitmap, tx, ty), row_step(*bitmap), std::min(TileSize, out.width - tx),
                                            std::min(TileSize, out.height - ty), out.bpp / 8, scratch_, false));
    return true;
}

// Replaces the picture's storage by a new one holding the snapshot; on failure the picture
// is left as it was.
bool History::restore(Image& picture, const Snapshot& from) {
    Image* record = &picture;
    if (!record->handle) return false;
    Bitmap* bitmap = bitmap_create(from.width, from.height, from.bpp);
    if (!bitmap) return false;
    std::size_t i = 0;
    for (int ty = 0; ty < from.height; ty += TileSize) {
        for (int tx = 0; tx < from.width; tx += TileSize) {
            if (i >= from.tiles.size() ||
                !unpack_pixels(from.tiles[i++], at(*bitmap, tx, ty), row_step(*bitmap),
                               std::min(TileSize, from.width - tx), std::min(TileSize, from.height - ty),
                               from.bpp / 8, scratch_)) {
                bitmap_destroy(bitmap);
                return false;
            }
        }
    }
    replace_storage(*record, bitmap, from.source_depth, from.format_tag);
    return true;
}

void History::add_changed(Step& step, const Bitmap& now, int x, int y, int w, int h, const std::uint8_t* before,
                          std::ptrdiff_t before_stride, bool uniform_before) {
    const int px = now.bpp / 8;
    const std::size_t tile_row = static_cast<std::size_t>(px) * static_cast<std::size_t>(w);
    const auto is = [&](int r) { return at(now, x, y + r); };
    const auto was = [&](int r) { return before + r * before_stride; };
    int min_y = 0;
    while (min_y < h && std::memcmp(is(min_y), was(min_y), tile_row) == 0) ++min_y;
    if (min_y == h) return;
    int max_y = h - 1;
    while (std::memcmp(is(max_y), was(max_y), tile_row) == 0) --max_y;
    // First and last differing bytes over the rows between: each row is searched only
    // outside the span already found, and not at all once the span is the whole row.
    std::size_t first = tile_row, last = 0;
    bool any = false;
    for (int r = min_y; r <= max_y && (first > 0 || last + 1 < tile_row); ++r) {
        first = std::min(first, first_difference(is(r), was(r), first));
        const std::size_t from = any ? last + 1 : 0;
        const std::size_t found = last_difference(is(r) + from, was(r) + from, tile_row - from);
        if (found < tile_row - from) {
            last = from + found;
            any = true;
        }
    }
    const int min_x = static_cast<int>(first) / px, max_x = static_cast<int>(last) / px;
    Patch patch;
    patch.x = x + min_x;
    patch.y = y + min_y;
    patch.width = max_x - min_x + 1;
    patch.height = max_y - min_y + 1;
    const std::uint8_t* from = before + min_y * before_stride + min_x * px;
    const bool compress = compress_while_packing();
    if (uniform_before) {
        std::uint32_t value = 0;
        std::memcpy(&value, from, static_cast<std::size_t>(px));
        patch.before = pack_uniform(value);
    } else {
        patch.before = pack_pixels(from, before_stride, patch.width, patch.height, px, scratch_, compress);
    }
    patch.after =
        pack_pixels(at(now, patch.x, patch.y), row_step(now), patch.width, patch.height, px, scratch_, compress);
    step.changed = step.changed.united(Rect{patch.x, patch.y, patch.x + patch.width, patch.y + patch.height});
    building_bytes_ += sizeof(Patch) + packed_bytes(patch.before) + packed_bytes(patch.after);
    step.patches.push_back(std::move(patch));
}

void History::add_changed(Step& step, const Bitmap& now, const PendingTile& tile) {
    const int px = bpp_ / 8;
    if (!tile.uniform) {
        add_changed(step, now, tile.x, tile.y, tile.width, tile.height, tile.before, px * tile.width, false);
        return;
    }
    // A tile of one value that now holds another one value changed whole (a fill).
    std::uint32_t now_value = 0;
    if (pixels_uniform(at(now, tile.x, tile.y), row_step(now), tile.width, tile.height, px, &now_value)) {
        if (now_value == tile.value) return;
        Patch patch;
        patch.x = tile.x;
        patch.y = tile.y;
        patch.width = tile.width;
        patch.height = tile.height;
        patch.before = pack_uniform(tile.value);
        patch.after = pack_uniform(now_value);
        step.changed = step.changed.united(Rect{tile.x, tile.y, tile.x + tile.width, tile.y + tile.height});
        building_bytes_ += sizeof(Patch);
        step.patches.push_back(std::move(patch));
        return;
    }
    // One row of the tile's value stands for every row.
    std::uint8_t row[TileSize * 4];
    for (int i = 0; i < tile.width; ++i) std::memcpy(row + i * px, &tile.value, static_cast<std::size_t>(px));
    add_changed(step, now, tile.x, tile.y, tile.width, tile.height, row, 0, true);
}

// Compares each saved tile with the picture and keeps the rectangle of bytes that differ.
bool History::tile_step_from_pending(Step& step) {
    const Bitmap* bitmap = picture_bitmap(picture_);
    if (!same_picture(bitmap)) return false;
    // The step starts with the patches packed ahead (building_bytes_ counts them already).
    drop_unpacked_patches();
    step = std::move(building_);
    building_ = Step{};
    step.width = width_;
    step.height = height_;
    step.bpp = bpp_;
    step.patches.reserve(pending_.size());
    for (const PendingTile& tile : pending_)
        if (!tile.packed) add_changed(step, *bitmap, tile);
    step.changed = Rect{};
    for (const Patch& patch : step.patches)
        step.changed = step.changed.united(Rect{patch.x, patch.y, patch.x + patch.width, patch.y + patch.height});
    if (ahead_compress_) settle_ahead(step);
    return !step.patches.empty();
}

std::size_t History::raw_patch_bytes(const Patch& patch) const {
    const std::size_t raw = static_cast<std::size_t>(bpp_ / 8) * static_cast<std::size_t>(patch.width) *
                            static_cast<std::size_t>(patch.height);
    return sizeof(Patch) + (patch.before.uniform() ? 0 : raw) + (patch.after.uniform() ? 0 : raw);
}

void History::settle_ahead(Step& step) {
    std::size_t raw = sizeof(Step);
    for (const Patch& patch : step.patches) raw += raw_patch_bytes(patch);
    if (raw > std::min(raw_limit_, limit_)) {
        compress_step(step);
        return;
    }
    // Fewer bytes than expected: the compressed pixels go back to rows as they are.
    const int px = bpp_ / 8;
    for (Patch& patch : step.patches) {
        const std::size_t bytes = static_cast<std::size_t>(px) * static_cast<std::size_t>(patch.width) *
                                  static_cast<std::size_t>(patch.height);
        for (PackedPixels* packed : {&patch.before, &patch.after}) {
            if (packed->uniform() || packed->size == bytes) continue;
            PackedPixels rows;
            rows.size = static_cast<std::uint32_t>(bytes);
            rows.data = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
            unpack_pixels(*packed, rows.data.get(), px * patch.width, patch.width, patch.height, px, scratch_);
            *packed = std::move(rows);
        }
    }
}

// A whole-picture step: kept as changed tiles when the picture kept its size and format,
// as two whole pictures otherwise.
bool History::whole_step_from_pending(Step& step) {
    const Bitmap* bitmap = picture_bitmap(picture_);
    const Image* record = picture_;
    if (!bitmap || !record) return false;
    if (same_picture(bitmap) && record->source_depth == whole_source_depth_ &&
        record->format_tag == whole_format_tag_)
        return tile_step_from_pending(step);
    step.whole = true;
    Snapshot& before = step.before;
    before.width = width_;
    before.height = height_;
    before.bpp = bpp_;
    before.source_depth = whole_source_depth_;
    before.format_tag = whole_format_tag_;
    before.tiles.reserve(slot_.size());
    const int px = bpp_ / 8;
    for (const std::int32_t slot : slot_) {
        if (!slot) return false;
        const PendingTile& tile = pending_[static_cast<std::size_t>(slot - 1)];
        before.tiles.push_back(tile.uniform ? pack_uniform(tile.value)
                                            : pack_pixels(tile.before, px * tile.width, tile.width,
                                                          tile.height, px, scratch_, false));
    }
    if (!snapshot(*picture_, step.after)) return false;
    step.changed = Rect{0, 0, step.after.width, step.after.height};
    return true;
}

Rect History::commit() {
    if (!open_) return Rect{};
    open_ = false;
    Step step;
    bool changed = false, fits = true;
    try {
        changed = whole_saved_ ? whole_step_from_pending(step) : tile_step_from_pending(step);
    } catch (const std::bad_alloc&) {
        // No memory to pack the step: it is held like a step over the bound.
        changed = true;
        fits = false;
    }
    if (!changed) {
        reset_pending();
        return Rect{};
    }
    const Rect rect = step.changed;
    if (fits && keep(std::move(step))) {
        reset_pending();
        return rect;
    }
    // Held: the pending tiles keep the pixels from before the step (those packed ahead, in
    // their patches).
    held_ = true;
    building_ = std::move(step);
    return rect.empty() ? Rect{0, 0, width_, height_} : rect;
}

Rect History::revert_too_large() {
    if (!held_) return Rect{};
    Image* record = picture_;
    Bitmap* target = picture_bitmap(picture_);
    if (!record || !target || (!whole_saved_ && !same_picture(target))) return Rect{};
    // The picture may have another size now: the saved tiles go into a new storage.
    if (whole_saved_ && !(target = bitmap_create(width_, height_, bpp_))) return Rect{};
    const int px = bpp_ / 8;
    Rect rect;
    for (const PendingTile& tile : pending_) {
        std::uint8_t* first = at(*target, tile.x, tile.y);
        if (tile.uniform) {
            unpack_pixels(pack_uniform(tile.value), first, row_step(*target), tile.width, tile.height, px, scratch_);
        } else if (!tile.before) {
            // Packed ahead: only its patch differs from the picture.
            if (tile.patch >= 0) {
                const Patch& patch = building_.patches[static_cast<std::size_t>(tile.patch)];
                unpack_pixels(patch.before, at(*target, patch.x, patch.y), row_step(*target), patch.width,
                              patch.height, px, scratch_);
            }
        } else {
            const std::size_t row_bytes = static_cast<std::size_t>(px) * static_cast<std::size_t>(tile.width);
            for (int r = 0; r < tile.height; ++r)
                std::memcpy(first + r * row_step(*target), tile.before + r * row_bytes, row_bytes);
        }
        rect = rect.united(Rect{tile.x, tile.y, tile.x + tile.width, tile.y + tile.height});
    }
    if (whole_saved_) {
        replace_storage(*record, target, whole_source_depth_, whole_format_tag_);
        rect = Rect{0, 0, width_, height_};
    }
    reset_pending();
    return rect;
}

void History::keep_without_step() {
    if (!held_) return;
    reset_pending();
    drop_all_steps();
}

Rect History::record_difference(const Image& picture, const Image& before) {
    settle();
    const Bitmap* now = picture_bitmap(&picture);
    const Bitmap* was = picture_bitmap(&before);
    if (!now || !was || now == was || now->width != was->width || now->height != was->height ||
        now->bpp != was->bpp)
        return Rect{};
    Step step;
    step.width = now->width;
    step.height = now->height;
    step.bpp = now->bpp;
    building_bytes_ = sizeof(Step);
    bool fits = true;
    try {
        for (int ty = 0; ty < now->height; ty += TileSize)
            for (int tx = 0; tx < now->width; tx += TileSize)
                add_changed(step, *now, tx, ty, std::min(TileSize, now->width - tx),
                            std::min(TileSize, now->height - ty), at(*was, tx, ty), row_step(*was), false);
    } catch (const std::bad_alloc&) {
        fits = false;
    }
    if (fits && step.changed.empty()) return Rect{};
    const Rect rect = step.changed;
    if (!fits || !keep(std::move(step))) {
        drop_all_steps();
        return Rect{};
    }
    return rect;
}

std::size_t History::step_bytes(const Step& step) {
    std::size_t bytes = sizeof(Step) + step.patches.size() * sizeof(Patch);
    for (const Patch& patch : step.patches) bytes += packed_bytes(patch.before) + packed_bytes(patch.after);
    return bytes + snapshot_bytes(step.before.tiles) + snapshot_bytes(step.after.tiles);
}

void History::compress_step(Step& step) {
    try {
        for (Patch& patch : step.patches) {
            const std::size_t raw = static_cast<std::size_t>(step.bpp / 8) * static_cast<std::size_t>(patch.width) *
                                    static_cast<std::size_t>(patch.height);
            compress_packed(patch.before, raw, scratch_);
            compress_packed(patch.after, raw, scratch_);
        }
        for (Snapshot* snapshot : {&step.before, &step.after}) {
            std::size_t i = 0;
            for (int ty = 0; ty < snapshot->height; ty += TileSize)
                for (int tx = 0; tx < snapshot->width && i < snapshot->tiles.size(); tx += TileSize)
                    compress_packed(snapshot->tiles[i++],
                                    static_cast<std::size_t>(snapshot->bpp / 8) *
                                        static_cast<std::size_t>(std::min(TileSize, snapshot->width - tx)) *
                                        static_cast<std::size_t>(std::min(TileSize, snapshot->height - ty)),
                                    scratch_);
        }
        step.compressed = true;
    } catch (const std::bad_alloc&) {
        // What was compressed stays so; the rest is kept as it is.
    }
    step.bytes = step_bytes(step);
}

bool History::keep(Step&& step) {
    step.bytes = step_bytes(step);
    if (step.bytes > std::min(raw_limit_, limit_)) compress_step(step);
    if (step.bytes > limit_) return false;
    push(std::move(step));
    return true;
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
    // Steps not compressed yet are compressed oldest first while they hold more than the
    // raw allowance or the whole exceeds the bound.
    std::size_t raw = 0;
    for (const Step& kept : steps_)
        if (!kept.compressed) raw += kept.bytes;
    for (Step& kept : steps_) {
        if (raw <= raw_limit_ && bytes_ <= limit_) break;
        if (kept.compressed) continue;
        raw -= kept.bytes;
        bytes_ -= kept.bytes;
        compress_step(kept);
        bytes_ += kept.bytes;
    }
    // Then the oldest steps make room, one by one.
    while (bytes_ > limit_ && steps_.size() > 1) {
        bytes_ -= steps_.front().bytes;
        steps_.pop_front();
        --position_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
    }
}

Rect History::apply(Image& picture, const Step& step, bool forward) {
    if (step.turned) return apply_turn(picture, step, forward);
    if (step.whole) {
        const Snapshot& now = forward ? step.before : step.after;
        const Snapshot& next = forward ? step.after : step.before;
        const Bitmap* bitmap = picture_bitmap(&picture);
        if (!bitmap || bitmap->width != now.width || bitmap->height != now.height || bitmap->bpp != now.bpp)
            return Rect{};
        if (!restore(picture, next)) return Rect{};
        return Rect{0, 0, next.width, next.height};
    }
    const Bitmap* bitmap = picture_bitmap(&picture);
    if (!bitmap || bitmap->width != step.width || bitmap->height != step.height || bitmap->bpp != step.bpp)
        return Rect{};
    const int px = step.bpp / 8;
    for (const Patch& patch : step.patches)
        unpack_pixels(forward ? patch.after : patch.before, at(*bitmap, patch.x, patch.y), row_step(*bitmap),
                      patch.width, patch.height, px, scratch_);
    return step.changed;
}

Rect History::undo(Image& picture) {
    settle();
    if (!can_undo()) return Rect{};
    const Rect rect = apply(picture, steps_[position_ - 1], false);
    if (!rect.empty()) --position_;
    return rect;
}

Rect History::redo(Image& picture) {
    settle();
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

// ---- Turns of the whole picture: steps that keep no pixels ----

bool picture_turn(Image& picture, Turn turn) {
    Image* record = &picture;
    Bitmap* bitmap = picture_bitmap(record);
    if (!bitmap) return false;
    if (!bitmap_turn(*bitmap, turn)) return false;
    record->width = static_cast<std::int16_t>(bitmap->width);
    record->height = static_cast<std::int16_t>(bitmap->height);
    return true;
}

Rect History::record_turn(Image& picture, Turn turn) {
    settle();
    const Bitmap* bitmap = picture_bitmap(&picture);
    if (!bitmap) return Rect{};
    Step step;
    step.turned = true;
    step.turn = turn;
    step.width = bitmap->width;
    step.height = bitmap->height;
    step.bpp = bitmap->bpp;
    step.changed = Rect{0, 0, bitmap->width, bitmap->height};
    // Older steps cannot apply to a picture turned without a step.
    if (!keep(std::move(step))) drop_all_steps();
    return Rect{0, 0, bitmap->width, bitmap->height};
}

// Undo turns the picture back from the size the step left; redo turns it from the size
// before the step.
Rect History::apply_turn(Image& picture, const Step& step, bool forward) {
    const Bitmap* bitmap = picture_bitmap(&picture);
    const bool swaps = turn_swaps_sides(step.turn);
    const std::int32_t width = forward && swaps ? step.height : step.width;
    const std::int32_t height = forward && swaps ? step.width : step.height;
    if (!bitmap || bitmap->width != width || bitmap->height != height || bitmap->bpp != step.bpp) return Rect{};
    if (!picture_turn(picture, forward ? step.turn : turn_inverse(step.turn))) return Rect{};
    return Rect{0, 0, bitmap->width, bitmap->height};
}

}  // namespace morvane
