// What the texture tests share: an application whose log is a list of
// lines, its device brought up on the stand-in, the image library's count
// of live images, and small images made in memory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dx6app.h"
#include "standin/control/desktop.h"
#include "standin/control/runtime.h"

class CRecordingApp : public CDX6App {
public:
    void Log(const char* text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

// Image names the image library holds right now.
int LiveImages();

// A 24-bit DDS of one colour per mip level: the first colour fills the
// top level, each further colour the next level of half the size.
std::vector<unsigned char> SolidDds(DWORD width, DWORD height, const std::vector<D3DCOLOR>& levelColours);
// A 24-bit bottom-up BMP from rows given top row first.
std::vector<unsigned char> Bmp24(const std::vector<std::vector<D3DCOLOR>>& rowsTopDown);

// Every texel of a 32-bit surface, row by row (x fastest).
std::vector<uint32_t> ReadTexels(IDirectDrawSurface4* surface);
// Overwrites every byte of a surface's memory, so a refill shows.
void Scribble(IDirectDrawSurface4* surface, unsigned char value);

// The application's device in a window on a fresh stand-in desktop and
// runtime, its log emptied; the test's textures must be gone when it ends,
// and so must every image the library decoded for them.
class TextureDeviceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    CRecordingApp app;
    int imagesBefore = 0;
};
