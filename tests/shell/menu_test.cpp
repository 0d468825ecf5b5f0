// Drawn menus: building, choosing, check marks, typed characters and the painted look.
#include "shell/menu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QStyleOptionMenuItem>
#include <QTest>
#include <vector>

#include "image/bitmap.h"
#include "shell/events.h"
#include "shell/menu_style.h"
#include "shell/shell.h"
#include "shell/shell_window.h"
#include "shell/window.h"

namespace morvane {
namespace {

// A fixed palette so that painted colours are known: Windows-like highlight.
QPalette test_palette() {
    QPalette pal;
    pal.setColor(QPalette::Window, QColor(240, 240, 240));
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::Highlight, QColor(0, 120, 215));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Dark, QColor(160, 160, 160));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
    return pal;
}

QMenu* drop_down(int index) {
    return shell_window(0)->menu_bar()->actions().at(index)->menu();
}

QAction* action_named(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

std::vector<std::int64_t> menu_sources() {
    std::vector<std::int64_t> out;
    while (event_queue_size() > 0)
        if (event_wait(0) == MenuEvent) out.push_back(event_source());
    return out;
}

class MenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(shell_init());
        ASSERT_NE(window_open(0, 0, 0, 800, 600, "Morvane", 0xCF0001), 0);
        ASSERT_NE(menu_create_drawn(0, window_handle(0), GradientStyle), 0);
        menu_title("File");
        menu_item(1, "New");
        menu_item(2, "Open");
        menu_separator();
        menu_open_submenu("Recent");
        menu_item(30, "a.png");
        menu_close_submenu();
        menu_item(5, "Quit");
        menu_title("View");
        menu_item(60, "Zoom +");
        menu_item(61, "Zoom -");
        menu_item(70, "Grid\tCtrl+G");
        menu_item(71, "Sh&ow tiles");
        menu_item(72, "Grid");
        event_queue_clear();
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w)) m->hide();
        window_close_all();
        event_queue_clear();
    }

    // Pops a drop-down up at a fixed place and waits until it is shown.
    QMenu* open(int index) {
        QMenu* menu = drop_down(index);
        menu->setPalette(test_palette());
        menu->popup(QPoint(100, 100));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        return menu;
    }
};

TEST_F(MenuTest, StructureFollowsTheBuildingCalls) {
    const QList<QAction*> titles = shell_window(0)->menu_bar()->actions();
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0]->text(), QString("File"));
    EXPECT_EQ(titles[1]->text(), QString("View"));
    QStringList file;
    for (QAction* a : drop_down(0)->actions()) file << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(file, (QStringList{"New", "Open", "-", "Recent", "Quit"}));
    QMenu* recent = action_named(drop_down(0), "Recent")->menu();
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions()[0]->text(), QString("a.png"));
    menu_close_submenu();  // nothing pushed any more: harmless
    // Unknown numbers and handles.
    EXPECT_EQ(menu_create_drawn(3, 12345, 1), 0);
    menu_set_item_checked(9, 70, 1);
    EXPECT_EQ(menu_item_checked(9, 70), 0);
}

TEST_F(MenuTest, ClickingAnItemPostsItsMenuEvent) {
    QMenu* menu = open(1);
    QAction* zoom_out = action_named(menu, "Zoom -");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(zoom_out).center());
    int menu_events = 0;
    while (event_queue_size() > 0) {
        if (event_wait(0) != MenuEvent) continue;
        ++menu_events;
        EXPECT_EQ(event_source(), 61);
        EXPECT_EQ(event_window(), 0);
        EXPECT_EQ(event_subtype(), 0);
    }
    EXPECT_EQ(menu_events, 1);
}

TEST_F(MenuTest, CheckMarkIsSetByTheProgramOnly) {
    menu_set_item_checked(0, 70, 1);
    EXPECT_EQ(menu_item_checked(0, 70), 1);
    QMenu* menu = open(1);
    QAction* grid = action_named(menu, "Grid\tCtrl+G");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(grid).center());
    EXPECT_EQ(menu_sources(), std::vector<std::int64_t>{70});
    EXPECT_EQ(menu_item_checked(0, 70), 1) << "choosing does not flip the mark";
    menu_set_item_checked(0, 70, 0);
    EXPECT_EQ(menu_item_checked(0, 70), 0);
    EXPECT_EQ(grid->text(), QString("Grid\tCtrl+G"));
}

