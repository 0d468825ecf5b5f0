// The codec lists, the decode path, loading from files and the saving rules.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "codec_support.h"

namespace morvane::test {
namespace {

using Codec = CodecTest;
using Px = std::array<int, 4>;

// A two-byte test format "XY" followed by width and height bytes; probe and decode record
// what they were given.
struct Trace {
    int probes = 0, decodes = 0, releases = 0;
    int stride = 0, flags = 0;
    bool fail_decode = false;
};
Trace g_trace;

int xy_probe(DecodeContext* ctx) {
    ++g_trace.probes;
    if (ctx->source_size < 4 || ctx->source[0] != 'X' || ctx->source[1] != 'Y') return 0;
    ctx->width = ctx->source[2];
    ctx->height = ctx->source[3];
    ctx->target_depth = 32;
    ctx->file_depth = 5;
    return 1;
}
int xy_decode(DecodeContext*, std::uint8_t* pixels, std::int32_t stride, int flags) {
    ++g_trace.decodes;
    g_trace.stride = stride;
    g_trace.flags = flags;
    pixels[0] = 0xAB;  // first memory row: the bottom line
    return g_trace.fail_decode ? 0 : 1;
}
void xy_release(DecodeContext*) {
    ++g_trace.releases;
}
const ImageDecoder xy_decoder{xy_probe, xy_decode, xy_release, 0x5958};

TEST_F(Codec, DecodersAreProbedInOrderAndReleasedAfterEveryDecode) {
    g_trace = Trace{};
    ASSERT_EQ(decoder_register(&xy_decoder), 1);
    const std::uint8_t xy[4] = {'X', 'Y', 3, 2};
    const std::intptr_t handle = image_from_memory(1, xy, 4);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(handle, image_handle(1));
    EXPECT_EQ(g_trace.probes, 1);  // BMP, PNG and JPEG rejected the block before it
    EXPECT_EQ(g_trace.decodes, 1);
    EXPECT_EQ(g_trace.releases, 1);
    EXPECT_EQ(g_trace.stride, 12);
    EXPECT_EQ(g_trace.flags, 2);
    const Image* record = image_record(1);
    EXPECT_EQ(record->depth, 32);
    EXPECT_EQ(record->source_depth, 5);
    EXPECT_EQ(record->format_tag, 0x5958u);
    EXPECT_EQ(pixel_at(1, 0, 1)[0], 0xAB);

    g_trace.fail_decode = true;
    EXPECT_EQ(image_from_memory(1, xy, 4), 0);
    EXPECT_EQ(g_trace.releases, 2);  // released after the failed decode too
    EXPECT_EQ(image_exists(1), 0);

    // A second registration of PNG does not add it again: still one probe per codec.
    ASSERT_NE(png_decoder_register(), 0);
    g_trace = Trace{};
    const std::uint8_t other[4] = {'Q', 'Q', 1, 1};
    EXPECT_EQ(image_from_memory(1, other, 4), 0);
    EXPECT_EQ(g_trace.probes, 1);
}

TEST_F(Codec, ListsHoldThirtyDecodersAndThirtyTwoEncoders) {
    image_codecs_init();
    for (int i = 0; i < 30; ++i) EXPECT_EQ(decoder_register(&xy_decoder), 1);
    EXPECT_EQ(decoder_register(&xy_decoder), 0);
    const ImageEncoder none{1, nullptr, nullptr};
    for (int i = 0; i < 32; ++i) EXPECT_EQ(encoder_register(&none), 1);
    EXPECT_EQ(encoder_register(&none), 0);
    // No BMP codec registered after the reset: a BMP is not recognised.
    const auto file = make_bmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
    EXPECT_EQ(image_from_memory(1, file.data(), static_cast<std::int32_t>(file.size())), 0);
}

TEST_F(Codec, DynamicNumbersAndLoadingFromFiles) {
    const auto file = make_bmp(2, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0});
    const std::intptr_t number = image_from_memory(-1, file.data(), static_cast<std::int32_t>(file.size()));
    ASSERT_NE(number, 0);
    EXPECT_NE(image_exists(number), 0);
    EXPECT_EQ(pixel_at(number, 1, 0), (Px{4, 5, 6, 255}));

