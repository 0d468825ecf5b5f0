// The tool icons compiled into the program.
#pragma once

#include <cstddef>

namespace morvane {

/// The seven embedded tool icon PNG files, in image order 0..6.
struct EmbeddedFile {
    const unsigned char* data;
    std::size_t size;
};
EmbeddedFile tool_icon_png(int index);

}  // namespace morvane