TEST_F(MenuTest, GreyedItemPostsNothingUntilEnabledAgain) {
    EXPECT_EQ(menu_item_enabled(0, 61), 1);
    menu_set_item_enabled(0, 61, 0);
    EXPECT_EQ(menu_item_enabled(0, 61), 0);
    QMenu* menu = open(1);
    QAction* zoom_out = action_named(menu, "Zoom -");
    EXPECT_FALSE(zoom_out->isEnabled());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(zoom_out).center());
    EXPECT_EQ(menu_sources(), std::vector<std::int64_t>{});
    menu_set_item_enabled(0, 61, 1);
    menu = open(1);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(zoom_out).center());
    EXPECT_EQ(menu_sources(), std::vector<std::int64_t>{61});
    // Unknown menus and items.
    menu_set_item_enabled(9, 61, 0);
    EXPECT_EQ(menu_item_enabled(9, 61), 0);
    EXPECT_EQ(menu_item_enabled(0, 999), 0);
}

TEST_F(MenuTest, TypedCharacterExecutesTheMatchingItem) {
    QMenu* menu = open(1);
    QTest::keyClick(menu, Qt::Key_Z);  // first caption starting with "z"
    EXPECT_EQ(menu_sources(), std::vector<std::int64_t>{60});
    EXPECT_FALSE(menu->isVisible());

    menu = open(1);
    QTest::keyClick(menu, Qt::Key_O);  // "&o" wins over captions starting with "o"
    EXPECT_EQ(menu_sources(), std::vector<std::int64_t>{71});

    menu = open(1);
    QTest::keyClick(menu, Qt::Key_G, Qt::ShiftModifier);  // compared without case
    EXPECT_EQ(menu_sources(), std::vector<std::int64_t>{70});

    menu = open(1);
    QTest::keyClick(menu, Qt::Key_Q);  // nothing matches in this menu
    EXPECT_TRUE(menu_sources().empty());
    EXPECT_TRUE(menu->isVisible());
}

TEST_F(MenuTest, ItemMeasuring) {
    const DrawnMenuStyle& style = *drawn_menu_style(true);
    QStyleOptionMenuItem opt;
    opt.fontMetrics = QFontMetrics(QApplication::font());
    opt.menuItemType = QStyleOptionMenuItem::Normal;
    opt.text = "Grid\tCtrl+G";
    const QSize with_tab = style.sizeFromContents(QStyle::CT_MenuItem, &opt, QSize(), nullptr);
    opt.text = "Grid Ctrl+G";
    const QSize plain = style.sizeFromContents(QStyle::CT_MenuItem, &opt, QSize(), nullptr);
    EXPECT_EQ(with_tab.width() - plain.width(), 20);
    EXPECT_EQ(plain.width(), opt.fontMetrics.horizontalAdvance("Grid Ctrl+G") + 36);
    EXPECT_EQ(plain.height(), opt.fontMetrics.height() + 6);
    opt.menuItemType = QStyleOptionMenuItem::SubMenu;
    EXPECT_EQ(style.sizeFromContents(QStyle::CT_MenuItem, &opt, QSize(), nullptr).width(),
              plain.width() + 20);
    opt.menuItemType = QStyleOptionMenuItem::Separator;
    EXPECT_EQ(style.sizeFromContents(QStyle::CT_MenuItem, &opt, QSize(), nullptr), QSize(50, 9));

    QMenu* menu = open(0);
    EXPECT_EQ(menu->actionGeometry(action_named(menu, "New")).height(), menu->fontMetrics().height() + 6);
    EXPECT_EQ(menu->actionGeometry(menu->actions()[2]).height(), 9);
}

