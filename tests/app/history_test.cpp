// The undo history against a reference that keeps a copy of the whole picture after each step.
#include "app/document/history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/bitmap.h"
#include "image/image.h"

namespace morvane::testing {
namespace {

constexpr ObjectNumber Picture = 700;

struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Pixels&) const = default;
};

Pixels pixels_of(ObjectNumber number) {
    const Bitmap* b = bitmap_from_handle(image_handle(number));
    Pixels p;
    if (!b) return p;
    p.width = b->width;
    p.height = b->height;
    const std::size_t row = static_cast<std::size_t>(b->width) * static_cast<std::size_t>(b->bpp / 8);
    for (int y = 0; y < b->height; ++y) p.bytes.insert(p.bytes.end(), b->row(y), b->row(y) + row);
    return p;
}

void put(ObjectNumber number, int x, int y, std::uint32_t value) {
    const Bitmap* b = bitmap_from_handle(image_handle(number));
    const int px = b->bpp / 8;
    std::memcpy(b->row(y) + x * px, &value, static_cast<std::size_t>(px));
}

class HistoryTest : public ::testing::Test {
  protected:
    void TearDown() override { image_free(Picture); }
};

// One random step: a few rectangles filled (sometimes with values already there), each saved
// just before it is painted, as a tool saves each dab; now and then a change of size. Or,
// by difference: one rectangle (every other step none) painted after a copy was taken.
struct Editor {
    std::mt19937 rng;
    History& history;
    bool by_difference = false;
    int calls = 0;

    Rect random_rect(int w, int h) {
        const int x0 = static_cast<int>(rng() % static_cast<unsigned>(w + 20)) - 10;
        const int y0 = static_cast<int>(rng() % static_cast<unsigned>(h + 20)) - 10;
        const int x1 = x0 + 1 + static_cast<int>(rng() % 90), y1 = y0 + 1 + static_cast<int>(rng() % 90);
        return Rect{x0, y0, x1, y1};
    }
    void step(bool allow_resize) {
        if (by_difference) {
            ASSERT_NE(image_copy(Picture, Picture + 1), 0);
            paint(calls++ % 2 == 0 ? Rect{} : random_rect(image_width(Picture), image_height(Picture)));
            history.record_difference(*image_record(Picture), *image_record(Picture + 1));
            image_free(Picture + 1);
            return;
        }
        history.begin(*image_record(Picture));
        if (allow_resize && rng() % 6 == 0) {
            history.save_whole_before();
            const int w = 1 + static_cast<int>(rng() % 150), h = 1 + static_cast<int>(rng() % 150);
            ASSERT_NE(image_resize(Picture, w, h, Nearest), 0);
        }
        const int dabs = 1 + static_cast<int>(rng() % 5);
        for (int d = 0; d < dabs; ++d) {
            const Rect r = random_rect(image_width(Picture), image_height(Picture));
            history.save_before(r);
            paint(r);
        }
        history.commit();
    }
    // Paints a rectangle; a quarter of the time a sparse pattern, often with the value
    // already there.
    void paint(const Rect& r) {
        const int w = image_width(Picture), h = image_height(Picture);
        const bool sparse = rng() % 4 == 0;
        const std::uint32_t colour = rng() % 3 == 0 ? 0u : static_cast<std::uint32_t>(rng());
        for (std::int64_t y = std::max<std::int64_t>(r.y0, 0); y < std::min<std::int64_t>(r.y1, h); ++y)
            for (std::int64_t x = std::max<std::int64_t>(r.x0, 0); x < std::min<std::int64_t>(r.x1, w); ++x)
                if (!sparse || (x + y) % 7 == 0)
                    put(Picture, static_cast<int>(x), static_cast<int>(y), colour);
    }
};

TEST_F(HistoryTest, RandomEditsUndoAndRedoMatchWholeCopies) {
    struct Case {
        int width, height, depth;
        unsigned seed;
        int steps;
        bool resize;
        bool by_difference = false;  // steps recorded from a copy taken before each edit
    };
    const Case cases[] = {
        {200, 150, 32, 1, 40, false},       {64, 64, 32, 2, 30, false},        {65, 129, 24, 3, 30, false},
        {1, 1, 32, 4, 10, false},           {130, 70, 32, 5, 50, true},        {90, 90, 24, 6, 40, true},
        {200, 150, 32, 7, 40, false, true}, {65, 129, 24, 8, 30, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed);
        ASSERT_NE(image_create(Picture, c.width, c.height, c.depth, 0x336699), 0);
        History history;
        Editor editor{std::mt19937(c.seed), history, c.by_difference};
        // The reference: the whole picture after every kept step.
        std::vector<Pixels> states{pixels_of(Picture)};
        for (int i = 0; i < c.steps; ++i) {
            const std::size_t before = history.steps();
            editor.step(c.resize);
            const Pixels now = pixels_of(Picture);
            if (history.steps() > before) {
                states.push_back(now);
            } else {
                // A step that changed nothing is not kept.
                ASSERT_EQ(now, states.back());
            }
        }
        ASSERT_EQ(history.steps() + 1, states.size());
        EXPECT_GE(history.steps(), static_cast<std::size_t>(c.steps / 3));
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(history.can_undo());
            EXPECT_FALSE(history.undo(*image_record(Picture)).empty());
            ASSERT_EQ(pixels_of(Picture), states[i - 1]) << "undo to state " << i - 1;
        }
        EXPECT_FALSE(history.can_undo());
        EXPECT_TRUE(history.undo(*image_record(Picture)).empty());
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history.can_redo());
            history.redo(*image_record(Picture));
            ASSERT_EQ(pixels_of(Picture), states[i]) << "redo to state " << i;
        }
        EXPECT_FALSE(history.can_redo());
    }
}

