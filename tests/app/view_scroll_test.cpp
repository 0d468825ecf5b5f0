// The canvas as the visible part of the view: random zoom, scroll and resize sequences keep
// the picture in view (centred when smaller, the zoom's centre kept when larger), painting
// lands on the pixel shown, 3200 % on an 8192 x 8192 picture, the Zoom submenu and the
// status bar's document size.
#include <QAbstractScrollArea>
#include <QImageReader>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <random>

#include "app/startup/desktop.h"
#include "app/tools/tool.h"
#include "canvas/canvas.h"
#include "editor_fixture.h"
#include "shell/statusbar.h"
#include "shell/window.h"

namespace morvane::testing {
namespace {

class ViewScrollTest : public EditorFixture {
  protected:
    // Every pixel names itself: red x & 255, green y & 255, blue the high bits of both.
    static Color named(int x, int y) { return rgb(x & 255, y & 255, (x >> 8) | (y >> 8) << 4); }
    static bool decode(QRgb c, int& x, int& y) {
        if (c == qRgb(255, 255, 255)) return false;
        x = qRed(c) | (qBlue(c) & 15) << 8;
        y = qGreen(c) | (qBlue(c) >> 4) << 8;
        return true;
    }
    void patterned(int w, int h) {
        state_.view.base_width = w;
        state_.view.base_height = h;
        document_recreate(state_);
        Bitmap* b = state_.document.picture_or_null();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Color c = named(x, y);
                std::uint8_t* p = b->row(y) + x * 4;
                p[0] = std::uint8_t(color_blue(c)), p[1] = std::uint8_t(color_green(c));
                p[2] = std::uint8_t(color_red(c)), p[3] = 255;
            }
        }
        view_layout(state_, true);
        pump(0);
    }
    QAbstractScrollArea* area() { return static_cast<QAbstractScrollArea*>(widget_qt(ViewScrollArea)); }
    QImage shot() { return canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void wheel_at(QPoint at, int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent event(QPointF(at), canvas()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &event);
        pump(0);
    }
};

// Where the picture shows on the canvas, from the pixels alone.
struct Shown {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
};

Shown shown(const QImage& image) {
    Shown s;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFFu) == 0xFFFFFFu) continue;
            s.x0 = std::min(s.x0, x), s.x1 = std::max(s.x1, x);
            s.y0 = std::min(s.y0, y), s.y1 = std::max(s.y1, y);
        }
    }
    return s;
}

