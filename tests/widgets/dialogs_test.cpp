// The standard dialogs: answered through the test seam, the real Qt dialogs driven by
// timers, and the start-folder and pattern helpers.
#include "widgets/dialogs.h"

#include <gtest/gtest.h>

#include <utility>

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "shell/shell.h"

namespace morvane {
namespace {

const std::string kPatterns = "PNG Images|*.png|JPEG Images|*.jpeg|BMP Images|*.bmp";

class StandardDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(shell_init()); }
    void TearDown() override { dialog_set_responder(nullptr); }
};

TEST_F(StandardDialogTest, MessageBoxCarriesTheCallAndReturnsTheButton) {
    std::vector<DialogRequest> seen;
    std::int64_t answer = 6;
    dialog_set_responder([&](const DialogRequest& r) {
        seen.push_back(r);
        return DialogReply{answer, "", 0};
    });
    EXPECT_EQ(message_box("Info", "Do you want to close the application ?", 52), 6);
    answer = 7;
    EXPECT_EQ(message_box("Save an image", "Overwrite this file? a.png", 4), 7);
    answer = 1;
    EXPECT_EQ(message_box("Error", "Unable to open the Window !"), 1);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].kind, DialogKind::Message);
    EXPECT_EQ(seen[0].title, "Info");
    EXPECT_EQ(seen[0].text, "Do you want to close the application ?");
    EXPECT_EQ(seen[0].flags, 52);
    EXPECT_EQ(seen[1].flags, 4);
    EXPECT_EQ(seen[2].flags, 0);
}

TEST_F(StandardDialogTest, FileDialogsReportPathAndPattern) {
    DialogRequest last{};
    DialogReply reply{0, "/work/out/tiles.jpeg", 1};
    dialog_set_responder([&](const DialogRequest& r) {
        last = r;
        return reply;
    });
    EXPECT_EQ(save_file_dialog("Save Image", "C:\\art\\forest.png", kPatterns, 0), "/work/out/tiles.jpeg");
    EXPECT_EQ(last.kind, DialogKind::SaveFile);
    EXPECT_EQ(last.title, "Save Image");
    EXPECT_EQ(last.default_file, "C:\\art\\forest.png");
    EXPECT_EQ(last.pattern, kPatterns);
    EXPECT_EQ(last.pattern_index, 0);
    EXPECT_EQ(file_dialog_pattern(), 1);

    reply = DialogReply{0, "", 2};  // cancelled: the pattern is forgotten
    EXPECT_EQ(open_file_dialog("Load Image", "", kPatterns, 2), "");
    EXPECT_EQ(last.kind, DialogKind::OpenFile);
    EXPECT_EQ(last.pattern_index, 2);
    EXPECT_EQ(file_dialog_pattern(), -1);

    reply = DialogReply{0, "/a.bmp", 2};
    EXPECT_EQ(open_file_dialog("Load Image", "", kPatterns, 0), "/a.bmp");
    EXPECT_EQ(file_dialog_pattern(), 2);
}

TEST_F(StandardDialogTest, ColorDialogSeedsTheFirstCustomColour) {
    DialogRequest last{};
    std::int64_t answer = 0x00FF8040;
    dialog_set_responder([&](const DialogRequest& r) {
        last = r;
        return DialogReply{answer, "", 0};
    });
    EXPECT_EQ(color_dialog(0x123456), 0x00FF8040);
    EXPECT_EQ(last.kind, DialogKind::Color);
    EXPECT_EQ(last.color, 0x123456);
    EXPECT_EQ(QColorDialog::customColor(0), QColor(0x56, 0x34, 0x12));  // red is the low byte

    answer = -1;
    EXPECT_EQ(color_dialog(-1), -1);
    EXPECT_EQ(last.color, -1) << "the request carries what the caller passed";
    EXPECT_EQ(QColorDialog::customColor(0), QColor(0, 0, 0)) << "-1 starts from black";
}

