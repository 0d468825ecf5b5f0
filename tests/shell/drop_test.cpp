// Files dropped on a window: which drops are taken and the event that carries the file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <string>
#include <vector>

#include "shell/events.h"
#include "shell/shell.h"
#include "shell/shell_window.h"
#include "shell/window.h"

namespace morvane {
namespace {

class DropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(shell_init());
        ASSERT_NE(window_open(0, 0, 0, 300, 200, "main", 0xCF0001), 0);
        ASSERT_NE(window_accept_drops(0, 1), 0);
        event_queue_clear();
    }
    void TearDown() override {
        window_close_all();
        event_queue_clear();
    }

    // A drag that enters the window and, when the window takes it, is dropped there.
    // Returns whether the window took the drag.
    bool drop(const QList<QUrl>& urls, ObjectNumber window = 0) {
        QMimeData data;
        data.setUrls(urls);
        QWidget* target = shell_window(window);
        const QPoint at(40, 40);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return true;
    }
    // The files of the queued drop events, in order; other events are skipped.
    std::vector<std::string> dropped_files(std::vector<std::int64_t>* windows = nullptr) {
        std::vector<std::string> files;
        while (event_queue_size() > 0) {
            if (event_wait(0) != DropFilesEvent) continue;
            files.push_back(event_dropped_file());
            if (windows) windows->push_back(event_window());
        }
        return files;
    }
};

TEST_F(DropTest, FirstLocalFileOfADropArrivesAsUtf8Path) {
    struct Case {
        QList<QUrl> urls;
        bool taken;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {{QUrl::fromLocalFile("/tmp/pic.png")}, true, {"/tmp/pic.png"}},
        // Spaces, accents and a second file: the first local file, bytes in UTF-8.
        {{QUrl::fromLocalFile(QString::fromUtf8("/tmp/my tiles/\xc3\xa9t\xc3\xa9.png")),
          QUrl::fromLocalFile("/tmp/second.png")},
         true,
         {"/tmp/my tiles/\xc3\xa9t\xc3\xa9.png"}},
        // A web address before a local file is passed over.
        {{QUrl("https://example.org/a.png"), QUrl::fromLocalFile("/tmp/b.png")}, true, {"/tmp/b.png"}},
        // Nothing local: the drag is refused and nothing is posted.
        {{QUrl("https://example.org/a.png")}, false, {}},
        {{}, false, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drop(c.urls), c.taken) << (c.files.empty() ? "" : c.files[0]);
        std::vector<std::int64_t> windows;
        EXPECT_EQ(dropped_files(&windows), c.files);
        for (std::int64_t w : windows) EXPECT_EQ(w, 0);
    }
}

TEST_F(DropTest, RepeatedDropsAreEachReportedAndThePathBelongsToItsEvent) {
    ASSERT_TRUE(drop({QUrl::fromLocalFile("/tmp/a.png")}));
    ASSERT_TRUE(drop({QUrl::fromLocalFile("/tmp/a.png")}));
    event_post(MenuEvent, 3, 0, 0);
    ASSERT_EQ(event_wait(0), DropFilesEvent);
    EXPECT_EQ(event_dropped_file(), "/tmp/a.png");
    ASSERT_EQ(event_wait(0), DropFilesEvent);
    EXPECT_EQ(event_dropped_file(), "/tmp/a.png");
    // Another kind of event carries no file.
    ASSERT_EQ(event_wait(0), MenuEvent);
    EXPECT_EQ(event_dropped_file(), "");
}

}  // namespace
}  // namespace morvane
