// A drawing session that ends itself: made on the stack for one picture, it opens a session
// on it and ends that session when it goes out of scope. The draw functions paint through it
// while it lives. Painters do not nest: making one ends any session still open, and a painter
// whose session was ended so ends nothing more.
#pragma once

#include "image/color.h"

namespace morvane {

struct Document;
struct DrawingSession;

class Painter {
  public:
    /// Paints on the document's picture.
    explicit Painter(Document& document);
    /// Paints on another numbered image (a brush, a swatch).
    explicit Painter(ObjectNumber image);
    /// Paints on an output the caller prepared (a canvas, pixels of its own); null opens nothing.
    explicit Painter(DrawingSession* output);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    /// The session opened: there is a picture to paint on.
    explicit operator bool() const { return session_ != nullptr; }

  private:
    DrawingSession* session_ = nullptr;
    static Painter* innermost_;  // the painter whose session is current
};

}  // namespace morvane
