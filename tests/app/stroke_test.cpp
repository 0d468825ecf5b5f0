// A brush stroke paints each pixel once, at the highest coverage its dabs give it, over the
// picture of the press: slow and fast strokes along one path give the same pixels, equal to
// a reference that takes the largest tip coverage per pixel and blends once.
#include <algorithm>
#include <vector>

#include "editor_fixture.h"

namespace morvane::testing {
namespace {

struct Point {
    int x, y;
};

class StrokeTest : public EditorFixture {
  protected:
    // Every pixel different, a quarter of them transparent, the others of many alphas.
    static std::vector<Color> pattern(int w, int h) {
        std::vector<Color> p(std::size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p[std::size_t(y) * w + x] = rgba(x & 255, y & 255, (x * y) & 255,
                                                 (x / 16 + y / 16) % 4 == 0 ? 0 : (x * 7 + y * 3) % 256);
        return p;
    }
    static void put(const std::vector<Color>& pixels) {
        Bitmap* b = bitmap_from_handle(image_handle(DocumentImage));
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < b->width; ++x) {
                const Color c = pixels[std::size_t(y) * b->width + x];
                std::uint8_t* p = b->row(y) + 4 * x;
                p[0] = color_blue(c), p[1] = color_green(c), p[2] = color_red(c), p[3] = c >> 24;
            }
    }
    static std::vector<Color> take() {
        const Bitmap* b = bitmap_from_handle(image_handle(DocumentImage));
        std::vector<Color> out;
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < b->width; ++x) out.push_back(bitmap_pixel(*b, x, y));
        return out;
    }
    // A stroke through `points`: the press at the first, moves to the others, the release.
    void stroke(const std::vector<Point>& points) {
        press(points.front().x, points.front().y);
        for (std::size_t i = 1; i < points.size(); ++i) move(points[i].x, points[i].y);
        release(points.back().x, points.back().y);
    }

    // The Blend formula written out; Keep Alpha leaves alpha.
    static Color blend(Color over, Color under, bool keep_alpha) {
        const std::uint32_t sa = over >> 24, da = under >> 24;
        if (sa == 0) return under;
        if (da == 0) return (over & 0xFFFFFFu) | (keep_alpha ? 0u : sa << 24);
        const std::uint32_t d = sa * 255 + (255 - sa) * da;
        std::uint32_t out[3];
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t s = (over >> (8 * c)) & 255, p = (under >> (8 * c)) & 255;
            out[c] = (s * sa * 255 + p * (255 - sa) * da) / d;
        }
        const std::uint32_t a = keep_alpha ? da : d / 255;
        return rgba(out[0], out[1], out[2], a);
    }
};

TEST_F(StrokeTest, SlowAndFastStrokesMatchTheOnceBlendedReference) {
    pump_ms_ = 0;
    struct Case {
        int kind;  // 0 brush, 1 pencil, 2 eraser
        int tip;   // 0 circle, 1 box
        int keep_alpha;
    };
    const Case cases[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 1}, {0, 0, 1}, {2, 0, 0}, {2, 1, 0}};
    const int w = image_width(DocumentImage), h = image_height(DocumentImage);
    const std::vector<Color> original = pattern(w, h);
    // An L: 80 pixels right, 80 down. Dabs of the 32-pixel tip every 8 pixels of the path.
    std::vector<Point> slow, fast = {{40, 60}, {120, 60}, {120, 140}};
    for (int x = 40; x <= 120; ++x) slow.push_back({x, 60});
    for (int y = 61; y <= 140; ++y) slow.push_back({120, y});
    std::vector<Point> dabs;
    for (int x = 40; x <= 120; x += 8) dabs.push_back({x, 60});
    for (int y = 68; y <= 140; y += 8) dabs.push_back({120, y});

    answer_color(rgb(200, 40, 90));
    click(2);
    change_widget(11, 32, 4);
    change_widget(13, 117, 0);  // 46 %
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "kind " << c.kind << " tip " << c.tip << " keep " << c.keep_alpha);
        change_widget(14, c.kind);
        change_widget(12, c.tip);
        change_widget(15, c.keep_alpha, 0);
        // The dab's coverage: the tip picture, or for the eraser the pixels one click erases.
        std::vector<Color> tip;
        int tw = 0, th = 0;
        if (c.kind == 2) {
            put(std::vector<Color>(std::size_t(w) * h, 0xFF000000u));
            press(128, 128);
            release(128, 128);
            tw = th = 65;
            for (int y = 0; y < th; ++y)
                for (int x = 0; x < tw; ++x)
                    tip.push_back(pixel(DocumentImage, 128 - 32 + x, 128 - 32 + y) >> 24 == 0 ? 0xFF000000u
                                                                                              : 0u);
        } else {
            tw = image_width(BrushImage), th = image_height(BrushImage);
            for (int y = 0; y < th; ++y)
                for (int x = 0; x < tw; ++x) tip.push_back(pixel(BrushImage, x, y));
        }
        std::vector<Color> best(std::size_t(w) * h, 0);  // the highest-coverage tip pixel
        for (const Point& d : dabs) {
            for (int y = 0; y < th; ++y)
                for (int x = 0; x < tw; ++x) {
                    const int px = d.x - tw / 2 + x, py = d.y - th / 2 + y;
                    if (px < 0 || py < 0 || px >= w || py >= h) continue;
                    Color& b = best[std::size_t(py) * w + px];
                    if (tip[std::size_t(y) * tw + x] >> 24 > b >> 24) b = tip[std::size_t(y) * tw + x];
                }
        }
        std::vector<Color> expected = original;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (best[i] >> 24 == 0) continue;
            expected[i] = c.kind == 2 ? original[i] & 0xFFFFFFu : blend(best[i], original[i], c.keep_alpha);
        }
        for (const auto* path : {&slow, &fast}) {
            put(original);
            stroke(*path);
            const std::vector<Color> got = take();
            int wrong = 0;
            for (std::size_t i = 0; i < got.size(); ++i) {
                if (got[i] != expected[i] && ++wrong <= 3)
                    ADD_FAILURE() << (path == &slow ? "slow" : "fast") << " pixel " << i % w << "," << i / w
                                  << ": " << std::hex << got[i] << " expected " << expected[i];
            }
            EXPECT_EQ(wrong, 0);
        }
    }
}

}  // namespace
}  // namespace morvane::testing
