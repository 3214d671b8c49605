// The stand-in saves each ended scene's render target as a PNG when a
// person asks for it through STANDIN_SAVE_TARGETS; the probe's run then
// leaves "target01" as it was drawn.
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "tests/standin/probe_fixture.h"
#include "texture/devil.h"

namespace probetest {
namespace {

namespace fs = std::filesystem;

const char kVariable[] = "STANDIN_SAVE_TARGETS";

class SavedTargetsTest : public ProbeFixture {
protected:
    void SetUp() override
    {
        ProbeFixture::SetUp();
        directory = fs::path(::testing::TempDir()) /
                    ("probe-saved-targets-" + std::to_string(static_cast<long>(::getpid())));
        fs::remove_all(directory);
        fs::create_directories(directory);
    }

    void TearDown() override
    {
        ::unsetenv(kVariable);
        fs::remove_all(directory);
        ProbeFixture::TearDown();
    }

    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(directory))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path directory;
};

// The pixel (0, 0) of a PNG as R, G, B, A, read back through the image
// library; the image's size goes to width and height.
std::array<ILubyte, 4> FirstPixelOfPng(const fs::path& file, ILint& width, ILint& height)
{
    std::array<ILubyte, 4> rgba{};
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    EXPECT_EQ(ilLoadImage(file.c_str()), IL_TRUE) << file;
    width = ilGetInteger(IL_IMAGE_WIDTH);
    height = ilGetInteger(IL_IMAGE_HEIGHT);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_ORIGIN), IL_ORIGIN_UPPER_LEFT);
    ilCopyPixels(0, 0, 0, 1, 1, 1, IL_RGBA, IL_UNSIGNED_BYTE, rgba.data());
    ilDeleteImages(1, &image);
    return rgba;
}

TEST_F(SavedTargetsTest, EveryEndedSceneLeavesItsRenderTargetWhenAsked)
{
    ASSERT_EQ(::setenv(kVariable, directory.c_str(), 1), 0);

    RunProbe();

    ASSERT_EQ(probe->verdict, 0);
    // The texture pass's scene, then the back buffer's.
    EXPECT_EQ(Files(), (std::set<std::string>{"scene1-256x256.png", "scene2-800x600.png"}));
    ILint width = 0, height = 0;
    const std::array<ILubyte, 4> first = FirstPixelOfPng(directory / "scene1-256x256.png", width, height);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 256);
    EXPECT_EQ(first[3], 0x24);
    EXPECT_EQ(first, (std::array<ILubyte, 4>{0x36, 0x0C, 0x12, 0x24}));
}

TEST_F(SavedTargetsTest, NothingIsSavedUnlessAsked)
{
    ::unsetenv(kVariable);

    RunProbe();

    EXPECT_EQ(probe->verdict, 0);
    EXPECT_TRUE(Files().empty());
}

}  // namespace
}  // namespace probetest