TEST_F(HistoryTest, StepKeepsOnlyTheChangedRectangle) {
    ASSERT_NE(image_create(Picture, 300, 200, 32, 0), 0);
    History history;
    struct Case {
        Rect saved;                // what the tool saved
        std::vector<int> touched;  // pixels written as x, y pairs (value 0x11223344)
        Rect changed;              // worked by hand
    };
    const Case cases[] = {
        {Rect{0, 0, 300, 200}, {10, 20}, Rect{10, 20, 11, 21}},
        {Rect{-50, -50, 500, 500}, {63, 63, 64, 64}, Rect{63, 63, 65, 65}},
        {Rect{100, 100, 200, 150}, {120, 101, 190, 149, 150, 130}, Rect{120, 101, 191, 150}},
        {Rect{0, 0, 300, 200}, {}, Rect{}},
    };
    for (const Case& c : cases) {
        const Pixels start = pixels_of(Picture);
        const std::size_t bytes = history.bytes();
        history.begin(*image_record(Picture));
        history.save_before(c.saved);
        history.save_before(c.saved);  // saving twice within a step keeps the first pixels
        for (std::size_t i = 0; i < c.touched.size(); i += 2)
            put(Picture, c.touched[i], c.touched[i + 1], 0x11223344);
        const Rect r = history.commit();
        EXPECT_EQ(r.x0, c.changed.x0);
        EXPECT_EQ(r.y0, c.changed.y0);
        EXPECT_EQ(r.x1, c.changed.x1);
        EXPECT_EQ(r.y1, c.changed.y1);
        // Stored: before and after of the pixels inside each changed 64 x 64 tile's box, and
        // a little bookkeeping; never the saved area.
        EXPECT_LT(history.bytes() - bytes, 2 * 4 * static_cast<std::size_t>(r.empty() ? 0 : 50 * 50) + 1024);
        if (!r.empty()) {
            history.undo(*image_record(Picture));
            EXPECT_EQ(pixels_of(Picture), start);
            history.redo(*image_record(Picture));
        }
    }
}

TEST_F(HistoryTest, BoundDropsOldestStepsFirst) {
    ASSERT_NE(image_create(Picture, 64, 64, 32, 0), 0);
    // Each step repaints a whole 64 x 64 tile with noise, which does not compress: 2 x 16 KiB
    // of pixels plus bookkeeping.
    const std::size_t limit = 5 * 2 * 64 * 64 * 4 + 4096;
    History history(limit);
    std::mt19937 rng(5);
    auto noise = [&] {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) put(Picture, x, y, static_cast<std::uint32_t>(rng()));
    };
    std::vector<Pixels> states{pixels_of(Picture)};
    for (int i = 1; i <= 12; ++i) {
        history.begin(*image_record(Picture));
        history.save_before(Rect{0, 0, 64, 64});
        noise();
        history.commit();
        states.push_back(pixels_of(Picture));
        EXPECT_LE(history.bytes(), limit);
    }
    EXPECT_EQ(history.steps(), 5u);
    // Undo all goes back to the state after step 7: the oldest seven are gone.
    while (history.can_undo()) history.undo(*image_record(Picture));
    EXPECT_EQ(pixels_of(Picture), states[7]);
    while (history.can_redo()) history.redo(*image_record(Picture));
    EXPECT_EQ(pixels_of(Picture), states[12]);

    // Steps that compress are compressed as they age, so far more of them fit: sixty steps
    // of 2 x 16 KiB in rows of one value each, beyond the newest 40 KiB, within 100 KiB.
    const Pixels noisy = pixels_of(Picture);
    History packed(100 << 10, 40 << 10);
    for (int i = 1; i <= 60; ++i) {
        packed.begin(*image_record(Picture));
        packed.save_before(Rect{0, 0, 64, 64});
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) put(Picture, x, y, static_cast<std::uint32_t>(i * 1000 + y));
        packed.commit();
        EXPECT_LE(packed.bytes(), std::size_t{100} << 10);
    }
    EXPECT_EQ(packed.steps(), 60u);
    while (packed.can_undo()) packed.undo(*image_record(Picture));
    EXPECT_EQ(pixels_of(Picture), noisy);

    // A step larger than the bound is not kept: it is held until the caller reverts it
    // (the picture comes back) or keeps it without a step.
    History tiny(1000);
    const Pixels before = pixels_of(Picture);
    for (const bool revert : {true, false}) {
        tiny.begin(*image_record(Picture));
        tiny.save_before(Rect{0, 0, 64, 64});
        noise();
        const Pixels after = pixels_of(Picture);
        EXPECT_EQ(tiny.commit().x1, 64);
        EXPECT_TRUE(tiny.too_large());
        EXPECT_FALSE(tiny.can_undo());
        EXPECT_EQ(tiny.bytes(), 0u);
        if (revert) {
            EXPECT_EQ(tiny.revert_too_large().x1, 64);
            EXPECT_EQ(pixels_of(Picture), before);
        } else {
            tiny.keep_without_step();
            EXPECT_EQ(pixels_of(Picture), after);
            EXPECT_FALSE(tiny.at_saved_point());
        }
        EXPECT_FALSE(tiny.too_large());
    }
}

