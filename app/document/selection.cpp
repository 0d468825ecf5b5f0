// The document's selection and its floating pixels.
//
// Lifted pixels are kept in the floating picture and their place in the document is cleared
// (not for a copy) without an undo step; the drop first writes them back, then records the
// whole move as one step: the origin cleared and the pixels drawn where they are. Putting
// them back is writing them back, so it gives the exact bytes of before the lift.
#include "app/document/selection.h"

#include <algorithm>
#include <cstring>

#include "app/document/document_commands.h"
#include "app/editor_state.h"
#include "app/view/view.h"
#include "image/image.h"

namespace morvane {
namespace {

// The document's pixel storage when it is a 32-bit picture, or null.
Bitmap* document_pixels(Document& document) {
    Bitmap* bitmap = document.picture_or_null();
    if (!bitmap || bitmap->kind != Bitmap::Kind::Pixels || bitmap->bpp != 32) return nullptr;
    return bitmap;
}

Rect picture_rect(const Bitmap& picture) {
    return Rect{0, 0, picture.width, picture.height};
}

Rect intersected(const Rect& a, const Rect& b) {
    return Rect{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

std::uint8_t* pixel(const Bitmap& b, std::int64_t x, std::int64_t y) {
    return b.row(static_cast<std::int32_t>(y)) + 4 * x;
}

// Copies the pixels of `from` at (x, y) of the picture into a new 32-bit picture.
BitmapPtr copy_out(const Bitmap& picture, const Rect& rect) {
    BitmapPtr out(bitmap_create(static_cast<std::int32_t>(rect.x1 - rect.x0),
                                static_cast<std::int32_t>(rect.y1 - rect.y0), 32));
    if (!out) return out;
    const std::size_t bytes = static_cast<std::size_t>(out->width) * 4;
    for (std::int64_t y = rect.y0; y < rect.y1; ++y)
        std::memcpy(out->row(static_cast<std::int32_t>(y - rect.y0)), pixel(picture, rect.x0, y), bytes);
    return out;
}

// Writes the floating pixels whose place lies on the picture, replacing what is there.
void write_back(Bitmap& picture, const Bitmap& floating, const Rect& at) {
    const Rect on = intersected(at, picture_rect(picture));
    if (on.empty()) return;
    const std::size_t bytes = static_cast<std::size_t>(on.x1 - on.x0) * 4;
    for (std::int64_t y = on.y0; y < on.y1; ++y)
        std::memcpy(pixel(picture, on.x0, y),
                    floating.row(static_cast<std::int32_t>(y - at.y0)) + 4 * (on.x0 - at.x0), bytes);
}

void clear(Bitmap& picture, const Rect& rect) {
    const Rect on = intersected(rect, picture_rect(picture));
    if (on.empty()) return;
    const std::size_t bytes = static_cast<std::size_t>(on.x1 - on.x0) * 4;
    for (std::int64_t y = on.y0; y < on.y1; ++y) std::memset(pixel(picture, on.x0, y), 0, bytes);
}

// Straight-alpha "over": the floating pixel s drawn on the picture pixel d (bytes B, G, R, A).
// Opaque pixels replace, transparent ones leave the picture, and a pixel over a transparent
// one keeps its exact bytes.
void over(std::uint8_t* d, const std::uint8_t* s) {
    const std::uint32_t sa = s[3];
    if (sa == 255 || d[3] == 0) {
        if (sa != 0) std::memcpy(d, s, 4);
        return;
    }
    if (sa == 0) return;
    const std::uint32_t da = d[3];
    const std::uint32_t dw = da * (255 - sa);           // destination weight x 255
    const std::uint32_t total = sa * 255 + dw;          // output alpha x 255
    for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>((s[c] * sa * 255 + d[c] * dw + total / 2) / total);
    d[3] = static_cast<std::uint8_t>((total + 127) / 255);
}

void compose(Bitmap& picture, const Bitmap& floating, const Rect& at) {
    const Rect on = intersected(at, picture_rect(picture));
    for (std::int64_t y = on.y0; y < on.y1; ++y) {
        std::uint8_t* d = pixel(picture, on.x0, y);
        const std::uint8_t* s = floating.row(static_cast<std::int32_t>(y - at.y0)) + 4 * (on.x0 - at.x0);
        for (std::int64_t x = on.x0; x < on.x1; ++x, d += 4, s += 4) over(d, s);
    }
}

// Repaints the document rectangles, with a pixel around them for the outline.
void show(EditorState& state, const Rect& a, const Rect& b = Rect{}) {
    const Rect r = a.united(b);
    if (!r.empty()) view_show_document_rect(state, r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y1 + 1);
}

}  // namespace

void selection_set(EditorState& state, const Rect& rect) {
    Selection& selection = state.document.selection;
    selection_drop(state);
    const Rect before = selection.rect;
    const Bitmap* picture = document_pixels(state.document);
    selection.rect = picture ? intersected(rect, picture_rect(*picture)) : Rect{};
    if (selection.rect.empty()) selection.rect = Rect{};
    show(state, before, selection.rect);
}

void selection_clear(EditorState& state) {
    selection_set(state, Rect{});
}

bool selection_lift(EditorState& state, bool copy) {
    Selection& selection = state.document.selection;
    Bitmap* picture = document_pixels(state.document);
    if (!picture || selection.is_floating() || !selection.active()) return false;
    const Rect rect = intersected(selection.rect, picture_rect(*picture));
    if (rect.empty()) return false;
    BitmapPtr pixels = copy_out(*picture, rect);
    BitmapPtr original = copy ? nullptr : copy_out(*picture, rect);
    if (!pixels || (!copy && !original)) return false;
    selection.floating = std::move(pixels);
    selection.original = std::move(original);
    selection.rect = rect;
    selection.origin = rect;
    selection.lifted = !copy;
    if (!copy) clear(*picture, rect);
    show(state, rect);
    return true;
}

void selection_float(EditorState& state, BitmapPtr pixels, std::int64_t x, std::int64_t y) {
    if (!pixels || pixels->bpp != 32) return;
    Selection& selection = state.document.selection;
    selection_drop(state);
    const Rect before = selection.rect;
    selection.rect = Rect{x, y, x + pixels->width, y + pixels->height};
    selection.origin = Rect{};
    selection.original.reset();
    selection.lifted = false;
    selection.floating = std::move(pixels);
    show(state, before, selection.rect);
}

void selection_move_to(EditorState& state, std::int64_t x, std::int64_t y, bool copy) {
    Selection& selection = state.document.selection;
    if (!selection.is_floating() && !selection_lift(state, copy)) return;
    const Rect before = selection.rect;
    selection.rect = Rect{x, y, x + (before.x1 - before.x0), y + (before.y1 - before.y0)};
    show(state, before, selection.rect);
}

bool selection_drop(EditorState& state) {
    Selection& selection = state.document.selection;
    if (!selection.is_floating()) return false;
    Bitmap* picture = document_pixels(state.document);
    BitmapPtr floating = std::move(selection.floating);
    BitmapPtr original = std::move(selection.original);
    const Rect at = selection.rect, origin = selection.lifted ? selection.origin : Rect{};
    selection.lifted = false;
    selection.origin = Rect{};
    if (!picture) {
        selection.rect = Rect{};
        return false;
    }
    // The picture as it was before the lift, so that the step holds the whole move.
    if (!origin.empty() && original) write_back(*picture, *original, origin);
    History& history = state.document.history;
    history.begin(state.document.record());
    history.save_before(origin);
    history.save_before(intersected(at, picture_rect(*picture)));
    clear(*picture, origin);
    compose(*picture, *floating, at);
    const bool kept = document_step_end(state);
    picture = document_pixels(state.document);
    selection.rect = picture ? intersected(at, picture_rect(*picture)) : Rect{};
    if (selection.rect.empty()) selection.rect = Rect{};
    show(state, at, origin);
    return kept;
}

bool selection_put_back(EditorState& state) {
    Selection& selection = state.document.selection;
    if (!selection.is_floating()) return false;
    Bitmap* picture = document_pixels(state.document);
    const Rect before = selection.rect;
    if (!selection.origin.empty() && picture) {
        if (selection.lifted && selection.original) write_back(*picture, *selection.original, selection.origin);
        selection.rect = selection.origin;
    } else {
        selection.rect = picture ? intersected(before, picture_rect(*picture)) : Rect{};
        if (selection.rect.empty()) selection.rect = Rect{};
    }
    selection.floating.reset();
    selection.original.reset();
    selection.lifted = false;
    show(state, before, selection.origin);
    selection.origin = Rect{};
    return true;
}

bool selection_turn(EditorState& state, Turn turn) {
    Selection& selection = state.document.selection;
    const bool was_floating = selection.is_floating();
    if (!was_floating && !selection_lift(state, false)) return false;
    const Bitmap& pixels = *selection.floating;
    BitmapPtr turned(bitmap_turned(pixels, 0, 0, pixels.width, pixels.height, turn));
    if (!turned) {
        if (!was_floating) selection_put_back(state);
        return false;
    }
    // About the centre, the halves rounded toward zero so that turns come back to the same
    // place.
    const Rect before = selection.rect;
    const std::int64_t x = before.x0 + (static_cast<std::int64_t>(pixels.width) - turned->width) / 2;
    const std::int64_t y = before.y0 + (static_cast<std::int64_t>(pixels.height) - turned->height) / 2;
    selection.rect = Rect{x, y, x + turned->width, y + turned->height};
    selection.floating = std::move(turned);
    show(state, before, selection.rect);
    if (!was_floating) return selection_drop(state);
    return true;
}

}  // namespace morvane
