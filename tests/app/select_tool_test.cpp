// The Select tool on the canvas: rectangles from a drag (clipped, snapped to the cells),
// a double click's cell, a click that deselects, and painting kept inside the selection.
#include "app/select/select_tool.h"

#include "editor_fixture.h"
#include "shell/statusbar.h"

namespace morvane::testing {
namespace {

class SelectToolTest : public EditorFixture {
  protected:
    void choose_select() { click(SelectButton); }
    void set_grid(int size, int offset, int gap) {
        state_.view.grid_width = state_.view.grid_height = static_cast<std::int16_t>(size);
        state_.view.grid_offset = static_cast<std::int16_t>(offset);
        state_.view.grid_gap = static_cast<std::int16_t>(gap);
    }
    void double_click(int x, int y) {
        press(x, y);
        release(x, y);
        send_mouse(QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        release(x, y);
    }
    Rect selected() const { return state_.document.selection.rect; }
    static bool same(const Rect& a, const Rect& b) {
        return (a.empty() && b.empty()) || (a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1);
    }
    std::vector<Color> picture() {
        std::vector<Color> out;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) out.push_back(pixel(DocumentImage, x, y));
        return out;
    }
    void fill_picture_directly(Color c) {
        Bitmap* b = state_.document.picture_or_null();
        ASSERT_NE(b, nullptr);
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < b->width; ++x) {
                std::uint8_t* p = b->row(y) + x * 4;  // B, G, R, A; a Color is 0xAABBGGRR
                p[0] = std::uint8_t(c >> 16), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c);
                p[3] = std::uint8_t(c >> 24);
            }
        document_start(state_, "");
        view_redraw(state_);
    }
};

std::string rect_text(const Rect& r) {
    return std::to_string(r.x0) + "," + std::to_string(r.y0) + "-" + std::to_string(r.x1) + "," +
           std::to_string(r.y1);
}

TEST_F(SelectToolTest, DragSelectsFromPressToPointerClippedAndSnapped) {
    struct Case {
        int size, offset, gap;
        bool snap;
        int ax, ay, bx, by;
        Rect want;
        const char* status;
    };
    const Case cases[] = {
        {32, 0, 0, false, 10, 20, 3, 5, {3, 5, 11, 21}, "Sel : 3,5 8 x 16"},
        // The pointer beyond the picture's corner: cut to the 256 x 256 picture.
        {32, 0, 0, false, 250, 240, 300, 270, {250, 240, 256, 256}, "Sel : 250,240 6 x 16"},
        {32, 0, 0, true, 10, 20, 40, 33, {0, 0, 64, 64}, "Sel : 0,0 64 x 64"},
        // Cells of 16 at 4 + 18k: the pointer in the gap after the first cell adds no cell.
        {16, 4, 2, true, 5, 5, 21, 6, {4, 4, 20, 20}, "Sel : 4,4 16 x 16"},
        {16, 4, 2, true, 19, 30, 40, 30, {4, 22, 56, 38}, "Sel : 4,22 52 x 16"},
        // Only margin and gap pixels: no cell to snap to, the drag stays as it is.
        {16, 4, 2, true, 20, 0, 21, 3, {20, 0, 22, 4}, "Sel : 20,0 2 x 4"},
        // 48-pixel cells: the partial fifth column (240..255) is no cell.
        {48, 0, 0, true, 230, 10, 250, 12, {192, 0, 240, 48}, "Sel : 192,0 48 x 48"},
    };
    choose_select();
    ASSERT_EQ(state_.tools.current_tool, ToolSelect);
    EXPECT_EQ(widget_get_state(SelectButton), 1);
    EXPECT_EQ(statusbar_text(MainStatusBar, 3), "");
    for (const Case& c : cases) {
        set_grid(c.size, c.offset, c.gap);
        if (state_.tools.snap_to_grid != c.snap) choose_menu(MenuSnapToGrid);
        press(255, 0), release(255, 0);  // a click outside the last selection deselects
        ASSERT_TRUE(selected().empty());
        drag(c.ax, c.ay, c.bx, c.by);
        EXPECT_TRUE(same(selected(), c.want)) << rect_text(selected()) << " for " << c.ax << "," << c.ay;
        EXPECT_EQ(statusbar_text(MainStatusBar, 3), c.status);
    }
    // Another tool lets the Select button go.
    click(ToolLine);
    EXPECT_EQ(widget_get_state(SelectButton), 0);
}

