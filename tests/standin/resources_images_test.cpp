// The two embedded images, read byte by byte without any image library: a
// wrong header field or pixel would otherwise only show up as a decoder's
// guess.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadFile(const std::string& name)
{
    std::ifstream in(std::string(BLENDPROBE_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t LittleEndian(const std::vector<unsigned char>& bytes, size_t offset, size_t size)
{
    uint32_t value = 0;
    for (size_t i = size; i-- > 0;) value = (value << 8) | bytes.at(offset + i);
    return value;
}

struct Field {
    const char* name;
    size_t offset;
    size_t size;  // 2 or 4 bytes, little-endian
    uint32_t value;
};

void ExpectFields(const std::vector<unsigned char>& bytes, const std::vector<Field>& fields)
{
    for (const Field& f : fields) {
        EXPECT_EQ(LittleEndian(bytes, f.offset, f.size), f.value) << f.name << " at offset " << f.offset;
    }
}

TEST(EmbeddedImages, WhiteBmpHasEveryHeaderFieldOfAnIndexed256By256Bitmap)
{
    const auto bmp = ReadFile("target01.bmp");
    ASSERT_EQ(bmp.size(), 66614u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    ExpectFields(bmp, {
                          {"bfSize", 2, 4, 66614},
                          {"bfReserved1", 6, 2, 0},
                          {"bfReserved2", 8, 2, 0},
                          {"bfOffBits", 10, 4, 1078},
                          {"biSize", 14, 4, 40},
                          {"biWidth", 18, 4, 256},
                          {"biHeight", 22, 4, 256},
                          {"biPlanes", 26, 2, 1},
                          {"biBitCount", 28, 2, 8},
                          {"biCompression", 30, 4, 0},
                          {"biSizeImage", 34, 4, 0},
                          {"biXPelsPerMeter", 38, 4, 0},
                          {"biYPelsPerMeter", 42, 4, 0},
                          {"biClrUsed", 46, 4, 256},
                          {"biClrImportant", 50, 4, 0},
                      });
}

TEST(EmbeddedImages, WhiteBmpUsesOnlyPaletteEntry255WhichIsWhite)
{
    const auto bmp = ReadFile("target01.bmp");
    ASSERT_EQ(bmp.size(), 66614u);
    const size_t entry255 = 54 + 4 * 255;
    EXPECT_EQ(bmp[entry255 + 0], 0xFF) << "blue";
    EXPECT_EQ(bmp[entry255 + 1], 0xFF) << "green";
    EXPECT_EQ(bmp[entry255 + 2], 0xFF) << "red";
    EXPECT_EQ(bmp[entry255 + 3], 0x00) << "reserved";
    for (size_t i = 1078; i < bmp.size(); ++i) {
        ASSERT_EQ(bmp[i], 255) << "pixel index at file offset " << i;
    }
}

TEST(EmbeddedImages, CheckerboardDdsHasEveryHeaderFieldOfA128By128RgbTexture)
{
    const auto dds = ReadFile("empty.dds");
    ASSERT_EQ(dds.size(), 49280u);
    EXPECT_EQ(std::string(dds.begin(), dds.begin() + 4), "DDS ");
    std::vector<Field> fields = {
        {"dwSize", 4, 4, 124},
        {"dwFlags", 8, 4, 0x00081007},
        {"dwHeight", 12, 4, 128},
        {"dwWidth", 16, 4, 128},
        {"dwPitchOrLinearSize", 20, 4, 49152},
        {"dwDepth", 24, 4, 0},
        {"dwMipMapCount", 28, 4, 0},
        {"ddpf.dwSize", 76, 4, 32},
        {"ddpf.dwFlags", 80, 4, 0x40},
        {"ddpf.dwFourCC", 84, 4, 0},
        {"ddpf.dwRGBBitCount", 88, 4, 24},
        {"dwRBitMask", 92, 4, 0x00FF0000},
        {"dwGBitMask", 96, 4, 0x0000FF00},
        {"dwBBitMask", 100, 4, 0x000000FF},
        {"dwRGBAlphaBitMask", 104, 4, 0},
        {"dwCaps", 108, 4, 0x1000},
        {"dwCaps2", 112, 4, 0},
        {"dwCaps3", 116, 4, 0},
        {"dwCaps4", 120, 4, 0},
        {"dwReserved2", 124, 4, 0},
    };
    for (size_t word = 0; word < 11; ++word) fields.push_back({"dwReserved1", 32 + 4 * word, 4, 0});
    ExpectFields(dds, fields);
}

TEST(EmbeddedImages, CheckerboardDdsHas16By16SquaresStartingWithRedInBlueGreenRedOrder)
{
    const auto dds = ReadFile("empty.dds");
    ASSERT_EQ(dds.size(), 49280u);
    int red = 0, green = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const size_t at = 128 + 384 * y + 3 * x;
            const bool wantRed = (x / 16 + y / 16) % 2 == 0;
            const unsigned char expected[3] = {0x00, static_cast<unsigned char>(wantRed ? 0x00 : 0xFF),
                                               static_cast<unsigned char>(wantRed ? 0xFF : 0x00)};
            ASSERT_TRUE(dds[at] == expected[0] && dds[at + 1] == expected[1] && dds[at + 2] == expected[2])
                << "texel (" << x << ", " << y << ")";
            (wantRed ? red : green)++;
        }
    }
    EXPECT_EQ(red, 8192);
    EXPECT_EQ(green, 8192);
}

}  // namespace
