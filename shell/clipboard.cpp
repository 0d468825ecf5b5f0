// Clipboard pictures. Copying hands Qt a mime-data object that encodes the PNG only when a
// program asks for it; pasting prefers the PNG bytes (decoded by the image layer, alpha exact)
// over Qt's own image conversion, which premultiplies.
#include "shell/clipboard.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QSysInfo>
#include <cstring>

#include "image/codec.h"
#include "shell/qt_image.h"

namespace morvane {

namespace {

const QString PngType = QStringLiteral("image/png");

class LazyImageData : public QMimeData {
  public:
    explicit LazyImageData(QImage picture) : picture_(std::move(picture)) {}

    QStringList formats() const override {
        return {PngType, QStringLiteral("application/x-qt-image")};
    }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

  protected:
    QVariant retrieveData(const QString& type, QMetaType kind) const override {
        if (type == PngType) {
            if (png_.isEmpty()) {
                QBuffer buffer(&png_);
                buffer.open(QIODevice::WriteOnly);
                picture_.save(&buffer, "PNG");
            }
            return png_;
        }
        if (type == QStringLiteral("application/x-qt-image") || kind.id() == QMetaType::QImage)
            return picture_;
        return QMimeData::retrieveData(type, kind);
    }

  private:
    QImage picture_;
    mutable QByteArray png_;
};

QClipboard* clipboard() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

Bitmap* bitmap_from_qimage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return nullptr;
    Bitmap* out = bitmap_create(argb.width(), argb.height(), 32);
    if (!out) return nullptr;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::uint8_t* to = out->row(y);
        for (int x = 0; x < argb.width(); ++x, to += 4) {
            to[0] = static_cast<std::uint8_t>(qBlue(from[x]));
            to[1] = static_cast<std::uint8_t>(qGreen(from[x]));
            to[2] = static_cast<std::uint8_t>(qRed(from[x]));
            to[3] = static_cast<std::uint8_t>(qAlpha(from[x]));
        }
    }
    return out;
}

std::function<void(bool)>& watcher() {
    static std::function<void(bool)> changed;
    return changed;
}

}  // namespace

void clipboard_watch(std::function<void(bool has_image)> changed) {
    watcher() = std::move(changed);
    static QPointer<QClipboard> connected;
    QClipboard* board = clipboard();
    if (!board || connected == board) return;
    connected = board;
    QObject::connect(board, &QClipboard::dataChanged, [] {
        if (watcher()) watcher()(clipboard_has_image());
    });
}

namespace {

// A copy of a 32-bit picture: its rows are already QImage's ARGB32 (blue, green, red, alpha
// in memory), so they are copied whole.
QImage qimage_from_argb(const Bitmap& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.stride < picture.width * 4) return {};
    QImage out(picture.width, picture.height, QImage::Format_ARGB32);
    if (out.isNull()) return {};
    const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) std::memcpy(out.scanLine(y), picture.row(y), row_bytes);
    return out;
}

}  // namespace

bool clipboard_put_image(const Bitmap& picture) {
    QClipboard* board = clipboard();
    if (!board || picture.kind != Bitmap::Kind::Pixels) return false;
    QImage copy = picture.bpp == 32 && QSysInfo::ByteOrder == QSysInfo::LittleEndian
                      ? qimage_from_argb(picture)
                      : qimage_from_handle(bitmap_handle(&picture));
    if (copy.isNull()) return false;
    board->setMimeData(new LazyImageData(std::move(copy)), QClipboard::Clipboard);
    return true;
}

bool clipboard_has_image() {
    QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData(QClipboard::Clipboard) : nullptr;
    return data && (data->hasFormat(PngType) || data->hasImage());
}

Bitmap* clipboard_take_image() {
    QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData(QClipboard::Clipboard) : nullptr;
    if (!data) return nullptr;
    if (data->hasFormat(PngType)) {
        const QByteArray png = data->data(PngType);
        if (Bitmap* b = png_decode_rgba(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                        static_cast<std::size_t>(png.size())))
            return b;
    }
    if (!data->hasImage()) return nullptr;
    return bitmap_from_qimage(qvariant_cast<QImage>(data->imageData()));
}

}  // namespace morvane
