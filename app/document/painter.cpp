// The painter: one drawing session from its making to the end of its scope.
#include "app/document/painter.h"

#include "app/document/document.h"
#include "draw/draw.h"
#include "draw/session.h"

namespace morvane {

Painter* Painter::innermost_ = nullptr;

Painter::Painter(DrawingSession* output) : session_(drawing_begin(output) != 0 ? output : nullptr) {
    innermost_ = session_ ? this : nullptr;
}

Painter::Painter(ObjectNumber image) : Painter(image_output(image)) {}

Painter::Painter(Document& document) : Painter(document.image()) {}

// A painter made since ended this one's session and ended its own.
Painter::~Painter() {
    if (!session_ || innermost_ != this) return;
    innermost_ = nullptr;
    if (drawing_current() == session_) drawing_end();
}

}  // namespace morvane
