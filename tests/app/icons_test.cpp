// The embedded tool icons: each decodes at its size with transparent corners.
#include <gtest/gtest.h>

#include "app/tools/tool_icons.h"
#include "image/codec.h"
#include "image/image.h"
#include "tileset_script.h"

namespace morvane::testing {
namespace {

TEST(ToolIcons, DecodeAtTheirSizesWithTransparentBackgrounds) {
    image_codecs_init();
    bmp_codec_register();
    ASSERT_NE(png_decoder_register(), 0);
    const int sizes[7] = {24, 24, 16, 16, 16, 24, 16};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        const EmbeddedFile file = tool_icon_png(i);
        ASSERT_NE(file.data, nullptr);
        ASSERT_GT(file.size, 8u);
        ASSERT_NE(image_from_memory(70, file.data, static_cast<std::int32_t>(file.size)), 0);
        EXPECT_EQ(image_width(70), sizes[i]);
        EXPECT_EQ(image_height(70), sizes[i]);
        ASSERT_EQ(bitmap_from_handle(image_handle(70))->bpp, 32);
        const int last = sizes[i] - 1;
        // Transparent corners, and a picture that covers a fair part of the icon.
        int opaque = 0;
        for (int y = 0; y <= last; ++y) {
            for (int x = 0; x <= last; ++x) opaque += image_pixel(70, x, y) >> 24 == 255;
        }
        EXPECT_EQ(image_pixel(70, 0, 0) >> 24, 0u);
        EXPECT_EQ(image_pixel(70, last, 0) >> 24, 0u);
        EXPECT_EQ(image_pixel(70, 0, last) >> 24, 0u);
        EXPECT_EQ(image_pixel(70, last, last) >> 24, 0u);
        EXPECT_GT(opaque, sizes[i] * sizes[i] / 16);
        EXPECT_LT(opaque, sizes[i] * sizes[i] * 3 / 4);
        image_free(70);
    }
    EXPECT_EQ(tool_icon_png(7).data, nullptr);
    EXPECT_EQ(tool_icon_png(-1).size, 0u);
}

}  // namespace
}  // namespace morvane::testing
