// Long work: busy pointer, the progress dialog after half a second, windows that keep
// painting, and the progress reports of the image layer reaching the work that runs.
#include "widgets/progress.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTest>
#include <QWidget>
#include <thread>
#include <vector>

#include "image/progress.h"
#include "shell/shell.h"

namespace morvane {
namespace {

// A window that counts its paintings.
class PaintCounter : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

struct Sample {
    qint64 elapsed_ms;
    bool dialog;
    bool busy_pointer;
    int paints;
};

// Runs work of `steps` steps of `step_ms` each, reporting through the image layer as a
// decoder does (every third step only keeps the windows alive, as work between reporting
// phases does), and samples what the user sees after each step.
std::vector<Sample> run_work(int steps, int step_ms, PaintCounter& window, qint64* set_up_ms = nullptr) {
    std::vector<Sample> samples;
    // The clock starts before the work, so the work's own half second never runs ahead of it;
    // how long setting up the work took (long under sanitizers) is given to the caller.
    QElapsedTimer clock;
    clock.start();
    BusyWork work("Open", "Loading pic.png");
    if (set_up_ms) *set_up_ms = clock.elapsed();
    for (int i = 1; i <= steps; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(step_ms));
        window.update();  // something asks for a repaint meanwhile
        if (i % 3 == 0) {
            work.keep_alive();
        } else {
            progress_report(i, steps);
        }
        const QCursor* cursor = QApplication::overrideCursor();
        samples.push_back(Sample{clock.elapsed(), work.dialog_shown(),
                                 cursor && cursor->shape() == Qt::WaitCursor, window.paints});
    }
    return samples;
}

class ProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(shell_init());
        window_.resize(100, 100);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        QApplication::processEvents();
    }
    void TearDown() override { progress_set_observer({}); }
    PaintCounter window_;
};

TEST_F(ProgressTest, DialogAfterHalfASecondBusyPointerThroughoutWindowsRepaint) {
    qint64 set_up_ms = 0;
    const std::vector<Sample> samples = run_work(40, 20, window_, &set_up_ms);  // about 800 ms
    ASSERT_FALSE(samples.empty());
    int shown = 0;
    for (const Sample& s : samples) {
        EXPECT_TRUE(s.busy_pointer) << s.elapsed_ms;
        // 500 ms is the threshold; the samples near it may fall either way.
        if (s.elapsed_ms < 450) {
            EXPECT_FALSE(s.dialog) << s.elapsed_ms;
        }
        if (s.elapsed_ms > 560 + set_up_ms) {
            EXPECT_TRUE(s.dialog) << s.elapsed_ms;
        }
        shown += s.dialog ? 1 : 0;
    }
    EXPECT_GT(shown, 0);
    // The window painted again and again while the work ran, not only at its end.
    EXPECT_GE(samples[samples.size() / 2].paints, 3);
    EXPECT_GT(samples.back().paints, samples[samples.size() / 2].paints);
    // Afterwards: no busy pointer, no dialog left behind.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<QProgressDialog*>(w), nullptr);
}

TEST_F(ProgressTest, ShortWorkShowsNoDialog) {
    const std::vector<Sample> samples = run_work(5, 10, window_);
    for (const Sample& s : samples) {
        EXPECT_FALSE(s.dialog) << s.elapsed_ms;
        EXPECT_TRUE(s.busy_pointer);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ProgressTest, ReportsReachTheInnermostWorkAndStopWithIt) {
    std::vector<ProgressNote> notes;
    progress_set_observer([&notes](const ProgressNote& n) { notes.push_back(n); });
    progress_report(1, 9);  // nobody works: goes nowhere
    {
        BusyWork outer("Convert to TileSet", "Loading");
        progress_report(1, 2);
        {
            BusyWork inner("Open", "Inner");
            progress_report(3, 4);
        }
        progress_report(2, 2);
    }
    progress_report(5, 9);
    using K = ProgressNote::Kind;
    const std::vector<std::tuple<K, std::string, std::int64_t, std::int64_t>> expected = {
        {K::Begin, "Convert to TileSet", 0, 0},
        {K::Step, "Convert to TileSet", 1, 2},
        {K::Begin, "Open", 0, 0},
        {K::Step, "Open", 3, 4},
        {K::End, "Open", 0, 0},
        {K::Step, "Convert to TileSet", 2, 2},
        {K::End, "Convert to TileSet", 0, 0},
    };
    ASSERT_EQ(notes.size(), expected.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(std::make_tuple(notes[i].kind, notes[i].title, notes[i].done, notes[i].total), expected[i])
            << i;
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace morvane
