// The canvas back buffer: sizes, white when new, kept across resizes, shown exactly, and
// drawn through canvas_output.
#include <QAbstractButton>
#include <QEvent>
#include <QImage>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "canvas_test_support.h"
#include "draw/draw.h"
#include "draw/session.h"
#include "image/bitmap.h"

namespace morvane {
namespace {

using CanvasBufferTest = testing_support::CanvasWindowTest;

const Bitmap* back_buffer(ObjectNumber canvas) {
    return bitmap_from_handle(std::intptr_t(widget_get_attribute(canvas, 1)));
}

// Red, green, blue of a buffer pixel (stored blue, green, red).
std::array<int, 3> buffer_rgb(const Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.row(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

std::array<int, 3> shown_rgb(const QImage& image, int x, int y) {
    QRgb c = image.pixel(x, y);
    return {qRed(c), qGreen(c), qBlue(c)};
}

TEST_F(CanvasBufferTest, SunkenEdgeTakesFourPixelsEachWay) {
    ASSERT_NE(canvas_create(kCanvas, 0, 0, 100, 80, SunkenEdge), 0);
    ASSERT_NE(back_buffer(kCanvas), nullptr);
    EXPECT_EQ(back_buffer(kCanvas)->width, 96);
    EXPECT_EQ(back_buffer(kCanvas)->height, 76);
    EXPECT_EQ(back_buffer(kCanvas)->bpp, 24);
    ASSERT_NE(canvas_create(2, 0, 100, 2, 2, SunkenEdge), 0);
    EXPECT_EQ(back_buffer(2)->width, 1);
    EXPECT_EQ(back_buffer(2)->height, 1);
    ASSERT_NE(canvas_create(3, 0, 120, 100, 80, ConfinePointer | TakesFocus), 0);
    EXPECT_EQ(back_buffer(3)->width, 100);
    EXPECT_EQ(back_buffer(3)->height, 80);
    ASSERT_NE(canvas_create(4, 0, 220, 0, 0, 0), 0);
    EXPECT_EQ(back_buffer(4)->width, 1);
    EXPECT_EQ(back_buffer(4)->height, 1);
    EXPECT_EQ(widget_kind(4), 33);
}

TEST_F(CanvasBufferTest, NewBufferIsWhiteAndResizeKeepsTheOverlap) {
    ASSERT_NE(canvas_create(kCanvas, 10, 10, 100, 80, 0), 0);
    const Bitmap* b = back_buffer(kCanvas);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(buffer_rgb(*b, x, y), (std::array<int, 3>{255, 255, 255}));
    // A pattern that differs in every pixel.
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 100; ++x) {
            std::uint8_t* p = b->row(y) + 3 * x;
            p[0] = std::uint8_t(x), p[1] = std::uint8_t(y), p[2] = std::uint8_t(x ^ y);
        }
    }
    widget_resize(kCanvas, KeepSize, KeepSize, 150, 60);
    b = back_buffer(kCanvas);
    ASSERT_EQ(b->width, 150);
    ASSERT_EQ(b->height, 60);
    EXPECT_EQ(canvas()->geometry(), QRect(10, 10, 150, 60));
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 150; ++x) {
            std::array<int, 3> want =
                x < 100 ? std::array<int, 3>{x ^ y, y, x} : std::array<int, 3>{255, 255, 255};
            ASSERT_EQ(buffer_rgb(*b, x, y), want) << x << "," << y;
        }
    }
    widget_resize(kCanvas, 5, KeepSize, 30, KeepSize);
    b = back_buffer(kCanvas);
    EXPECT_EQ(canvas()->geometry(), QRect(5, 10, 30, 60));
    ASSERT_EQ(b->width, 30);
    EXPECT_EQ(buffer_rgb(*b, 29, 59), (std::array<int, 3>{29 ^ 59, 59, 29}));
}