TEST_F(ViewScrollTest, RandomZoomScrollAndResizeKeepThePictureInView) {
    std::mt19937 rng(20261208);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int menus[] = {MenuZoom3200, MenuZoom1600, MenuZoom800, MenuZoom500, MenuZoom400,
                         MenuZoom300,  MenuZoom200,  MenuZoom100, MenuZoom50,  MenuZoom25,
                         MenuZoomIn,   MenuZoomOut,  ZoomKeyIn,   ZoomKeyOut,  ZoomKeyReset};
    const QSize pictures[] = {{40, 30}, {256, 256}, {700, 90}, {1500, 1200}};
    auto* window = reinterpret_cast<QWidget*>(window_handle(MainWindow));
    choose_menu(MenuGrid);  // no grid lines over the named pixels
    patterned(256, 256);
    state_.tools.brush_tool = KindPencil;
    state_.tools.brush_size = 1;
    stamp_rebuild(state_, true);
    for (int step = 0; step < 90; ++step) {
        const QImage before = shot();
        const int zoom_before = state_.view.zoom;
        QPoint anchor(-1, -1);  // the canvas point a zoom keeps, when the step zooms
        const int what = pick(10);
        if (what < 3) {
            const int id = menus[pick(std::size(menus))];
            anchor = QPoint(canvas()->width() / 2, canvas()->height() / 2);
            choose_menu(id);
        } else if (what == 3) {
            anchor = QPoint(pick(canvas()->width()), pick(canvas()->height()));
            wheel_at(anchor, (pick(2) ? 120 : -120) * (1 + pick(2)), Qt::ControlModifier);
        } else if (what == 4) {
            wheel_at(QPoint(pick(canvas()->width()), pick(canvas()->height())), 120 * (pick(7) - 3),
                     pick(2) ? Qt::ShiftModifier : Qt::NoModifier);
        } else if (what == 5) {
            // The user drags a scroll bar.
            QScrollBar* bar = pick(2) ? area()->horizontalScrollBar() : area()->verticalScrollBar();
            bar->setValue(bar->minimum() + pick(bar->maximum() - bar->minimum() + 1));
            pump(0);
        } else if (what == 6) {
            window->resize(500 + pick(900), 400 + pick(700));
            event_post(SizeWindowEvent, 0, MainWindow, 0);
            pump(0);
        } else if (what == 7) {
            const QPoint from(pick(canvas()->width()), pick(canvas()->height()));
            const QPoint to(pick(canvas()->width()), pick(canvas()->height()));
            send_canvas_mouse(QEvent::MouseButtonPress, from, Qt::MiddleButton, Qt::MiddleButton, {});
            pump(0);
            send_canvas_mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::MiddleButton, {});
            pump(0);
            send_canvas_mouse(QEvent::MouseButtonRelease, to, Qt::MiddleButton, Qt::NoButton, {});
            pump(0);
        } else if (what == 8) {
            const QSize p = pictures[pick(std::size(pictures))];
            patterned(p.width(), p.height());
        } else {
            // A pencil dot where the canvas shows a document pixel lands on that pixel only.
            const Shown s = shown(before);
            ASSERT_FALSE(s.empty());
            const QPoint at(s.x0 + pick(s.x1 - s.x0 + 1), s.y0 + pick(s.y1 - s.y0 + 1));
            int dx = 0, dy = 0;
            ASSERT_TRUE(decode(before.pixel(at), dx, dy));
            send_canvas_mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, {});
            pump(0);
            send_canvas_mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, {});
            pump(0);
            for (int y = std::max(dy - 2, 0); y <= std::min<int>(dy + 2, int(state_.view.base_height) - 1);
                 ++y) {
                for (int x = std::max(dx - 2, 0); x <= std::min<int>(dx + 2, int(state_.view.base_width) - 1);
                     ++x) {
                    const Color expected =
                        x == dx && y == dy ? rgba(0, 0, 0, 255) : (named(x, y) | 0xFF000000u);
                    ASSERT_EQ(pixel(DocumentImage, x, y), expected) << step << ": " << x << "," << y;
                }
            }
            Bitmap* b = state_.document.picture_or_null();
            std::uint8_t* p = b->row(dy) + dx * 4;
            const Color c = named(dx, dy);
            p[0] = std::uint8_t(color_blue(c)), p[1] = std::uint8_t(color_green(c)),
            p[2] = std::uint8_t(color_red(c));
            view_redraw(state_);
        }
        pump(0);

        // The canvas is the scroll area's whole visible part.
        const QSize visible = area()->viewport()->size();
        ASSERT_EQ(canvas()->geometry(), QRect(QPoint(0, 0), visible)) << step;
        const QImage after = shot();
        const Shown s = shown(after);
        ASSERT_FALSE(s.empty()) << "step " << step << ": no picture in view";
        // A picture narrower (lower) than the canvas shows whole in its middle; a larger one
        // covers the canvas.
        const int vw = int(state_.view.base_width) * state_.view.zoom / 100,
                  vh = int(state_.view.base_height) * state_.view.zoom / 100;
        const int w = visible.width(), h = visible.height();
        if (vw <= w) {
            EXPECT_EQ(s.x0, (w - vw) / 2) << step;
            EXPECT_EQ(s.x1, (w - vw) / 2 + vw - 1) << step;
        } else {
            EXPECT_EQ(s.x0, 0) << step;
            EXPECT_EQ(s.x1, w - 1) << step;
        }
        if (vh <= h) {
            EXPECT_EQ(s.y0, (h - vh) / 2) << step;
            EXPECT_EQ(s.y1, (h - vh) / 2 + vh - 1) << step;
        } else {
            EXPECT_EQ(s.y0, 0) << step;
            EXPECT_EQ(s.y1, h - 1) << step;
        }
        int x = 0, y = 0;
        ASSERT_TRUE(decode(after.pixel(s.x0, s.y0), x, y));
        if (vw <= w) {
            EXPECT_EQ(x, 0) << step;
        }
        if (vh <= h) {
            EXPECT_EQ(y, 0) << step;
        }

        // A zoom keeps the document pixel at its centre, unless the picture's edge stops it.
        if (anchor.x() < 0 || state_.view.zoom == zoom_before) continue;
        int bx = 0, by = 0, ax = 0, ay = 0;
        if (!decode(before.pixel(anchor), bx, by) || !decode(after.pixel(anchor), ax, ay)) continue;
        int lx = 0, ly = 0, rx = 0, ry = 0;
        decode(after.pixel(0, 0), lx, ly);
        decode(after.pixel(w - 1, h - 1), rx, ry);
        const int slack = 1 + 100 / std::min(zoom_before, int(state_.view.zoom));
        const int last_x = (vw - 1) * 100 / state_.view.zoom, last_y = (vh - 1) * 100 / state_.view.zoom;
        if (vw > w && lx > 0 && rx < last_x) {
            EXPECT_LE(std::abs(ax - bx), slack) << step << " " << zoom_before;
        }
        if (vh > h && ly > 0 && ry < last_y) {
            EXPECT_LE(std::abs(ay - by), slack) << step << " " << zoom_before;
        }
    }
}