TEST(FileDialogStart, SplitsAtTheLastSeparator) {
    auto check = [](const std::string& in, const std::string& folder, const std::string& name) {
        const FileDialogStart s = file_dialog_start(in);
        EXPECT_EQ(s.folder, folder) << in;
        EXPECT_EQ(s.name, name) << in;
    };
    check("C:\\art\\forest.png", "C:\\art", "forest.png");
    check("forest.png", "", "forest.png");
    check("/home/ann/tiles/a.png", "/home/ann/tiles", "a.png");
    check("x/y\\z.bmp", "x/y", "z.bmp");
    check("art/", "art", "");
    check("", "", "");
    // Names a file cannot have are not proposed.
    check("C:\\art\\what?.png", "C:\\art", "");
    check("a:b", "", "");
    check("tab\there", "", "");
    check("q\"uote", "", "");
    check("pipe|x", "", "");
    check("star*", "", "");
    check("lt<gt>", "", "");
}

TEST(FileDialogStart, NameIsKeptTo259Characters) {
    const std::string long_name(300, 'a');
    EXPECT_EQ(file_dialog_start("dir/" + long_name).name, std::string(259, 'a'));
    // Counted in characters, never cutting a two-byte character in half.
    std::string accented;
    for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";
    const std::string name = file_dialog_start(accented).name;
    EXPECT_EQ(name.size(), 518u);
    EXPECT_EQ(name, accented.substr(0, 518));
}

TEST(PatternString, PairsAndFilters) {
    const std::vector<FilePattern> p = parse_pattern_string(kPatterns);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].name, "PNG Images");
    EXPECT_EQ(p[0].patterns, "*.png");
    EXPECT_EQ(p[2].name, "BMP Images");
    EXPECT_EQ(p[2].patterns, "*.bmp");
    EXPECT_EQ(pattern_filters(p),
              (std::vector<std::string>{"PNG Images (*.png)", "JPEG Images (*.jpeg)", "BMP Images (*.bmp)"}));

    const std::vector<FilePattern> q = parse_pattern_string("Pictures|*.png;*.jpg; *.bmp|All Files|*.*");
    EXPECT_EQ(pattern_filters(q),
              (std::vector<std::string>{"Pictures (*.png *.jpg *.bmp)", "All Files (*)"}));

    EXPECT_TRUE(parse_pattern_string("").empty());
    EXPECT_EQ(parse_pattern_string("A|*.a|B").size(), 1u) << "a name without patterns is dropped";
    EXPECT_TRUE(parse_pattern_string("A||B|*.b").empty()) << "an empty part ends the list";
    EXPECT_EQ(parse_pattern_string("A|*.a|").size(), 1u);
}

