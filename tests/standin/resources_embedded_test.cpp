// The program's own resources as the build embeds them: FindResourceA finds
// each image under type "JPG" and its id, and hands out the file's bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "standin/win32/api.h"

namespace {

std::vector<unsigned char> ReadFile(const std::string& name)
{
    std::ifstream in(std::string(BLENDPROBE_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

TEST(EmbeddedResources, EachImageIsFoundUnderTypeJpgAndItsIdWithTheFilesBytes)
{
    const struct {
        WORD id;
        const char* file;
    } images[] = {{101, "target01.bmp"}, {102, "empty.dds"}};
    for (const auto& image : images) {
        SCOPED_TRACE(image.file);
        const std::vector<unsigned char> expected = ReadFile(image.file);
        ASSERT_FALSE(expected.empty());
        HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(image.id), "JPG");
        ASSERT_NE(resource, nullptr);
        ASSERT_EQ(SizeofResource(nullptr, resource), expected.size());
        const unsigned char* bytes =
            static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, resource)));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + expected.size()), expected);
    }
}

TEST(EmbeddedResources, NothingElseIsFound)
{
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(103), "JPG"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(101), "BMP"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(10)), nullptr);
}

}  // namespace
