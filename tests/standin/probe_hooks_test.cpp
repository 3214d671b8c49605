// The probe's hooks over a whole run: the log of a passing run, the exit
// code from WinMain, the textures and their failures, the keys and the
// cursor.
#include <algorithm>
#include <ostream>

#include "tests/standin/probe_fixture.h"

namespace probetest {
namespace {

using CursorCounts = std::vector<std::pair<std::string, int>>;

// Hidden from InitScene on, shown again by CloseScene.
const CursorCounts kCursorOfAFrame = {
    {"InitScene", -1}, {"ProcessFrame", -1}, {"DeleteDeviceObjects", -1}, {"CloseScene", 0}};

class ProbeRunTest : public ProbeFixture {};

// The window is created visible, so the program is activated while the
// device comes up and deactivated when the teardown destroys the window.
TEST_F(ProbeRunTest, PassingRunLogsEveryLineInOrder)
{
    RunProbe();

    const Lines expected = {
        "> Device initializing...",
        "(Application activated)",
        "> Device initializing... done",
        ">> Init Device Objects...",
        "",
        "-- Loading Textures",
        "",
        ">> Init Device Objects...done",
        kCycle,
        kClosing,
        "> Device deleting...",
        "(Application disactivated)",
        "> Device deleting... done",
    };
    EXPECT_EQ(probe->console.lines, expected);
    EXPECT_EQ(probe->frames, 1);
    EXPECT_EQ(probe->verdict, 0);
    EXPECT_TRUE(probe->quitRequested);
    EXPECT_FALSE(probe->errorRaised);
    EXPECT_FALSE(console.shown);
    EXPECT_EQ(probe->cursorShowCounts, kCursorOfAFrame);
    EXPECT_EQ(probe->registeredAtDelete, (Lines{"empty", "target01"}));
    EXPECT_EQ(runtime::LiveObjects(), 0);
}

// ---- the exit code

struct ExitCase {
    const char* id;
    std::function<void()> plan;
    int exitCode;
    bool consoleShown;
};

const ExitCase kExitCases[] = {
    {"Passes", [] {}, 0, false},
    {"CheckerboardMissing", [] { desktop::RemoveResource("JPG", 102); }, 1, true},
    // The pixel was read before the back buffer's scene failed to end: the
    // console is shown, and the exit code is still the verdict.
    {"BackBufferSceneFailsAfterThePixel", [] { runtime::FailCall("IDirect3DDevice3::EndScene", 2, kFault); },
     0, true},
};

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.id; }

class ExitCodeTest : public ProbeFixture, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCodeTest, WinMainReturnsTheVerdict)
{
    const ExitCase& c = GetParam();
    c.plan();

    const int exitCode = WinMain(Instance(), nullptr, const_cast<LPSTR>(""), 1);

    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_EQ(console.shown, c.consoleShown);
    EXPECT_EQ(runtime::LiveObjects(), 0);
    EXPECT_EQ(desktop::CursorShowCount(), 0);
    EXPECT_TRUE(desktop::Windows().empty());
}

INSTANTIATE_TEST_SUITE_P(Runs, ExitCodeTest, ::testing::ValuesIn(kExitCases),
                         [](const ::testing::TestParamInfo<ExitCase>& info) { return info.param.id; });

// ---- the textures

struct TextureFailure {
    const char* id;
    std::function<void()> plan;  // counted from the start of InitDeviceObjects
    Lines lines;                 // after "-- Loading Textures", Run's lines included
    int surfacesCreated;
    Lines registeredAtDelete;
};

const Lines kRunsLinesAfterFailedInit = {"ERROR: while device initializing process", kClosing,
                                         "> Device deleting...", "(Application disactivated)",
                                         "> Device deleting... done"};

Lines FollowedByRunsLines(Lines lines)
{
    lines.insert(lines.end(), kRunsLinesAfterFailedInit.begin(), kRunsLinesAfterFailedInit.end());
    return lines;
}

const TextureFailure kTextureFailures[] = {
    // "target01" is not tried: no surface is made after the checkerboard's failed.
    {"CheckerboardMissing",
     [] { desktop::RemoveResource("JPG", 102); },
     FollowedByRunsLines({"ERROR: Can't load texture file (DevIL error)",
                          "ERROR: while creating surface (CTexture6::LoadFromResource)",
                          "ERROR (CTexManager): can't load texture"}),
     0,
     {}},
    {"TargetMissing",
     [] { desktop::RemoveResource("JPG", 101); },
     FollowedByRunsLines({"ERROR: Can't load texture file (DevIL error)",
                          "ERROR: while creating surface (CTexture6::LoadFromResource)",
                          "ERROR (CTexManager): can't load texture"}),
     1,
     {"empty"}},
    {"TargetZBufferNotAttached",
     [] { runtime::FailCall("IDirectDrawSurface4::AddAttachedSurface", 1, kFault); },
     FollowedByRunsLines({"ERROR: can't add attached surface (Z-Buffer)"}),
     3,
     {"empty", "target01"}},
};

