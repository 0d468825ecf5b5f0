// The tool icons compiled into the program (bytes generated from app/icons/ at build time).
#include "app/tools/tool_icons.h"

namespace morvane {

extern const unsigned char* const tool_icon_data[];
extern const std::size_t tool_icon_size[];
extern const int tool_icon_count;

EmbeddedFile tool_icon_png(int index) {
    if (index < 0 || index >= tool_icon_count) return {nullptr, 0};
    return {tool_icon_data[index], tool_icon_size[index]};
}

}  // namespace morvane
