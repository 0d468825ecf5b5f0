// Writes the fuzz seed corpora (fuzz/corpus/<target>/) from the sample files, each of
// which must decode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "codec_support.h"
#include "image/file.h"

namespace morvane::test {
namespace {

using RobustnessSeeds = CodecTest;

void write_seed(const std::string& target, const std::string& name, const std::vector<std::uint8_t>& data) {
    const std::string corpus = std::string(MORVANE_SOURCE_DIR) + "/fuzz/corpus";
    ::mkdir(corpus.c_str(), 0755);
    const std::string dir = corpus + "/" + target;
    ::mkdir(dir.c_str(), 0755);
    const std::string path = dir + "/" + name;
    if (read_file(path) == data) return;  // unchanged seeds keep their files
    ASSERT_TRUE(file_write_atomic(path.c_str(), data.data(), data.size())) << path;
    EXPECT_EQ(read_file(path), data);
}

TEST_F(RobustnessSeeds, SamplesDecodeAndBecomeSeeds) {
    for (const auto& [name, data] : sample_files()) {
        const bool icon = name.size() > 4 && name.compare(name.size() - 4, 4, ".ico") == 0;
        ASSERT_NE(image_from_memory(1, data.data(), static_cast<std::int32_t>(data.size())), 0) << name;
        EXPECT_EQ(image_record(1)->format_tag == FormatIcon, icon) << name;
        write_seed("decode", name, data);
        write_seed(icon ? "icon" : "roundtrip", name, data);
    }
}

}  // namespace
}  // namespace morvane::test
