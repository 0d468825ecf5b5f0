// The clipboard against another X client (xclip) on a real X server: what Morvane puts there
// is read back as PNG with its alpha, and a PNG another program offers is taken exactly.
// Runs under xvfb-run on Qt's xcb platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

#include "image/codec.h"
#include "shell/clipboard.h"

namespace morvane {
namespace {

// Pixels (B, G, R, A) of a 3 x 2 picture: opaque, translucent and fully transparent ones.
const std::uint8_t Pixels[2][3][4] = {{{10, 20, 30, 255}, {40, 50, 60, 128}, {0, 0, 0, 0}},
                                      {{255, 0, 0, 1}, {1, 2, 3, 254}, {200, 100, 50, 255}}};

Bitmap* sample() {
    Bitmap* b = bitmap_create(3, 2, 32);
    for (int y = 0; y < 2; ++y) std::memcpy(b->row(y), Pixels[y], sizeof Pixels[y]);
    return b;
}

void expect_sample(const Bitmap* b) {
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->width, 3);
    ASSERT_EQ(b->height, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(std::memcmp(b->row(y) + 4 * x, Pixels[y][x], 4), 0) << "pixel " << x << "," << y;
}

// Runs a program to its end while this program keeps serving the clipboard.
QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    QElapsedTimer clock;
    clock.start();
    while (p.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        p.waitForFinished(20);
    }
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

TEST(ClipboardX11Test, OtherProgramsReadTheCopiedPictureAsPng) {
    Bitmap* b = sample();
    ASSERT_TRUE(clipboard_put_image(*b));
    bitmap_destroy(b);
    const QByteArray targets = run("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"});
    EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
    const QByteArray png = run("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
    ASSERT_TRUE(png.startsWith("\x89PNG")) << png.size() << " bytes";
    Bitmap* back = png_decode_rgba(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                   static_cast<std::size_t>(png.size()));
    expect_sample(back);
    bitmap_destroy(back);
}

TEST(ClipboardX11Test, APngOfferedByAnotherProgramIsTakenExactly) {
    QTemporaryDir dir;
    const QString file = dir.filePath("in.png");
    Bitmap* b = sample();
    QImage image(3, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* p = Pixels[y][x];
            image.setPixel(x, y, qRgba(p[2], p[1], p[0], p[3]));
        }
    ASSERT_TRUE(image.save(file, "PNG"));
    bitmap_destroy(b);
    // xclip stays in the background as the clipboard's owner until another program takes it.
    QProcess owner;
    owner.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", file});
    ASSERT_TRUE(owner.waitForFinished(10000));
    QElapsedTimer clock;
    clock.start();
    while (!clipboard_has_image() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(clipboard_has_image());
    Bitmap* taken = clipboard_take_image();
    expect_sample(taken);
    bitmap_destroy(taken);
    // Nothing but text on the clipboard: no picture.
    QProcess text;
    text.start("sh", {"-c", "printf words | xclip -selection clipboard -i"});
    ASSERT_TRUE(text.waitForFinished(10000));
    clock.restart();
    while (clipboard_has_image() && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(clipboard_has_image());
    EXPECT_EQ(clipboard_take_image(), nullptr);
}

}  // namespace
}  // namespace morvane

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