// Hand-computed stripes of the gradient column for highlight (0, 120, 215):
// value = 255 - (255 - h) * 5k / 100, truncated.
TEST_F(MenuTest, GradientColumnPixels) {
    QMenu* menu = open(1);
    const QRect r = menu->actionGeometry(action_named(menu, "Zoom +"));
    const QImage img = menu->grab().toImage();
    const int y = r.top() + 1;
    EXPECT_EQ(QColor(img.pixel(r.left() + 0, y)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(img.pixel(r.left() + 1, y)), QColor(243, 249, 253));
    EXPECT_EQ(QColor(img.pixel(r.left() + 10, y)), QColor(128, 188, 235));
    EXPECT_EQ(QColor(img.pixel(r.left() + 19, y)), QColor(13, 127, 217));
    EXPECT_EQ(QColor(img.pixel(r.left() + 20, y)), QColor(240, 240, 240));
}

TEST_F(MenuTest, SeparatorStartsAfterTheGradientColumn) {
    QMenu* menu = open(0);
    const QRect r = menu->actionGeometry(menu->actions()[2]);
    ASSERT_TRUE(menu->actions()[2]->isSeparator());
    const QImage img = menu->grab().toImage();
    EXPECT_EQ(QColor(img.pixel(r.left() + 30, r.top() + 4)), QColor(160, 160, 160));
    EXPECT_EQ(QColor(img.pixel(r.left() + 24, r.top() + 4)), QColor(160, 160, 160));
    EXPECT_EQ(QColor(img.pixel(r.left() + 23, r.top() + 4)), QColor(240, 240, 240));
    EXPECT_EQ(QColor(img.pixel(r.left() + 30, r.top() + 3)), QColor(240, 240, 240));
    EXPECT_EQ(QColor(img.pixel(r.left() + 10, r.top() + 4)), QColor(128, 188, 235));
}

TEST_F(MenuTest, SelectedLookInGradientStyle) {
    QMenu* menu = open(1);
    QAction* item = action_named(menu, "Zoom +");
    menu->setActiveAction(item);
    const QRect r = menu->actionGeometry(item);
    const QImage img = menu->grab().toImage();
    EXPECT_EQ(QColor(img.pixel(r.left(), r.top())), QColor(0, 0, 0));
    EXPECT_EQ(QColor(img.pixel(r.right(), r.bottom())), QColor(0, 0, 0));
    EXPECT_EQ(QColor(img.pixel(r.left() + 3, r.top() + 2)), QColor(127, 187, 235));
    EXPECT_EQ(QColor(img.pixel(r.right() - 3, r.top() + 2)), QColor(127, 187, 235));
}

// Finds the horizontal extent of the text pixels near one colour in a band (anti-aliased
// glyph edges are blends, so the core of the strokes is matched within a tolerance).
std::pair<int, int> extent_of(const QImage& img, const QRect& band, QColor colour) {
    int lo = -1, hi = -1;
    for (int x = band.left(); x <= band.right(); ++x)
        for (int y = band.top(); y <= band.bottom(); ++y) {
            const QColor c(img.pixel(x, y));
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                60) {
                if (lo < 0) lo = x;
                hi = x;
            }
        }
    return {lo, hi};
}

TEST_F(MenuTest, HintIsRightAlignedAndTickHasSevenStrokes) {
    ASSERT_NE(menu_create_drawn(0, window_handle(0), FlatStyle), 0);
    menu_title("View");
    menu_item(70, "Grid\tCtrl+G");
    menu_item(71, "Grid");
    menu_set_item_checked(0, 70, 1);
    QMenu* menu = open(0);
    QAction* hinted = menu->actions()[0];
    const QRect r = menu->actionGeometry(hinted);
    const QImage img = menu->grab().toImage();

    // Text is black on the flat background; the tick is in the first 20 columns.
    const auto [left, right] =
        extent_of(img, QRect(r.left() + 20, r.top(), r.width() - 20, r.height()), Qt::black);
    ASSERT_GE(left, 0);
    EXPECT_GE(left, r.left() + 28);
    EXPECT_LE(left, r.left() + 30);
    EXPECT_LE(right, r.right() - 8);
    EXPECT_GE(right, r.right() - 14);  // the last glyph's side bearing is a few pixels
    // The unhinted caption has no text near the right edge.
    const QRect other = menu->actionGeometry(menu->actions()[1]);
    EXPECT_LT(
        extent_of(img, QRect(other.left() + 20, other.top(), other.width() - 20, other.height()), Qt::black)
            .second,
        other.left() + 28 + menu->fontMetrics().horizontalAdvance("Grid") + 2);

    // The tick: strokes x = 7..13 starting at y = 9, 10, 11, 10, 9, 8, 7, each 3 long.
    const int tops[7] = {9, 10, 11, 10, 9, 8, 7};
    for (int i = 0; i < 7; ++i) {
        const int x = r.left() + 7 + i;
        EXPECT_EQ(QColor(img.pixel(x, r.top() + tops[i] - 1)), QColor(240, 240, 240)) << i;
        for (int dy = 0; dy < 3; ++dy)
            EXPECT_EQ(QColor(img.pixel(x, r.top() + tops[i] + dy)), Qt::black) << i;
        EXPECT_EQ(QColor(img.pixel(x, r.top() + tops[i] + 3)), QColor(240, 240, 240)) << i;
    }
    EXPECT_EQ(QColor(img.pixel(r.left() + 6, r.top() + 10)), QColor(240, 240, 240));
    // No tick on the unchecked item.
    EXPECT_EQ(QColor(img.pixel(other.left() + 9, other.top() + 12)), QColor(240, 240, 240));
}

