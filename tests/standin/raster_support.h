// Helpers for the rasterizer's tests: surfaces in memory with guard bytes
// around them, vertex builders, and states set the way a device sets them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "standin/raster/raster.h"

namespace rastertest {

using standin::raster::DepthSurface;
using standin::raster::DeviceState;
using standin::raster::PixelFormat;
using standin::raster::Surface;

constexpr PixelFormat kArgb8888{32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
constexpr PixelFormat kXrgb8888{32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0};
constexpr PixelFormat kRgb565{16, 0xF800, 0x07E0, 0x001F, 0};
constexpr PixelFormat kXrgb1555{16, 0x7C00, 0x03E0, 0x001F, 0};
constexpr PixelFormat kArgb1555{16, 0x7C00, 0x03E0, 0x001F, 0x8000};
constexpr PixelFormat kArgb4444{16, 0x0F00, 0x00F0, 0x000F, 0xF000};

constexpr uint8_t kGuardByte = 0xA5;
constexpr size_t kGuardSize = 64;

// Surface memory laid out as a driver would: rows padded past their pixels,
// with guard bytes before the first row and after the last. Every byte that
// is not a pixel holds kGuardByte, so a stray write shows.
class Image {
public:
    Image(uint32_t width, uint32_t height, PixelFormat format, uint32_t padding = 12)
        : bytesPerPixel_(format.bitCount / 8),
          rowBytes_(width * bytesPerPixel_),
          memory_(2 * kGuardSize + static_cast<size_t>(rowBytes_ + padding) * height, kGuardByte)
    {
        surface_ = {memory_.data() + kGuardSize, static_cast<int32_t>(rowBytes_ + padding), width, height,
                    format};
        Fill(0);
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    Surface& surface() { return surface_; }
    const Surface* texture() const { return &surface_; }

    // Sets every pixel to the raw value given.
    void Fill(uint32_t pixel)
    {
        for (uint32_t y = 0; y < surface_.height; ++y) {
            for (uint32_t x = 0; x < surface_.width; ++x) {
                SetRaw(x, y, pixel);
            }
        }
    }
    void SetRaw(uint32_t x, uint32_t y, uint32_t pixel)
    {
        std::memcpy(Address(x, y), &pixel, bytesPerPixel_);  // little-endian: the low bytes
    }
    uint32_t Raw(uint32_t x, uint32_t y) const
    {
        uint32_t pixel = 0;
        std::memcpy(&pixel, Address(x, y), bytesPerPixel_);
        return pixel;
    }
    D3DCOLOR At(uint32_t x, uint32_t y) const { return standin::raster::ReadColor(surface_, x, y); }

    std::vector<uint32_t> Pixels() const
    {
        std::vector<uint32_t> all;
        for (uint32_t y = 0; y < surface_.height; ++y) {
            for (uint32_t x = 0; x < surface_.width; ++x) {
                all.push_back(Raw(x, y));
            }
        }
        return all;
    }

    // No byte outside the pixels was written.
    bool GuardsIntact() const
    {
        for (size_t i = 0; i < memory_.size(); ++i) {
            if (!IsPixelByte(i) && memory_[i] != kGuardByte) {
                return false;
            }
        }
        return true;
    }

private:
    uint8_t* Address(uint32_t x, uint32_t y) const
    {
        return surface_.bits + static_cast<size_t>(y) * surface_.pitch +
               static_cast<size_t>(x) * bytesPerPixel_;
    }
    bool IsPixelByte(size_t i) const
    {
        if (i < kGuardSize) {
            return false;
        }
        const size_t offset = i - kGuardSize;
        const size_t row = offset / surface_.pitch;
        return row < surface_.height && offset % surface_.pitch < rowBytes_;
    }

    uint32_t bytesPerPixel_;
    uint32_t rowBytes_;
    std::vector<uint8_t> memory_;
    Surface surface_;
};

// A Z-buffer in the same kind of memory, without guards (the colour
// surface's guards catch stray writes of the shared scan).
class DepthImage {
public:
    DepthImage(uint32_t width, uint32_t height, uint32_t bitDepth = 16, uint32_t zMask = 0xFFFF)
        : wordBytes_(bitDepth <= 16 ? 2 : 4), memory_(static_cast<size_t>(width * wordBytes_ + 8) * height, 0)
    {
        surface_ = {memory_.data(), static_cast<int32_t>(width * wordBytes_ + 8), width, height, bitDepth,
                    zMask};
    }
    DepthImage(const DepthImage&) = delete;
    DepthImage& operator=(const DepthImage&) = delete;

    DepthSurface* surface() { return &surface_; }

    void FillWords(uint32_t word)
    {
        for (uint32_t y = 0; y < surface_.height; ++y) {
            for (uint32_t x = 0; x < surface_.width; ++x) {
                SetWord(x, y, word);
            }
        }
    }
    void Clear(float z) { FillWords(standin::raster::PackDepth(surface_, z)); }
    void SetWord(uint32_t x, uint32_t y, uint32_t word)
    {
        std::memcpy(memory_.data() + static_cast<size_t>(y) * surface_.pitch + x * wordBytes_, &word,
                    wordBytes_);
    }
    uint32_t Word(uint32_t x, uint32_t y) const
    {
        uint32_t word = 0;
        std::memcpy(&word, memory_.data() + static_cast<size_t>(y) * surface_.pitch + x * wordBytes_,
                    wordBytes_);
        return word;
    }

private:
    uint32_t wordBytes_;
    std::vector<uint8_t> memory_;
    DepthSurface surface_;
};

// D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1
struct TLVertex {
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u, v;
};
constexpr DWORD kTLVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

// A strip of two triangles covering [0, w] x [0, h] with one colour, one
// specular colour and texture coordinates from (0, 0) to (1, 1).
inline std::array<TLVertex, 4> Quad(float w, float h, uint32_t diffuse = 0xFFFFFFFF, uint32_t specular = 0,
                                    float z = 0.5f)
{
    return {{{0, h, z, 1, diffuse, specular, 0, 1},
             {0, 0, z, 1, diffuse, specular, 0, 0},
             {w, h, z, 1, diffuse, specular, 1, 1},
             {w, 0, z, 1, diffuse, specular, 1, 0}}};
}

inline void SetStage(DeviceState& state, uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value)
{
    standin::raster::SetStageState(state, stage, type, value);
}

template <size_t N>
HRESULT DrawStrip(const DeviceState& state, Image& target, DepthImage* depth,
                  const std::array<TLVertex, N>& v, DWORD flags = 0)
{
    return standin::raster::Draw(state, target.surface(), depth != nullptr ? depth->surface() : nullptr,
                                 D3DPT_TRIANGLESTRIP, kTLVertexFvf, v.data(), N, flags);
}

}  // namespace rastertest