TEST_F(ViewScrollTest, SmallPictureCentredAfterZoomingOutAndBackIn) {
    // Ctrl+minus three times and Ctrl+plus three times on a 256 x 256 sheet: the whole sheet
    // is in view, its top-left corner too, in the middle of the canvas.
    choose_menu(MenuGrid);
    patterned(256, 256);
    for (int id : {int(ZoomKeyOut), int(ZoomKeyOut), int(ZoomKeyOut), int(ZoomKeyIn), int(ZoomKeyIn),
                   int(ZoomKeyIn), int(MenuZoom100)}) {
        choose_menu(id);
    }
    ASSERT_EQ(state_.view.zoom, 100);
    const QImage image = shot();
    const Shown s = shown(image);
    const int w = canvas()->width(), h = canvas()->height();
    EXPECT_EQ(s.x0, (w - 256) / 2);
    EXPECT_EQ(s.y0, (h - 256) / 2);
    EXPECT_EQ(s.x1 - s.x0, 255);
    EXPECT_EQ(s.y1 - s.y0, 255);
    int x = -1, y = -1;
    ASSERT_TRUE(decode(image.pixel(s.x0, s.y0), x, y));
    EXPECT_EQ(QPoint(x, y), QPoint(0, 0));
    ASSERT_TRUE(decode(image.pixel(s.x1, s.y1), x, y));
    EXPECT_EQ(QPoint(x, y), QPoint(255, 255));
}

TEST_F(ViewScrollTest, Zoom3200On8192PicturePaintsOnePixelThatIsSaved) {
    // A picture of 64 x 64 blocks of colour, opaque.
    state_.view.base_width = state_.view.base_height = 8192;
    document_recreate(state_);
    Bitmap* b = state_.document.picture_or_null();
    for (int y = 0; y < 8192; ++y) {
        std::uint8_t* row = b->row(y);
        for (int x = 0; x < 8192; ++x) {
            row[4 * x] = std::uint8_t(x >> 6), row[4 * x + 1] = std::uint8_t(y >> 6), row[4 * x + 2] = 200;
            row[4 * x + 3] = 255;
        }
    }
    view_layout(state_, true);
    choose_menu(MenuZoom3200);  // no question: any picture zooms
    ASSERT_EQ(state_.view.zoom, 3200);
    EXPECT_EQ(state_.view.view_width, 262144);
    EXPECT_EQ(statusbar_text(0, 1), "Doc : 8192/8192");
    EXPECT_LE(canvas()->width(), 800);  // the canvas is the visible part, not the view
    // Document pixel (5000, 6000) covers view pixels 160000..160031 and 192000..192031; with
    // the view scrolled to (159900, 191880) it shows at canvas (100..131, 120..151).
    view_scroll_to(state_, 159900, 191880);
    ASSERT_EQ(state_.view.scroll_x, 159900);
    ASSERT_EQ(state_.view.scroll_y, 191880);
    state_.tools.brush_tool = KindPencil;
    state_.tools.brush_size = 1;
    stamp_rebuild(state_, true);
    send_canvas_mouse(QEvent::MouseButtonPress, QPoint(131, 120), Qt::LeftButton, Qt::LeftButton, {});
    pump(0);
    send_canvas_mouse(QEvent::MouseButtonRelease, QPoint(131, 120), Qt::LeftButton, Qt::NoButton, {});
    pump();
    EXPECT_EQ(canvas_pixel(160031, 192000), 0u);  // shown black where the pointer was
    EXPECT_EQ(canvas_pixel(160032, 192000), rgb(200, 6000 >> 6, 5001 >> 6));

    const std::string file = (dir_ / "big.png").string();
    answer_file(file);
    choose_menu(MenuSaveAs);
    QImageReader::setAllocationLimit(0);  // 256 MiB of pixels
    QImage saved(QString::fromStdString(file));
    ASSERT_EQ(saved.size(), QSize(8192, 8192));
    saved = saved.convertToFormat(QImage::Format_ARGB32);
    int changed = 0;
    for (int y = 0; y < 8192; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(saved.constScanLine(y));
        for (int x = 0; x < 8192; ++x) {
            const QRgb expected =
                x == 5000 && y == 6000 ? qRgba(0, 0, 0, 255) : qRgba(200, y >> 6, x >> 6, 255);
            if (row[x] != expected) ++changed;
        }
    }
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(saved.pixel(5000, 6000), qRgba(0, 0, 0, 255));
}