TEST_F(CanvasBufferTest, ScreenShowsTheBufferUnscaledPixelForPixel) {
    for (int flags : {0, int(SunkenEdge)}) {
        ASSERT_NE(canvas_create(kCanvas, 10, 10, 123, 77, flags), 0);
        const Bitmap* b = back_buffer(kCanvas);
        std::mt19937 random(1234u + unsigned(flags));
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < 3 * b->width; ++x) b->row(y)[x] = std::uint8_t(random());
        canvas()->repaint();
        QImage shown = canvas()->grab().toImage();
        int edge = flags ? 2 : 0;
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < b->width; ++x)
                ASSERT_EQ(shown_rgb(shown, x + edge, y + edge), buffer_rgb(*b, x, y)) << x << "," << y;
    }
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(CanvasBufferTest, DrawingEndRepaintsTheCanvasAtOnce) {
    ASSERT_NE(canvas_create(kCanvas, 10, 10, 100, 80, 0), 0);
    QApplication::processEvents();
    PaintCounter counter;
    canvas()->installEventFilter(&counter);
    ASSERT_NE(drawing_begin(canvas_output(kCanvas)), 0);
    draw_box(10, 20, 30, 5, rgba(255, 0, 0, 255));
    EXPECT_EQ(counter.paints, 0);
    drawing_end();
    EXPECT_EQ(counter.paints, 1);
    canvas()->removeEventFilter(&counter);

    // Buffer bytes are blue, green, red in bottom-up rows.
    const Bitmap* b = back_buffer(kCanvas);
    EXPECT_EQ(b->bits[std::size_t(b->stride) * (79 - 20) + 3 * 10 + 2], 255);
    EXPECT_EQ(b->bits[std::size_t(b->stride) * (79 - 20) + 3 * 10 + 0], 0);
    QImage shown = canvas()->grab().toImage();
    EXPECT_EQ(shown_rgb(shown, 10, 20), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(shown_rgb(shown, 39, 24), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(shown_rgb(shown, 40, 24), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(shown_rgb(shown, 10, 25), (std::array<int, 3>{255, 255, 255}));
}

TEST_F(CanvasBufferTest, OutputNeedsACanvas) {
    EXPECT_EQ(canvas_output(kCanvas), nullptr);
    ASSERT_NE(button_create(kCanvas, 0, 0, 50, 20, "Not a canvas"), 0);
    EXPECT_EQ(canvas_output(kCanvas), nullptr);
    // Creating the canvas under the same number releases the button.
    ASSERT_NE(canvas_create(kCanvas, 0, 0, 50, 20, 0), 0);
    EXPECT_EQ(widget_kind(kCanvas), 33);
    EXPECT_EQ(top->findChildren<QAbstractButton*>().size(), 0);
    DrawingSession* session = canvas_output(kCanvas);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->width, 50);
    EXPECT_EQ(session->height, 20);
    EXPECT_EQ(session->depth, 24);
    drawing_end();
    widget_free(kCanvas);
    EXPECT_EQ(canvas_output(kCanvas), nullptr);
    EXPECT_EQ(widget_get_attribute(kCanvas, 1), 0);
}

TEST_F(CanvasBufferTest, SettingTheBackBufferCopiesABitmapAtItsNaturalSize) {
    ASSERT_NE(canvas_create(kCanvas, 10, 10, 4, 3, 0), 0);
    // A 32-bit 2 x 2 picture: top row red, green; bottom row blue, grey (alpha ignored).
    Bitmap* picture = bitmap_create(2, 2, 32);
    ASSERT_NE(picture, nullptr);
    const std::uint8_t top_row[] = {0, 0, 255, 0, 0, 255, 0, 9};
    const std::uint8_t bottom_row[] = {255, 0, 0, 255, 80, 80, 80, 128};
    std::memcpy(picture->row(0), top_row, 8);
    std::memcpy(picture->row(1), bottom_row, 8);
    widget_set_attribute(kCanvas, 1, bitmap_handle(picture));
    bitmap_destroy(picture);
    const Bitmap* b = back_buffer(kCanvas);
    EXPECT_EQ(buffer_rgb(*b, 0, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(buffer_rgb(*b, 1, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(buffer_rgb(*b, 0, 1), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(buffer_rgb(*b, 1, 1), (std::array<int, 3>{80, 80, 80}));
    EXPECT_EQ(buffer_rgb(*b, 2, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(buffer_rgb(*b, 0, 2), (std::array<int, 3>{255, 255, 255}));
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

using CanvasLookTest = testing_support::CanvasWindowTest;

// Pixels of row y (x from 0 to width - 1) of a grab that are not white.
int non_white_in_row(const QImage& image, int y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != qRgb(255, 255, 255);
    return count;
}

TEST_F(CanvasLookTest, FocusFrameIsDrawnTwoPixelsInsideWhileFocused) {
    ASSERT_NE(canvas_create(kCanvas, 10, 10, 60, 40, FocusFrame | TakesFocus), 0);
    QImage unfocused = canvas()->grab().toImage();
    for (int y = 0; y < 40; ++y) ASSERT_EQ(non_white_in_row(unfocused, y), 0) << y;
    widget_set_focus(kCanvas);
    ASSERT_TRUE(canvas()->hasFocus());
    QImage focused = canvas()->grab().toImage();
    // Every other pixel of the 56 along the top and bottom lines (x 2 to 57) is inverted.
    EXPECT_NEAR(non_white_in_row(focused, 2), 28, 1);
    EXPECT_NEAR(non_white_in_row(focused, 37), 28, 1);
    // Outside the frame and in the middle the buffer shows unchanged.
    EXPECT_EQ(non_white_in_row(focused, 0), 0);
    EXPECT_EQ(non_white_in_row(focused, 1), 0);
    EXPECT_LE(non_white_in_row(focused, 20), 2);
    EXPECT_EQ(focused.pixel(30, 20), qRgb(255, 255, 255));
    EXPECT_EQ(non_white_in_row(focused, 39), 0);
}

TEST_F(CanvasLookTest, DisablingEndsTheConfinement) {
    ASSERT_NE(canvas_create(kCanvas, 10, 10, 60, 40, ConfinePointer), 0);
    widget_set_attribute(kCanvas, 10, 1);
    ASSERT_EQ(widget_get_attribute(kCanvas, 10), 1);
    canvas()->setEnabled(false);
    EXPECT_EQ(widget_get_attribute(kCanvas, 10), 0);
}

TEST_F(CanvasBufferTest, PainterFillsOnlyTheExposedPartAndNoBufferIsKept) {
    ASSERT_NE(canvas_create(kCanvas, 0, 0, 200, 100, 0), 0);
    std::vector<QRect> asked;
    auto colour = [](int x, int y) {
        return 0xFF000000u | std::uint32_t(x % 251) << 16 | std::uint32_t(y % 241) << 8 | 7u;
    };
    ASSERT_TRUE(canvas_set_painter(kCanvas, [&](int x, int y, int w, int h, std::uint32_t* px, int stride) {
        asked.emplace_back(x, y, w, h);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) px[std::ptrdiff_t(r) * stride + c] = colour(x + c, y + r);
    }));
    EXPECT_EQ(back_buffer(kCanvas), nullptr);
    EXPECT_EQ(canvas_output(kCanvas), nullptr);
    // A canvas far larger than any buffer could be: still no pixels of its own.
    widget_resize(kCanvas, 0, 0, 30000, 20000);
    EXPECT_EQ(back_buffer(kCanvas), nullptr);
    asked.clear();
    const QRect part(29000, 19000, 90, 40);
    const QImage shown = canvas()->grab(part).toImage();
    ASSERT_FALSE(asked.empty());
    for (const QRect& r : asked) EXPECT_TRUE(part.contains(r)) << r.x() << "," << r.y() << " " << r.width();
    for (int y = 0; y < part.height(); y += 3)
        for (int x = 0; x < part.width(); x += 3)
            ASSERT_EQ(shown.pixel(x, y), colour(part.x() + x, part.y() + y)) << x << "," << y;
    EXPECT_FALSE(canvas_set_painter(kCanvas + 1, {}));
}

}  // namespace
}  // namespace morvane