TEST_F(SelectToolTest, DoubleClickSelectsTheCellAndAClickOutsideDeselects) {
    // Cells of 16 pixels at 4 + 18k.
    struct Case {
        int x, y;
        Rect want;  // empty: the click before the double click deselected, no cell followed
    };
    const Case cases[] = {
        {4, 4, {4, 4, 20, 20}},          {37, 25, {22, 22, 38, 38}},      {19, 19, {4, 4, 20, 20}},
        {235, 235, {220, 220, 236, 236}}, {240, 250, {238, 238, 254, 254}}, {21, 10, {}},
        {2, 2, {}},                       {237, 100, {}},                  {255, 255, {}},
    };
    choose_select();
    set_grid(16, 4, 2);
    for (const Case& c : cases) {
        drag(100, 100, 120, 110);  // a selection that every case's first click leaves
        double_click(c.x, c.y);
        EXPECT_TRUE(same(selected(), c.want)) << rect_text(selected()) << " at " << c.x << "," << c.y;
    }
    double_click(4, 4);
    press(10, 10), release(10, 10);  // inside: kept
    EXPECT_TRUE(same(selected(), Rect{4, 4, 20, 20}));
    press(30, 10), release(30, 10);  // outside: gone
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(statusbar_text(MainStatusBar, 3), "");
}

TEST_F(SelectToolTest, PaintingChangesOnlySelectedPixels) {
    // Every tool paints once without a selection and once with one: inside it the pixels
    // must be those of the free painting, outside it the picture as it was.
    const Rect s{40, 40, 100, 90};
    struct Case {
        const char* name;
        int button, kind;
        int ax, ay, bx, by;
        bool nothing;  // the step starts outside the selection and may change nothing
    };
    const Case cases[] = {
        {"brush", ToolPaint, 0, 20, 60, 120, 70, false},  {"pencil", ToolPaint, 1, 60, 20, 70, 120, false},
        {"eraser", ToolPaint, 2, 20, 20, 120, 110, false}, {"line", ToolLine, 0, 20, 20, 120, 110, false},
        {"box", ToolBox, 0, 60, 60, 120, 110, false},      {"ellipse", ToolEllipse, 0, 70, 65, 120, 100, false},
        {"fill", ToolFill, 0, 70, 60, 70, 60, false},      {"fill outside", ToolFill, 0, 10, 10, 10, 10, true},
    };
    const Color ground = rgba(200, 100, 50, 255);
    change_widget(11, 9, 4);  // size 9
    answer_color(rgb(0, 0, 255));
    click(ColourButton);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fill_picture_directly(ground);
        const std::vector<Color> before = picture();
        change_widget(KindCombo, c.kind);
        click(c.button);
        drag(c.ax, c.ay, c.bx, c.by);
        const std::vector<Color> free = picture();
        choose_menu(MenuUndo);
        ASSERT_EQ(picture(), before);
        choose_select();
        drag(s.x0, s.y0, s.x1 - 1, s.y1 - 1);
        ASSERT_TRUE(same(selected(), s));
        click(c.button);
        drag(c.ax, c.ay, c.bx, c.by);
        const std::vector<Color> clipped = picture();
        int changed_inside = 0, changed_outside = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const std::size_t i = std::size_t(y) * 256 + std::size_t(x);
                const bool inside = x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1;
                (inside ? changed_inside : changed_outside) += free[i] != before[i];
                const Color want = inside && !c.nothing ? free[i] : before[i];
                ASSERT_EQ(clipped[i], want) << x << "," << y;
            }
        }
        // The free painting crossed the selection's edge: the case tests the clip.
        EXPECT_GT(changed_inside, 0);
        EXPECT_GT(changed_outside, 0);
        choose_select();
        press(200, 200), release(200, 200);  // deselect
    }
}

}  // namespace
}  // namespace morvane::testing