TEST_F(MenuTest, FlatSelectionAndGreyedText) {
    ASSERT_NE(menu_create_drawn(0, window_handle(0), FlatStyle), 0);
    menu_title("Edit");
    menu_item(1, "Undo");
    menu_item(2, "Redo");
    QMenu* menu = open(0);
    menu->actions()[1]->setEnabled(false);
    menu->setActiveAction(menu->actions()[0]);
    const QImage img = menu->grab().toImage();
    const QRect sel = menu->actionGeometry(menu->actions()[0]);
    EXPECT_EQ(QColor(img.pixel(sel.left() + 1, sel.top() + 1)), QColor(0, 120, 215));
    EXPECT_EQ(QColor(img.pixel(sel.left() + 10, sel.top() + 1)), QColor(0, 120, 215));
    // Selected text in the highlight-text colour, greyed text in the grey colour.
    EXPECT_GE(extent_of(img, sel.adjusted(20, 0, 0, 0), Qt::white).first, sel.left() + 28);
    const QRect grey = menu->actionGeometry(menu->actions()[1]);
    EXPECT_GE(extent_of(img, grey, QColor(109, 109, 109)).first, grey.left() + 28);
    EXPECT_EQ(extent_of(img, grey, Qt::black).first, -1);
}

TEST_F(MenuTest, ItemImageDrawnAt2AndCentred) {
    // A 16 x 16 opaque red 32-bit picture, bottom-up BGRA.
    std::vector<std::uint8_t> pixels(16 * 16 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i + 2] = 255;
        pixels[i + 3] = 255;
    }
    Bitmap picture;
    picture.width = 16;
    picture.height = 16;
    picture.bpp = 32;
    picture.stride = 64;
    picture.bits = pixels.data();
    ASSERT_NE(menu_create_drawn(0, window_handle(0), FlatStyle), 0);
    menu_title("Tools");
    menu_item(1, "Brush", bitmap_handle(&picture));
    QMenu* menu = open(0);
    const QRect r = menu->actionGeometry(menu->actions()[0]);
    const QImage img = menu->grab().toImage();
    const int top = r.top() + (r.height() - 16) / 2 + 1;
    EXPECT_EQ(QColor(img.pixel(r.left() + 2, top)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(r.left() + 17, top + 15)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(img.pixel(r.left() + 1, top)), QColor(240, 240, 240));
    EXPECT_EQ(QColor(img.pixel(r.left() + 18, top)), QColor(240, 240, 240));
    EXPECT_EQ(QColor(img.pixel(r.left() + 2, top - 1)), QColor(240, 240, 240));
    EXPECT_EQ(QColor(img.pixel(r.left() + 2, top + 16)), QColor(240, 240, 240));
}

// Every caption is drawn whole: the caption area (28 pixels in, 8 before the right edge)
// holds the text before the tab, a gap and the hint after it.
TEST_F(MenuTest, ItemsAreWideEnoughForTheirWholeCaption) {
    // Each caption alone in its drop-down, so that nothing wider sets the drop-down's width.
    ASSERT_NE(menu_create_drawn(1, window_handle(0), GradientStyle), 0);
    menu_title("Edition");
    menu_item(7, "Resize Image");
    menu_title("Help");
    menu_item(8, "About");
    menu_title("View");
    menu_open_submenu("Zoom");
    menu_item(63, "Zoom 500%");
    menu_close_submenu();
    menu_title("File");
    menu_item(3, "Open an Image (or a Tileset...)\tCtrl+O");
    const QList<QAction*> titles = shell_window(0)->menu_bar()->actions();
    ASSERT_EQ(titles.size(), 4);
    QMenu* zoom = titles[2]->menu()->actions().at(0)->menu();
    ASSERT_NE(zoom, nullptr);
    struct Case {
        QMenu* menu;
        int index;
    };
    const Case cases[] = {{titles[0]->menu(), 0}, {titles[1]->menu(), 0}, {titles[2]->menu(), 0},
                          {zoom, 0},              {titles[3]->menu(), 0}};
    for (const Case& c : cases) {
        c.menu->popup(QPoint(100, 100));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c.menu));
        QAction* action = c.menu->actions().at(c.index);
        SCOPED_TRACE(action->text().toStdString());
        const QFontMetrics fm(c.menu->font());
        const QString text = action->text();
        const qsizetype tab = text.indexOf(u'\t');
        int needed = fm.horizontalAdvance(tab < 0 ? text : text.left(tab));
        if (tab >= 0) needed += fm.horizontalAdvance(u' ') + fm.horizontalAdvance(text.mid(tab + 1));
        if (action->menu()) needed += 14;  // the submenu arrow at the right edge
        EXPECT_GE(c.menu->actionGeometry(action).width(), 28 + needed + 8);
        c.menu->hide();
    }
}

