// InitDevice: what it builds in either mode, what each failing step leaves
// behind for DeleteDevice, and which Z-buffer format it takes.
#include <array>
#include <cctype>
#include <cstring>
#include <ostream>

#include "app_test_support.h"

namespace apptest {
namespace {

using Lines = std::vector<std::string>;

static_assert(sizeof(DDSURFACEDESC2) == 136, "a 64-bit DDSURFACEDESC2 holds a pointer and its padding");

// A Z-buffer format of the given total depth whose stencil bits, if any,
// lie below the depth bits.
DDPIXELFORMAT ZFormat(DWORD bits, DWORD stencil)
{
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof(format));
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_ZBUFFER | (stencil ? DDPF_STENCILBUFFER : 0);
    format.dwZBufferBitDepth = bits;
    format.dwStencilBitDepth = stencil;
    const DWORD depthBits = bits - stencil;
    format.dwZBitMask = (depthBits >= 32 ? 0xFFFFFFFFu : (1u << depthBits) - 1) << stencil;
    format.dwStencilBitMask = stencil ? (1u << stencil) - 1 : 0;
    return format;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

class SetupTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        RegisterMainClass();
    }
};

// ---- a device that comes up

struct ModeCase {
    const char* name;
    bool fullscreen;
    DWORD width, height;
    DWORD exStyle;
    RECT window;  // on the screen
    DWORD cooperativeLevel;
    runtime::DisplayMode mode;
};

const ModeCase kModeCases[] = {
    {"window", false, 800, 600, 0, {20, 20, 820, 620}, DDSCL_NORMAL, {1024, 768, 32}},
    {"smaller window", false, 640, 480, 0, {20, 20, 660, 500}, DDSCL_NORMAL, {1024, 768, 32}},
    {"full screen", true, 800, 600, WS_EX_TOPMOST, {0, 0, 800, 600}, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE,
     {800, 600, 32}},
};

TEST_F(SetupTest, BuildsTheWholeDeviceInEitherMode)
{
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.name);
        StartOver();
        app->width = c.width;
        app->height = c.height;
        app->timerStarted = true;

        EXPECT_EQ(InitDevice(c.fullscreen), S_OK);

        EXPECT_EQ(WithoutWindowEvents(app->lines), (Lines{"> Device initializing...", "> Device initializing... done"}));
        EXPECT_EQ(app->hooks, Lines{"InitDeviceObjects active ready"});
        EXPECT_TRUE(app->deviceReady);
        EXPECT_FALSE(app->errorRaised);
        EXPECT_FALSE(app->timerStarted);
        EXPECT_EQ(HeldInterfaces(*app), static_cast<unsigned>(kAllHeld));

        const desktop::WindowInfo window = desktop::Inspect(app->hWnd);
        EXPECT_EQ(window.className, "DX6APP");
        EXPECT_EQ(window.title, "DirectX6 Application");
        EXPECT_EQ(window.style, 0x90080000u);
        EXPECT_EQ(window.exStyle, c.exStyle);
        EXPECT_EQ(window.parent, nullptr);
        EXPECT_EQ(window.windowRect.left, c.window.left);
        EXPECT_EQ(window.windowRect.top, c.window.top);
        EXPECT_EQ(window.windowRect.right, c.window.right);
        EXPECT_EQ(window.windowRect.bottom, c.window.bottom);
        // The size the back buffer gets is the client size the window has.
        EXPECT_EQ(app->width, static_cast<DWORD>(window.clientRect.right));
        EXPECT_EQ(app->height, static_cast<DWORD>(window.clientRect.bottom));
        EXPECT_EQ(app->width, c.width);
        EXPECT_EQ(app->height, c.height);
        // WM_MOVE during the creation filled the window rectangle.
        EXPECT_EQ(app->windowRect.left, c.window.left);
        EXPECT_EQ(app->windowRect.top, c.window.top);
        EXPECT_EQ(app->windowRect.right, c.window.right);
        EXPECT_EQ(app->windowRect.bottom, c.window.bottom);

        EXPECT_EQ(runtime::CooperativeLevel(), c.cooperativeLevel);
        const runtime::DisplayMode mode = runtime::CurrentDisplayMode();
        EXPECT_EQ(mode.width, c.mode.width);
        EXPECT_EQ(mode.height, c.mode.height);
        EXPECT_EQ(mode.bitsPerPixel, c.mode.bitsPerPixel);

        const runtime::SurfaceInfo back = runtime::Inspect(app->backBuffer);
        const runtime::SurfaceInfo z = runtime::Inspect(app->zBuffer);
        EXPECT_EQ(back.width, c.width);
        EXPECT_EQ(back.height, c.height);
        EXPECT_EQ(z.width, c.width);
        EXPECT_EQ(z.height, c.height);
        EXPECT_EQ(runtime::Attached(app->backBuffer, DDSCAPS_ZBUFFER), app->zBuffer);
        if (c.fullscreen) {
            EXPECT_EQ(runtime::Attached(app->primarySurface, DDSCAPS_BACKBUFFER), app->backBuffer);
        }
    }
}