    const std::string path = temp_dir() + "/two.bmp";
    write_file(path, file);
    ASSERT_NE(image_load(3, path), 0);
    EXPECT_EQ(pixel_at(3, 0, 0), (Px{1, 2, 3, 255}));
    // A missing or empty file fails and leaves no image at the number.
    EXPECT_EQ(image_load(3, temp_dir() + "/missing.bmp"), 0);
    EXPECT_EQ(image_exists(3), 0);
    ASSERT_NE(image_create(3, 1, 1), 0);
    write_file(path, {});
    EXPECT_EQ(image_load(3, path), 0);
    EXPECT_EQ(image_exists(3), 0);
}

TEST_F(Codec, SaveRejectsBadRequestsWithoutCreatingFiles) {
    ASSERT_NE(image_create(1, 3, 3, 24, 0), 0);
    EXPECT_EQ(image_save(1, ""), 0);
    EXPECT_EQ(image_save(1, temp_dir() + "/x.gif", 0x464947), 0);  // no such encoder
    EXPECT_EQ(image_save(2, temp_dir() + "/none.bmp"), 0);         // no image
    EXPECT_EQ(image_save(1, temp_dir() + "/no/such/folder.bmp"), 0);
    EXPECT_TRUE(list_dir(temp_dir()).empty());
}

TEST_F(Codec, SavingReplacesFilesWholeAndLeavesNoTemporaryFiles) {
    ASSERT_NE(image_create(1, 4, 2, 24, rgb(1, 2, 3)), 0);
    const std::string path = temp_dir() + "/pic.bmp";
    write_file(path, std::vector<std::uint8_t>(1000, 'z'));
    ::umask(022);
    ASSERT_EQ(image_save(1, path), 1);
    const auto bytes = read_file(path);
    EXPECT_EQ(bytes.size(), 54u + 2 * 12u);
    EXPECT_EQ(list_dir(temp_dir()), std::vector<std::string>{"pic.bmp"});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    // The target is a folder: the rename fails, the folder and its content stay.
    const std::string folder = temp_dir() + "/folder.png";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    write_file(folder + "/inside", {1, 2, 3});
    EXPECT_EQ(image_save(1, folder, FormatPng), 0);
    EXPECT_EQ(read_file(folder + "/inside"), (std::vector<std::uint8_t>{1, 2, 3}));
    auto names = list_dir(temp_dir());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder.png", "pic.bmp"}));
    ::unlink((folder + "/inside").c_str());
    ::rmdir(folder.c_str());
}

TEST_F(Codec, ThirtyTwoBitPicturesFlattenForTwentyFourBitOutput) {
    // Saving a 32-bit picture as a 24-bit PNG composes onto white:
    // (B 0, G 100, R 200) at alpha 51 -> (204, 224, 244), hand computed.
    ASSERT_NE(image_create(1, 1, 1, 32, BackgroundTransparent), 0);
    std::uint8_t* p = bitmap_from_handle(image_handle(1))->row(0);
    p[0] = 0, p[1] = 100, p[2] = 200, p[3] = 51;
    const std::string path = temp_dir() + "/flat.png";
    ASSERT_EQ(image_save(1, path, FormatPng, 7, 24), 1);
    ASSERT_NE(image_load(2, path), 0);
    EXPECT_EQ(image_record(2)->depth, 24);
    EXPECT_EQ(pixel_at(2, 0, 0), (Px{204, 224, 244, 255}));
    // With the defaults (source depth 32) the alpha survives.
    ASSERT_EQ(image_save(1, path, FormatPng), 1);
    ASSERT_NE(image_load(2, path), 0);
    EXPECT_EQ(pixel_at(2, 0, 0), (Px{0, 100, 200, 51}));
}

TEST_F(Codec, WritersToMemoryReturnTheEncodedBlock) {
    ASSERT_NE(image_create(1, 3, 2, 24, rgb(10, 20, 30)), 0);
    const Bitmap& b = *bitmap_from_handle(image_handle(1));
    for (std::uint32_t tag : {FormatBmp, FormatPng, FormatJpeg}) {
        const ImageEncoder* encoder = encoder_find(tag);
        ASSERT_NE(encoder, nullptr);
        const auto bytes = encode_to_memory(encoder->write24, b, 10, 24);
        ASSERT_FALSE(bytes.empty()) << tag;
        ASSERT_NE(image_from_memory(2, bytes.data(), static_cast<std::int32_t>(bytes.size())), 0) << tag;
        EXPECT_EQ(image_record(2)->format_tag, tag);
        const Px got = pixel_at(2, 2, 1);
        EXPECT_NEAR(got[0], 30, 2);
        EXPECT_NEAR(got[1], 20, 2);
        EXPECT_NEAR(got[2], 10, 2);
    }
    EXPECT_EQ(encoder_find(FormatJpeg)->write32, nullptr);
}

}  // namespace
}  // namespace morvane::test