void PrintTo(const TextureFailure& c, std::ostream* out) { *out << c.id; }

class TextureFailureTest : public ProbeFixture, public ::testing::WithParamInterface<TextureFailure> {};

TEST_P(TextureFailureTest, LoadedTexturesStayRegisteredUntilTheDeviceObjectsGo)
{
    const TextureFailure& c = GetParam();
    probe->beforeDeviceObjects = [&c](TestProbe&) {
        runtime::ClearJournal();
        c.plan();
    };

    RunProbe();

    const Lines& lines = probe->console.lines;
    auto loading = std::find(lines.begin(), lines.end(), "-- Loading Textures");
    ASSERT_NE(loading, lines.end());
    EXPECT_EQ(Lines(loading + 1, lines.end()), c.lines);
    EXPECT_EQ(apptest::CallsOf("IDirectDraw4::CreateSurface"), size_t(c.surfacesCreated));
    EXPECT_EQ(probe->registeredAtDelete, c.registeredAtDelete);
    EXPECT_EQ(runtime::LiveObjects(), 0);
    EXPECT_EQ(probe->frames, 0);
    EXPECT_EQ(probe->verdict, 1);
    EXPECT_TRUE(probe->errorRaised);
    EXPECT_TRUE(console.shown);
    EXPECT_EQ(probe->cursorShowCounts,
              (CursorCounts{{"InitScene", -1}, {"DeleteDeviceObjects", -1}, {"CloseScene", 0}}));
}

INSTANTIATE_TEST_SUITE_P(InitDeviceObjects, TextureFailureTest, ::testing::ValuesIn(kTextureFailures),
                         [](const ::testing::TestParamInfo<TextureFailure>& info) { return info.param.id; });

// ---- keys and the mouse

struct KeyCase {
    const char* id;
    UINT key;
    int frames;
    LONG verdict;
};

// A key pressed while the window comes up waits in the queue, so the loop
// takes it before it can run any frame.
const KeyCase kKeyCases[] = {
    {"EscapeEndsTheRunBeforeAnyFrame", VK_ESCAPE, 0, 1},
    {"OtherKeyLeavesTheRunAlone", 'A', 1, 0},
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.id; }

class KeyTest : public ProbeFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTest, KeyReachesTheDefaultProcedure)
{
    const KeyCase& c = GetParam();
    HWND window = nullptr;
    probe->afterDeviceObjects = [&](TestProbe& p) {
        window = p.hWnd;
        desktop::PressKey(window, c.key);
    };

    RunProbe();

    EXPECT_EQ(probe->frames, c.frames);
    EXPECT_EQ(probe->verdict, c.verdict);
    EXPECT_TRUE(probe->quitRequested);
    EXPECT_FALSE(probe->errorRaised);
    EXPECT_FALSE(console.shown);
    EXPECT_TRUE(apptest::ReachedDefaultProcedure(window, WM_KEYDOWN));
    EXPECT_EQ(desktop::CursorShowCount(), 0);
    EXPECT_EQ(runtime::LiveObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyTest, ::testing::ValuesIn(kKeyCases),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.id; });

// The right button sends the cursor to the screen point (width / 2,
// height / 2), not to the client area's centre: with the window's client
// area at (20, 20) that is the client point (380, 280), which the mouse
// move it causes reports to the base handler.
TEST_F(ProbeRunTest, RightButtonMovesTheCursorToHalfTheBackBufferOnTheScreen)
{
    HWND window = nullptr;
    probe->afterDeviceObjects = [&](TestProbe& p) {
        window = p.hWnd;
        ASSERT_EQ(p.width, 800u);
        ASSERT_EQ(p.height, 600u);
        desktop::PressRightButton(window, 10, 10);
    };

    RunProbe();

    const POINT cursor = desktop::CursorScreenPos();
    EXPECT_EQ(cursor.x, 400);
    EXPECT_EQ(cursor.y, 300);
    EXPECT_EQ(probe->mouseX, 380);
    EXPECT_EQ(probe->mouseY, 280);
    EXPECT_TRUE(apptest::ReachedDefaultProcedure(window, WM_RBUTTONDOWN));
    EXPECT_EQ(probe->verdict, 0);
}

}  // namespace
}  // namespace probetest