// The stand-in keeps the current viewport with every draw, which is how the
// test reads back the one InitDevice made current.
TEST_F(SetupTest, CurrentViewportCoversTheBackBuffer)
{
    app->width = 640;
    app->height = 480;
    ASSERT_EQ(InitDevice(false), S_OK);
    float triangle[3][4] = {{10, 10, 0.5f, 1}, {100, 10, 0.5f, 1}, {10, 100, 0.5f, 1}};
    ASSERT_EQ(app->device->BeginScene(), S_OK);
    ASSERT_EQ(app->device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW, triangle, 3, D3DDP_WAIT), S_OK);
    ASSERT_EQ(app->device->EndScene(), S_OK);

    ASSERT_EQ(runtime::Draws().size(), 1u);
    const D3DVIEWPORT2& viewport = runtime::Draws()[0].viewport;
    EXPECT_EQ(viewport.dwSize, 44u);
    EXPECT_EQ(viewport.dwX, 0u);
    EXPECT_EQ(viewport.dwY, 0u);
    EXPECT_EQ(viewport.dwWidth, 640u);
    EXPECT_EQ(viewport.dwHeight, 480u);
    EXPECT_EQ(viewport.dvClipX, -1.0f);
    EXPECT_EQ(viewport.dvClipY, 1.0f);
    EXPECT_EQ(viewport.dvClipWidth, 2.0f);
    EXPECT_EQ(viewport.dvClipHeight, 2.0f);
    EXPECT_EQ(viewport.dvMinZ, 0.0f);
    EXPECT_EQ(viewport.dvMaxZ, 1.0f);
    EXPECT_EQ(runtime::Draws()[0].renderTarget, app->backBuffer);
    EXPECT_EQ(runtime::Draws()[0].zBuffer, app->zBuffer);
}

TEST_F(SetupTest, MousePositionIsTheCursorInClientCoordinates)
{
    desktop::SetCursorScreenPos(120, 70);
    ASSERT_EQ(InitDevice(false), S_OK);
    EXPECT_EQ(app->mouseX, 100);
    EXPECT_EQ(app->mouseY, 50);
}

struct ObjectsHookCase {
    const char* name;
    std::function<HRESULT()> hook;
    HRESULT result;
    Lines lines;
};

// The hook runs on a complete device; its failure is the result, and Run,
// not InitDevice, raises the error.
TEST_F(SetupTest, InitDeviceObjectsFailureIsTheResult)
{
    const ObjectsHookCase cases[] = {
        {"the hook fails", [] { return kFault; }, kFault,
         {"> Device initializing...", "> Device initializing... done"}},
        {"the hook throws", []() -> HRESULT { throw ScriptedThrow(); }, E_OUTOFMEMORY,
         {"> Device initializing...", "> Device initializing... done", "EXCEPTION WHILE DEVICE OBJECTS INIT"}},
    };
    for (const ObjectsHookCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        app->initDeviceObjects = c.hook;
        app->timerStarted = true;

        EXPECT_EQ(InitDevice(false), c.result);

        EXPECT_EQ(WithoutWindowEvents(app->lines), c.lines);
        EXPECT_TRUE(app->deviceReady);
        EXPECT_FALSE(app->timerStarted);
        EXPECT_FALSE(app->errorRaised);
        EXPECT_EQ(HeldInterfaces(*app), static_cast<unsigned>(kAllHeld));
    }
}

// ---- the descriptors handed to CreateSurface

using DescriptorBytes = std::array<unsigned char, sizeof(DDSURFACEDESC2)>;

DescriptorBytes BytesOf(const DDSURFACEDESC2& desc)
{
    DescriptorBytes bytes;
    std::memcpy(bytes.data(), &desc, sizeof(desc));
    return bytes;
}

