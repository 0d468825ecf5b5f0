// The painter: one drawing session from its making to the end of its scope.
#include "app/document/painter.h"

#include "app/document/document.h"
#include "draw/draw.h"
#include "draw/session.h"

namespace morvane {

Painter::Painter(DrawingSession* output) : session_(drawing_begin(output) != 0 ? output : nullptr) {}

Painter::Painter(ObjectNumber image) : Painter(image_output(image)) {}

Painter::Painter(Document& document) : Painter(document.image()) {}

// A session made since (which ended this one) is left to its own maker.
Painter::~Painter() {
    if (session_ && drawing_current() == session_) drawing_end();
}

}  // namespace morvane