TEST_F(HistoryTest, SavedPointFollowsUndoRedoAndNewSteps) {
    ASSERT_NE(image_create(Picture, 10, 10, 32, 0), 0);
    History history;
    auto edit = [&](std::uint32_t v) {
        history.begin(*image_record(Picture));
        history.save_before(Rect{0, 0, 1, 1});
        put(Picture, 0, 0, v);
        history.commit();
    };
    // Script: 'e' edit, 'u' undo, 'r' redo, 's' mark saved; then the expected at_saved_point().
    struct Case {
        const char* script;
        bool saved;
    };
    const Case cases[] = {
        {"", true},       {"e", false},    {"eu", true},     {"eur", false},    {"es", true},
        {"esu", false},   {"esur", true},  {"eesuu", false}, {"eesuur", false}, {"eesuurr", true},
        {"eeuse", false}, {"eeseu", true}, {"eesue", false}, {"eesueu", false}, {"eeuu", true},
    };
    std::uint32_t value = 1;  // every edit writes a new value, so every edit is a step
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        history.clear();
        for (const char* p = c.script; *p; ++p) {
            if (*p == 'e') edit(++value);
            if (*p == 'u') history.undo(*image_record(Picture));
            if (*p == 'r') history.redo(*image_record(Picture));
            if (*p == 's') history.mark_saved();
        }
        EXPECT_EQ(history.at_saved_point(), c.saved);
    }
}

TEST_F(HistoryTest, ResizeStepRestoresSizeAndPixels) {
    ASSERT_NE(image_create(Picture, 40, 30, 32, 0x102030), 0);
    put(Picture, 39, 29, 0xAABBCCDD);
    const Pixels start = pixels_of(Picture);
    History history;
    history.begin(*image_record(Picture));
    history.save_before(Rect{0, 0, 5, 5});  // a tile saved before the whole is kept
    put(Picture, 1, 1, 0x01020304);
    history.save_whole_before();
    ASSERT_NE(image_resize(Picture, 80, 10, Nearest), 0);
    const Rect r = history.commit();
    EXPECT_EQ(r.x1, 80);
    EXPECT_EQ(r.y1, 10);
    const Pixels resized = pixels_of(Picture);

    // Undo applies only to the picture as the step left it.
    ASSERT_NE(image_create(Picture + 1, 40, 30, 32, 0), 0);
    EXPECT_TRUE(history.undo(*image_record(Picture + 1)).empty());
    image_free(Picture + 1);

    const Rect u = history.undo(*image_record(Picture));
    EXPECT_EQ(u.x1, 40);
    EXPECT_EQ(u.y1, 30);
    EXPECT_EQ(image_width(Picture), 40);
    EXPECT_EQ(pixels_of(Picture), start);
    history.redo(*image_record(Picture));
    EXPECT_EQ(pixels_of(Picture), resized);

    // A whole save whose size did not change is kept as the changed pixels only.
    const std::size_t bytes = history.bytes();
    history.begin(*image_record(Picture));
    history.save_whole_before();
    put(Picture, 3, 3, 7);
    const Rect one = history.commit();
    EXPECT_EQ(one.x1 - one.x0, 1);
    EXPECT_EQ(one.y1 - one.y0, 1);
    EXPECT_LT(history.bytes() - bytes, 1024u);
}

}  // namespace
}  // namespace morvane::testing