DDSURFACEDESC2 DescOf(const DescriptorBytes& bytes)
{
    DDSURFACEDESC2 desc;
    std::memcpy(&desc, bytes.data(), sizeof(desc));
    return desc;
}

// Stands between InitDevice and the IDirectDraw4 interface and keeps every
// descriptor exactly as it was given, padding included.
class DescriptorRecorder final : public IDirectDraw4 {
public:
    explicit DescriptorRecorder(IDirectDraw4* real) : real_(real) {}

    HRESULT QueryInterface(REFIID riid, void** object) override { return real_->QueryInterface(riid, object); }
    ULONG AddRef() override { return real_->AddRef(); }
    ULONG Release() override { return real_->Release(); }
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface4** surface, IUnknown* outer) override
    {
        descriptors.push_back(BytesOf(*desc));
        return real_->CreateSurface(desc, surface, outer);
    }

    std::vector<DescriptorBytes> descriptors;

private:
    IDirectDraw4* real_;
};

DDSURFACEDESC2 Descriptor(DWORD flags, DWORD caps, DWORD width = 0, DWORD height = 0)
{
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    desc.dwWidth = width;
    desc.dwHeight = height;
    return desc;
}

struct DescriptorCase {
    const char* name;
    bool fullscreen;
    std::vector<DDSURFACEDESC2> expected;
};

// Every member not set for a surface is zero, and dwSize is the size of
// the structure as this platform lays it out.
TEST_F(SetupTest, SurfaceDescriptorsCarryTheirSizeAndCaps)
{
    const DDPIXELFORMAT d16 = ZFormat(16, 0);
    DDSURFACEDESC2 zBuffer = Descriptor(0x1007, 0x24000, 800, 600);
    zBuffer.ddpfPixelFormat = d16;
    DDSURFACEDESC2 flippingPrimary = Descriptor(0x21, 0x6218);
    flippingPrimary.dwBackBufferCount = 1;
    const DescriptorCase cases[] = {
        {"window", false, {Descriptor(0x1, 0x200), Descriptor(0x7, 0x6040, 800, 600), zBuffer}},
        {"full screen", true, {flippingPrimary, zBuffer}},
    };
    for (const DescriptorCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        runtime::SetZBufferFormats({d16});
        // The window's creation is the one moment between the IDirectDraw4
        // query and the first CreateSurface where the test can step in.
        std::unique_ptr<DescriptorRecorder> recorder;
        app->onMessage = [&](UINT message) {
            if (message == WM_CREATE) {
                recorder = std::make_unique<DescriptorRecorder>(app->directDraw4);
                app->directDraw4 = recorder.get();
            }
        };

        ASSERT_EQ(InitDevice(c.fullscreen), S_OK);

        ASSERT_EQ(recorder->descriptors.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "CreateSurface call " << i + 1);
            const DDSURFACEDESC2 given = DescOf(recorder->descriptors[i]);
            EXPECT_EQ(given.dwSize, 136u);
            EXPECT_EQ(given.dwFlags, c.expected[i].dwFlags);
            EXPECT_EQ(given.ddsCaps.dwCaps, c.expected[i].ddsCaps.dwCaps);
            EXPECT_EQ(given.dwWidth, c.expected[i].dwWidth);
            EXPECT_EQ(given.dwHeight, c.expected[i].dwHeight);
            EXPECT_TRUE(recorder->descriptors[i] == BytesOf(c.expected[i])) << "a member that should be zero is not";
        }
        app->DeleteDevice();
        EXPECT_EQ(runtime::LiveObjects(), 0);
    }
}

// ---- each failing step

struct FailureCase {
    const char* name;
    bool fullscreen;
    const char* operation;  // null: the driver offers no usable Z-buffer format
    int nth;
    const char* line;
    unsigned held;
};

const unsigned kUpToDirectDraw4 = kDirectDraw | kDirectDraw4;
const unsigned kUpToPrimary = kUpToDirectDraw4 | kPrimary;
const unsigned kUpToBackBuffer = kUpToPrimary | kBackBuffer;
const unsigned kUpToDirect3D = kUpToBackBuffer | kDirect3D;
const unsigned kUpToZBuffer = kUpToDirect3D | kZBuffer;
const unsigned kUpToDevice = kUpToZBuffer | kDevice;
const unsigned kUpToViewport = kUpToDevice | kViewport;