// Alt and a title's first free letter open that title; F10 opens the first one.
TEST_F(MenuTest, AltLetterAndF10OpenTheMenus) {
    menu_title("Tools");  // T is free
    menu_item(41, "Previous Brush\tX");
    menu_title("Vista");  // V is taken by View: Alt+I
    menu_item(90, "Item");
    QWidget* top = shell_window(0);
    top->show();
    QApplication::setActiveWindow(top);
    ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    struct Case {
        QKeySequence keys;
        int title;
    };
    const Case cases[] = {{QKeySequence("Alt+F"), 0}, {QKeySequence("Alt+V"), 1}, {QKeySequence("Alt+T"), 2},
                          {QKeySequence("Alt+I"), 3}, {QKeySequence("F10"), 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.toString().toStdString());
        QTest::keySequence(top, c.keys);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        EXPECT_EQ(QApplication::activePopupWidget(), drop_down(c.title));
        drop_down(c.title)->hide();
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QApplication::setActiveWindow(top);
    }
    // The captions stay as the program gave them.
    EXPECT_EQ(shell_window(0)->menu_bar()->actions().at(2)->text(), QString("Tools"));
    EXPECT_TRUE(menu_sources().empty());
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

class MenuRuntimeTest : public MenuTest {
  protected:
    void SetUp() override {
        MenuTest::SetUp();
        // A second submenu, this one named by an id so that it can change at run time.
        menu_title("Go");
        menu_open_submenu("Places", 90);
        menu_close_submenu();
        menu_item(95, "Home");
        event_queue_clear();
    }
    QMenu* places() { return action_named(drop_down(2), "Places")->menu(); }
    QStringList captions(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) out << a->text();
        return out;
    }
};

TEST_F(MenuRuntimeTest, ItemsAddedAndRemovedWhileRunning) {
    // Added items land in the named submenu in order and post their ids.
    EXPECT_EQ(menu_add_item(0, 90, 91, "1  /tmp/a.png"), 1);
    EXPECT_EQ(menu_add_item(0, 90, 92, "2  /tmp/b && c.png"), 1);
    EXPECT_EQ(captions(places()), (QStringList{"1  /tmp/a.png", "2  /tmp/b && c.png"}));
    places()->actions().at(1)->trigger();
    EXPECT_EQ(menu_sources(), (std::vector<std::int64_t>{92}));

    // Removing takes the item out of the menu; the others stay and keep their ids.
    menu_remove_item(0, 91);
    EXPECT_EQ(captions(places()), (QStringList{"2  /tmp/b && c.png"}));
    places()->actions().at(0)->trigger();
    EXPECT_EQ(menu_sources(), (std::vector<std::int64_t>{92}));
    menu_remove_item(0, 92);
    EXPECT_TRUE(places()->actions().isEmpty());
    menu_add_item(0, 90, 93, "again");
    EXPECT_EQ(captions(places()), (QStringList{"again"}));

    // No such submenu or menu: nothing is added anywhere.
    EXPECT_EQ(menu_add_item(0, 95, 96, "under an item"), 0);
    EXPECT_EQ(menu_add_item(0, 1234, 96, "nowhere"), 0);
    EXPECT_EQ(menu_add_item(7, 90, 96, "no menu 7"), 0);
    EXPECT_EQ(captions(places()), (QStringList{"again"}));
    // Removing an id twice, or one never added, changes nothing.
    menu_remove_item(0, 92);
    menu_remove_item(0, 4321);
    EXPECT_EQ(captions(drop_down(2)), (QStringList{"Places", "Home"}));
}

TEST_F(MenuRuntimeTest, GreyedItemsAndSubmenusCannotBeChosen) {
    struct Case {
        int id;
        QString caption;
    };
    for (const Case& c : {Case{95, "Home"}, Case{90, "Places"}}) {
        QAction* action = action_named(drop_down(2), c.caption);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(menu_item_enabled(0, c.id), 1) << c.id;
        menu_set_item_enabled(0, c.id, 0);
        EXPECT_FALSE(action->isEnabled()) << c.id;
        EXPECT_EQ(menu_item_enabled(0, c.id), 0) << c.id;
        action->trigger();  // a disabled action ignores the choice
        EXPECT_EQ(menu_sources(), (std::vector<std::int64_t>{})) << c.id;
        menu_set_item_enabled(0, c.id, 1);
        EXPECT_TRUE(action->isEnabled()) << c.id;
    }
    EXPECT_EQ(menu_item_enabled(0, 4321), 0);
    EXPECT_EQ(menu_item_enabled(9, 95), 0);
}

}  // namespace
}  // namespace morvane