TEST_F(ViewScrollTest, ZoomSubmenuListsTheNewZoomsAboveFiveHundredInOrder) {
    QMenu* zoom = nullptr;
    auto* window = reinterpret_cast<QWidget*>(window_handle(MainWindow));
    for (QMenu* m : window->findChildren<QMenu*>())
        if (m->title() == "Zoom") zoom = m;
    ASSERT_NE(zoom, nullptr);
    const struct {
        const char* caption;
        int zoom;
    } items[] = {{"Zoom 3200%", 3200}, {"Zoom 1600%", 1600}, {"Zoom 800%", 800}, {"Zoom 500%", 500},
                 {"Zoom 400%", 400},   {"Zoom 300%", 300},   {"Zoom 200%", 200}, {"Zoom 100%", 100},
                 {"Zoom 50%", 50},     {"Zoom 25%", 25}};
    const QList<QAction*> actions = zoom->actions();
    ASSERT_EQ(actions.size(), qsizetype(std::size(items)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        EXPECT_TRUE(actions[i]->text().startsWith(items[i].caption)) << actions[i]->text().toStdString();
        actions[i]->trigger();
        pump(0);
        EXPECT_EQ(state_.view.zoom, items[i].zoom) << items[i].caption;
        EXPECT_EQ(statusbar_text(0, 1), "Doc : 256/256");
    }
    // Zoom + and Zoom - keep 5 % steps up to the top; keys and the wheel step through presets.
    choose_menu(MenuZoom3200);
    choose_menu(MenuZoomIn);
    EXPECT_EQ(state_.view.zoom, 3200);
    choose_menu(MenuZoomOut);
    EXPECT_EQ(state_.view.zoom, 3195);
    const int steps[] = {2400, 1600, 1200, 800, 600, 500};
    for (int expected : steps) {
        choose_menu(ZoomKeyOut);
        EXPECT_EQ(state_.view.zoom, expected);
    }
    choose_menu(ZoomKeyIn);
    EXPECT_EQ(state_.view.zoom, 600);
    wheel_at(QPoint(10, 10), 120, Qt::ControlModifier);
    EXPECT_EQ(state_.view.zoom, 800);
}

TEST_F(ViewScrollTest, StatusBarShowsThePicturesOwnSize) {
    const struct {
        int menu;
        const char* zoom;
    } cases[] = {{MenuZoom400, "Zoom : 400 %"}, {MenuZoom25, "Zoom : 25 %"}, {MenuZoom1600, "Zoom : 1600 %"}};
    state_.view.base_width = 300;
    state_.view.base_height = 77;
    document_recreate(state_);
    for (const auto& c : cases) {
        choose_menu(c.menu);
        EXPECT_EQ(statusbar_text(0, 1), "Doc : 300/77");
        EXPECT_EQ(statusbar_text(0, 0), c.zoom);
    }
}

}  // namespace
}  // namespace morvane::testing