const FailureCase kFailureCases[] = {
    {"DirectDrawCreate", false, "DirectDrawCreate", 1, "ERROR: can't create Direct Draw object", 0},
    {"IDirectDraw4 query", false, "IDirectDraw::QueryInterface", 1, "ERROR: can't query IDirectDraw4 interface",
     kDirectDraw},
    {"window cooperative level", false, "IDirectDraw::SetCooperativeLevel", 1, "ERROR: can't set cooperative level",
     kUpToDirectDraw4},
    {"window primary", false, "IDirectDraw4::CreateSurface", 1, "ERROR: while primary device creating",
     kUpToDirectDraw4},
    {"window back buffer", false, "IDirectDraw4::CreateSurface", 2, "ERROR: while Back-Buffer creating",
     kUpToPrimary},
    {"IDirect3D3 query", false, "IDirectDraw4::QueryInterface", 1, "ERROR: can't query IDirect3D2 interface",
     kUpToBackBuffer},
    {"no Z-buffer format", false, nullptr, 0, "ERROR: can't enumerate Z-Buffer formats", kUpToDirect3D},
    {"window Z-buffer", false, "IDirectDraw4::CreateSurface", 3, "ERROR: while creating Z-Buffer surface",
     kUpToDirect3D},
    {"Z-buffer attachment", false, "IDirectDrawSurface4::AddAttachedSurface", 1,
     "ERROR: can't add attached surface (Z-Buffer)", kUpToZBuffer},
    {"device", false, "IDirect3D3::CreateDevice", 1, "ERROR: while creating Direct3D device", kUpToZBuffer},
    {"viewport", false, "IDirect3D3::CreateViewport", 1, "ERROR: while creating viewport", kUpToDevice},
    {"adding the viewport", false, "IDirect3DDevice3::AddViewport", 1, "ERROR: can't add viewport", kUpToViewport},
    {"viewport data", false, "IDirect3DViewport3::SetViewport2", 1, "ERROR: can't set viewport (Viewport)",
     kUpToViewport},
    {"current viewport", false, "IDirect3DDevice3::SetCurrentViewport", 1,
     "ERROR: can't set current viewport (D3D device)", kUpToViewport},
    {"full-screen cooperative level", true, "IDirectDraw::SetCooperativeLevel", 1,
     "ERROR: can't set cooperative level", kUpToDirectDraw4},
    {"display mode", true, "IDirectDraw::SetDisplayMode", 1, "ERROR: can't set display mode", kUpToDirectDraw4},
    {"flipping primary", true, "IDirectDraw4::CreateSurface", 1, "ERROR: while primary device creating",
     kUpToDirectDraw4},
    {"attached back buffer", true, "IDirectDrawSurface4::GetAttachedSurface", 1,
     "ERROR: can't get attached surface", kUpToPrimary},
    {"full-screen Z-buffer", true, "IDirectDraw4::CreateSurface", 2, "ERROR: while creating Z-Buffer surface",
     kUpToDirect3D},
    {"full-screen device", true, "IDirect3D3::CreateDevice", 1, "ERROR: while creating Direct3D device",
     kUpToZBuffer},
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class FailureTest : public SetupTest, public ::testing::WithParamInterface<FailureCase> {};

// A failing step logs its line and returns its code; DeleteDevice then
// releases exactly what was made before, in its order, and nothing else.
TEST_P(FailureTest, StepFailsAndDeleteDeviceReleasesWhatWasMade)
{
    const FailureCase& c = GetParam();
    const runtime::DisplayMode desktopMode = runtime::CurrentDisplayMode();
    HRESULT expected = kFault;
    if (c.operation) {
        runtime::FailCall(c.operation, c.nth, kFault);
    } else {
        runtime::SetZBufferFormats({ZFormat(24, 8), ZFormat(16, 8)});
        expected = DDERR_EXCEPTION;
    }

    EXPECT_EQ(InitDevice(c.fullscreen), expected);

    EXPECT_EQ(WithoutWindowEvents(app->lines), (Lines{"> Device initializing...", c.line}));
    EXPECT_TRUE(app->errorRaised);
    EXPECT_FALSE(app->deviceReady);
    EXPECT_TRUE(app->hooks.empty());
    EXPECT_EQ(HeldInterfaces(*app), c.held);

    const auto releases = ExpectedReleases(*app);
    const void* directDraw = app->directDraw;
    HWND window = app->hWnd;
    runtime::ClearJournal();
    app->lines.clear();

    EXPECT_EQ(app->DeleteDevice(), S_OK);

    EXPECT_EQ(WithoutWindowEvents(app->lines),
              (Lines{"> Device deleting...", "WARNING: Device not initialized. Trying to delete.",
                     "> Device deleting... done"}));
    EXPECT_TRUE(app->hooks.empty());
    EXPECT_EQ(JournalReleases(), releases);
    // The display goes back to the desktop before anything is released,
    // through the first interface; without it no DirectDraw call is made.
    std::vector<std::string> operations = runtime::JournalOperations();
    if (directDraw) {
        ASSERT_GE(operations.size(), 2u);
        EXPECT_EQ(operations[0], "IDirectDraw::SetCooperativeLevel");
        EXPECT_EQ(operations[1], "IDirectDraw::RestoreDisplayMode");
        EXPECT_EQ(runtime::Journal()[0].object, directDraw);
        EXPECT_EQ(runtime::Journal()[1].object, directDraw);
        EXPECT_EQ(operations.size(), 2 + releases.size());
    } else {
        EXPECT_TRUE(operations.empty());
    }
    EXPECT_EQ(runtime::LiveObjects(), 0);
    EXPECT_EQ(HeldInterfaces(*app), 0u);
    EXPECT_FALSE(desktop::WindowExists(window));
    const runtime::DisplayMode mode = runtime::CurrentDisplayMode();
    EXPECT_EQ(mode.width, desktopMode.width);
    EXPECT_EQ(mode.height, desktopMode.height);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FailureTest, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

// ---- the Z-buffer format

struct ZCase {
    const char* name;
    DWORD stencilDepth;
    std::vector<DDPIXELFORMAT> offered;
    int chosen;  // index into offered; -1: none is acceptable
};

TEST_F(SetupTest, ZBufferFormatIsTheFirstThatFits)
{
    DDPIXELFORMAT rgb32;
    std::memset(&rgb32, 0, sizeof(rgb32));
    rgb32.dwSize = sizeof(rgb32);
    rgb32.dwFlags = DDPF_RGB;
    rgb32.dwRGBBitCount = 32;
    const ZCase cases[] = {
        {"no stencil: the plain 16-bit after a 16-bit with 8 stencil", 0, {ZFormat(16, 8), ZFormat(16, 0)}, 1},
        {"no stencil: only formats with stencil", 0, {ZFormat(32, 8), ZFormat(16, 1)}, -1},
        {"stencil 8: 32 bits with 8 stencil", 8, {ZFormat(32, 8)}, 0},
        {"stencil 8: 32 bits with 4 stencil", 8, {ZFormat(32, 4)}, -1},
        {"stencil 8: a plain 16-bit", 8, {ZFormat(16, 0)}, -1},
        {"stencil 8: past the plain and the 4-bit stencil", 8, {ZFormat(16, 0), ZFormat(32, 4), ZFormat(32, 8)}, 2},
        {"stencil 4: more stencil is enough", 4, {ZFormat(32, 8)}, 0},
        {"15 bits never, without stencil", 0, {ZFormat(15, 0)}, -1},
        {"15 bits never, with stencil", 1, {ZFormat(15, 1)}, -1},
        {"past a 15-bit to a 16-bit", 0, {ZFormat(15, 0), ZFormat(16, 0)}, 1},
        {"the first wins over deeper ones", 0, {ZFormat(16, 0), ZFormat(32, 0), ZFormat(24, 0)}, 0},
        {"the first wins over more stencil", 1, {ZFormat(16, 1), ZFormat(32, 8)}, 0},
        {"a format without the Z-buffer flag is passed over", 0, {rgb32, ZFormat(16, 0)}, 1},
        {"the driver's own list", 0, runtime::DefaultZBufferFormats(), 0},
    };
    for (const ZCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartOver();
        runtime::SetZBufferFormats(c.offered);
        app->stencilDepth = c.stencilDepth;

        const HRESULT hr = InitDevice(false);

        if (c.chosen >= 0) {
            ASSERT_EQ(hr, S_OK);
            EXPECT_TRUE(SameFormat(runtime::Inspect(app->zBuffer).format, c.offered[static_cast<size_t>(c.chosen)]));
        } else {
            EXPECT_EQ(hr, DDERR_EXCEPTION);
            EXPECT_TRUE(app->errorRaised);
            EXPECT_EQ(app->lines.back(), "ERROR: can't enumerate Z-Buffer formats");
            EXPECT_EQ(app->zBuffer, nullptr);
        }
    }
}

}  // namespace
}  // namespace apptest
