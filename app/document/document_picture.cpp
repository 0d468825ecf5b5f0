// The document's picture: its storage, its record and the changes of size made to it.
#include "app/document/document.h"

namespace morvane {
namespace {

// What the document shows while it has no picture.
Bitmap& no_picture() {
    static Bitmap empty;
    empty = Bitmap{};
    return empty;
}

Image& no_record() {
    static Image empty;
    empty = Image{};
    return empty;
}

}  // namespace

Bitmap& Document::picture() {
    Bitmap* bitmap = bitmap_from_handle(image_handle(image_));
    return bitmap && bitmap->kind == Bitmap::Kind::Pixels ? *bitmap : no_picture();
}

const Bitmap& Document::picture() const {
    return const_cast<Document*>(this)->picture();
}

Image& Document::record() {
    Image* record = image_record(image_);
    return record ? *record : no_record();
}

const Image& Document::record() const {
    return const_cast<Document*>(this)->record();
}

bool Document::recreate(int width, int height) {
    image_free(image_);
    return image_create(image_, width, height, 32, BackgroundTransparent) != 0;
}

bool Document::resize(int width, int height, int mode) {
    return image_resize(image_, width, height, mode) != 0;
}

void Document::release() {
    image_free(image_);
}

}  // namespace morvane