// Runs `act` on the first modal dialog that appears, from inside its own event loop.
void when_dialog_opens(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

QAbstractButton* button_of(QWidget* dialog, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    return box ? box->button(which) : nullptr;
}

TEST_F(StandardDialogTest, RealMessageBoxButtonsAndIcons) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    when_dialog_opens([&](QWidget* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        text = box->text();
        ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
        ASSERT_NE(box->button(QMessageBox::No), nullptr);
        EXPECT_EQ(box->button(QMessageBox::Ok), nullptr);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(message_box("Info", "Do you want to close the application ?", 52), 7);
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(text, QString("Do you want to close the application ?"));

    when_dialog_opens([](QWidget* d) { button_of(d, QMessageBox::Yes)->click(); });
    EXPECT_EQ(message_box("Save an image", "Overwrite this file? a.png", 4), 6);

    // The default button is the one Enter presses: the first, or the one the flags name.
    for (const auto& [flags, pressed] : {std::pair{4, 6}, std::pair{4 | MessageDefaultSecond, 7},
                                         std::pair{3 | MessageDefaultThird, 2}, std::pair{0 | MessageDefaultSecond, 1}}) {
        when_dialog_opens([](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); });
        EXPECT_EQ(message_box("Save an image", "Overwrite this file? a.png", flags), pressed) << flags;
    }
    // Escape answers as closing the box does: Cancel, else No, else OK.
    for (const auto& [flags, answer] :
         {std::pair{0, 1}, std::pair{1, 2}, std::pair{3, 2}, std::pair{52, 7}}) {
        when_dialog_opens([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
        EXPECT_EQ(message_box("Info", "Escape", flags), answer) << flags;
    }

    when_dialog_opens([&](QWidget* d) {
        icon = qobject_cast<QMessageBox*>(d)->icon();
        button_of(d, QMessageBox::Ok)->click();
    });
    EXPECT_EQ(message_box("About", "Morvane", 64), 1);
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST_F(StandardDialogTest, UnsavedChangesQuestionButtonsAndAnswers) {
    // The real box: each of its three buttons, and Escape, gives its answer.
    struct Case {
        QMessageBox::StandardButton button;  // NoButton: Escape
        int answer;
    };
    const Case cases[] = {{QMessageBox::Save, SaveChanges},
                          {QMessageBox::Discard, DiscardChanges},
                          {QMessageBox::Cancel, CancelChanges},
                          {QMessageBox::NoButton, CancelChanges}};
    for (const Case& c : cases) {
        QString text;
        when_dialog_opens([&](QWidget* d) {
            auto* box = qobject_cast<QMessageBox*>(d);
            ASSERT_NE(box, nullptr);
            text = box->text();
            EXPECT_EQ(box->buttons().size(), 3);
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Save));
            if (c.button == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(c.button)->click();
        });
        EXPECT_EQ(unsaved_changes_box("Morvane", "Save the changes?"), c.answer);
        EXPECT_EQ(text, QString("Save the changes?"));
    }
    // Through the seam: the request names its kind; an unknown answer counts as Cancel.
    std::vector<DialogRequest> seen;
    std::int64_t answer = DiscardChanges;
    dialog_set_responder([&](const DialogRequest& r) {
        seen.push_back(r);
        return DialogReply{answer, "", 0};
    });
    EXPECT_EQ(unsaved_changes_box("Morvane", "Save?"), DiscardChanges);
    answer = 6;
    EXPECT_EQ(unsaved_changes_box("Morvane", "Save?"), CancelChanges);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, DialogKind::UnsavedChanges);
    EXPECT_EQ(seen[0].title, "Morvane");
    EXPECT_EQ(seen[0].text, "Save?");
}

TEST_F(StandardDialogTest, ContinueQuestionButtonsAndAnswers) {
    // The real box: "Continue", Cancel, Enter (Cancel is the default) and Escape.
    enum Press { ContinueButton, CancelButton, Enter, Escape };
    const std::pair<Press, int> cases[] = {{ContinueButton, ContinueAction},
                                           {CancelButton, CancelAction},
                                           {Enter, CancelAction},
                                           {Escape, CancelAction}};
    for (const auto& [press, answer] : cases) {
        QStringList captions;
        when_dialog_opens([&, press = press](QWidget* d) {
            auto* box = qobject_cast<QMessageBox*>(d);
            ASSERT_NE(box, nullptr);
            QAbstractButton* go_on = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                captions << b->text().remove('&');
                if (b->text().remove('&') == "Continue") go_on = b;
            }
            ASSERT_NE(go_on, nullptr);
            if (press == ContinueButton) go_on->click();
            if (press == CancelButton) box->button(QMessageBox::Cancel)->click();
            if (press == Enter) QTest::keyClick(box, Qt::Key_Return);
            if (press == Escape) QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(continue_box("Morvane", "This change cannot be undone... Continue?"), answer) << press;
        EXPECT_EQ(captions.size(), 2) << press;
    }
    // Through the seam: an answer other than Continue counts as Cancel.
    std::vector<DialogRequest> seen;
    std::int64_t reply = ContinueAction;
    dialog_set_responder([&](const DialogRequest& r) {
        seen.push_back(r);
        return DialogReply{reply, "", 0};
    });
    EXPECT_EQ(continue_box("Morvane", "Go on?"), ContinueAction);
    reply = 1;
    EXPECT_EQ(continue_box("Morvane", "Go on?"), CancelAction);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, DialogKind::ContinueOrCancel);
    EXPECT_EQ(seen[0].text, "Go on?");
}

TEST_F(StandardDialogTest, ChoiceQuestionButtonsAndAnswers) {
    // The real box: each button by its caption, Enter (the first is the default) and Escape
    // (the last).
    const std::vector<std::string> buttons{"Enlarge", "Keep Size", "Cancel"};
    const std::pair<QString, int> cases[] = {
        {"Enlarge", 0}, {"Keep Size", 1}, {"Cancel", 2}, {"<Enter>", 0}, {"<Escape>", 2}};
    for (const auto& [press, answer] : cases) {
        QStringList captions;
        when_dialog_opens([&, press = press](QWidget* d) {
            auto* box = qobject_cast<QMessageBox*>(d);
            ASSERT_NE(box, nullptr);
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                captions << b->text().remove('&');
                if (b->text().remove('&') == press) chosen = b;
            }
            if (chosen) chosen->click();
            if (press == "<Enter>") QTest::keyClick(box, Qt::Key_Return);
            if (press == "<Escape>") QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(choice_box("Paste", "Enlarge?", buttons), answer) << press.toStdString();
        EXPECT_EQ(captions.size(), 3) << press.toStdString();
    }
    // Through the seam: the captions are in the request; an answer out of range is the last.
    std::vector<DialogRequest> seen;
    std::int64_t reply = 1;
    dialog_set_responder([&](const DialogRequest& r) {
        seen.push_back(r);
        return DialogReply{reply, "", 0};
    });
    EXPECT_EQ(choice_box("Paste", "Enlarge?", buttons), 1);
    reply = 7;
    EXPECT_EQ(choice_box("Paste", "Enlarge?", buttons), 2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, DialogKind::Choice);
    EXPECT_EQ(seen[0].buttons, buttons);
}

TEST_F(StandardDialogTest, RealSaveDialogStartsInTheDefaultFolderAndReportsThePattern) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = QDir(dir.path()).canonicalPath();
    QString start_dir, proposed, filter;
    when_dialog_opens([&](QWidget* d) {
        auto* dialog = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(dialog, nullptr);
        start_dir = dialog->directory().canonicalPath();
        proposed = dialog->selectedFiles().value(0);
        filter = dialog->selectedNameFilter();
        dialog->selectNameFilter("JPEG Images (*.jpeg)");
        dialog->selectFile(folder + "/tiles.jpeg");
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::string path =
        save_file_dialog("Save Image", (folder + "\\forest.png").toStdString(), kPatterns, 2);
    EXPECT_EQ(start_dir, folder);
    EXPECT_TRUE(proposed.endsWith("/forest.png")) << proposed.toStdString();
    EXPECT_EQ(filter, QString("BMP Images (*.bmp)"));
    EXPECT_EQ(path, (folder + "/tiles.jpeg").toStdString());
    EXPECT_EQ(file_dialog_pattern(), 1);

    // A cancelled open dialog: empty path, pattern -1.
    when_dialog_opens([](QWidget* d) { qobject_cast<QDialog*>(d)->reject(); });
    EXPECT_EQ(open_file_dialog("Load Image", "", kPatterns, 0), "");
    EXPECT_EQ(file_dialog_pattern(), -1);
}

TEST_F(StandardDialogTest, RealOpenDialogReturnsAnExistingFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = QDir(dir.path()).canonicalPath();
    QFile file(folder + "/a.png");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    when_dialog_opens([&](QWidget* d) {
        auto* dialog = qobject_cast<QFileDialog*>(d);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->selectFile(folder + "/a.png");
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(open_file_dialog("Load Image", (folder + "/a.png").toStdString(), kPatterns, 0),
              (folder + "/a.png").toStdString());
    EXPECT_EQ(file_dialog_pattern(), 0);
}

TEST_F(StandardDialogTest, RealColorDialogPreselectsAndReturnsRgb) {
    QColor preselected;
    when_dialog_opens([&](QWidget* d) {
        auto* dialog = qobject_cast<QColorDialog*>(d);
        ASSERT_NE(dialog, nullptr);
        preselected = dialog->currentColor();
        dialog->setCurrentColor(QColor(10, 20, 30));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(color_dialog(-1), 10 | 20 << 8 | 30 << 16);
    EXPECT_EQ(preselected, QColor(0, 0, 0));

    when_dialog_opens([&](QWidget* d) {
        preselected = qobject_cast<QColorDialog*>(d)->currentColor();
        qobject_cast<QDialog*>(d)->reject();
    });
    EXPECT_EQ(color_dialog(0xFF00FF40), -1);  // alpha byte ignored, cancelled
    EXPECT_EQ(preselected, QColor(0x40, 0xFF, 0x00));
}

}  // namespace
}  // namespace morvane
