// CTexManager: lookups and removal by name, and loading, restoring and
// deleting textures on the stand-in device.
#include "texture/texmanager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/standin/texture_fixture.h"

namespace runtime = standin::runtime;
namespace desktop = standin::desktop;

namespace {

// ---------------------------------------------------------------- the registry

struct RegistryStep {
    enum Op { kGet, kRemove } op;
    const char* name;
    int expected;  // kGet: index of the texture found, -1 for none; kRemove: 1 removed, 0 not
};

struct RegistryCase {
    const char* title;
    std::vector<const char*> registered;  // texture i is registered under registered[i]
    std::vector<RegistryStep> steps;
    std::vector<int> remaining;  // textures still registered afterwards, in entry order
};

const RegistryStep::Op kGet = RegistryStep::kGet, kRemove = RegistryStep::kRemove;

const RegistryCase kRegistryCases[] = {
    {"exact names", {"empty", "target01"}, {{kGet, "target01", 1}, {kGet, "empty", 0}}, {0, 1}},
    {"a miss finds the first entry",
     {"empty", "target01"},
     {{kGet, "missing", 0},
      {kGet, "Target01", 0},
      {kGet, "target", 0},
      {kGet, "target01 ", 0},
      {kGet, "", 0}},
     {0, 1}},
    {"the earlier of two same names",
     {"a", "b", "a"},
     {{kGet, "a", 0}, {kRemove, "a", 1}, {kGet, "a", 2}, {kGet, "b", 1}},
     {1, 2}},
    {"removing the middle entry keeps the order",
     {"a", "b", "c"},
     {{kRemove, "b", 1}, {kGet, "c", 2}},
     {0, 2}},
    {"removing an absent name changes nothing", {"a", "b"}, {{kRemove, "c", 0}, {kRemove, "A", 0}}, {0, 1}},
    {"an empty registry", {}, {{kGet, "a", -1}, {kRemove, "a", 0}}, {}},
    {"removing the last entry empties it", {"a"}, {{kRemove, "a", 1}, {kGet, "a", -1}}, {}},
};

TEST(TexManagerRegistry, FindsAndRemovesTheFirstExactMatchAndFallsBackToTheFirstEntry)
{
    for (const RegistryCase& c : kRegistryCases) {
        SCOPED_TRACE(c.title);
        std::vector<CTexture6> textures(c.registered.size());
        CTexManager manager;
        for (size_t i = 0; i < c.registered.size(); ++i) manager.Add(c.registered[i], &textures[i]);

        for (const RegistryStep& step : c.steps) {
            if (step.op == kGet) {
                CTexture6* expected = step.expected < 0 ? nullptr : &textures[step.expected];
                EXPECT_EQ(manager.Get(step.name), expected) << "Get(\"" << step.name << "\")";
            } else {
                EXPECT_EQ(manager.Remove(step.name), step.expected == 1) << "Remove(\"" << step.name << "\")";
            }
        }
        std::vector<int> remaining;
        for (const TextureEntry& entry : manager.entries)
            remaining.push_back(int(entry.texture - textures.data()));
        EXPECT_EQ(remaining, c.remaining);
    }
}

TEST(TexManagerRegistry, KeepsItsOwnCopyOfEachName)
{
    CTexture6 texture;
    CTexManager manager;
    char name[] = "empty";
    manager.Add(name, &texture);
    name[0] = 'E';
    EXPECT_EQ(manager.entries.front().name, "empty");
}

// ---------------------------------------------------------------- on the device

class TexManagerTest : public TextureDeviceTest {
protected:
    HRESULT Load(CTexManager& manager, const char* name, DWORD resourceId, DWORD flags = 0)
    {
        return manager.LoadTexture(name, app.directDraw4, app.device, resourceId, flags, &app);
    }
};

TEST_F(TexManagerTest, LoadTextureRegistersTheLoadedTextureUnderItsName)
{
    CTexManager manager;
    ASSERT_EQ(Load(manager, "empty", 102), DD_OK);
    ASSERT_EQ(Load(manager, "target01", 101, TEXTURE_RENDERTARGET), DD_OK);
    ASSERT_EQ(manager.entries.size(), 2u);
    EXPECT_EQ(manager.entries[0].name, "empty");
    EXPECT_EQ(manager.Get("empty")->GetWidth(), 128u);
    EXPECT_EQ(manager.Get("target01")->GetWidth(), 256u);
    EXPECT_NE(manager.Get("target01")->GetSurface(), nullptr);
    EXPECT_TRUE(app.lines.empty());
    manager.DeleteAll();
}

TEST_F(TexManagerTest, AMissingResourceLogsThreeLinesAndRegistersNothing)
{
    const int objectsBefore = runtime::LiveObjects();
    desktop::RemoveResource("JPG", 102);
    CTexManager manager;
    EXPECT_EQ(Load(manager, "empty", 102), D3DERR_INITFAILED);
    EXPECT_EQ(app.lines,
              (std::vector<std::string>{"ERROR: Can't load texture file (DevIL error)",
                                        "ERROR: while creating surface (CTexture6::LoadFromResource)",
                                        "ERROR (CTexManager): can't load texture"}));
    EXPECT_TRUE(manager.entries.empty());
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore);
}

TEST_F(TexManagerTest, AFailedLoadReleasesWhatTheTextureHadCreated)
{
    const int objectsBefore = runtime::LiveObjects();
    runtime::FailCall("IDirectDrawSurface4::Lock", 1, DDERR_SURFACEBUSY);
    CTexManager manager;
    EXPECT_EQ(Load(manager, "empty", 102), DDERR_SURFACEBUSY);
    EXPECT_EQ(app.lines.back(), "ERROR (CTexManager): can't load texture");
    EXPECT_TRUE(manager.entries.empty());
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore);
}

TEST_F(TexManagerTest, RestoreAllRefillsEveryTextureInOrder)
{
    CTexManager manager;
    ASSERT_EQ(Load(manager, "empty", 102), DD_OK);
    ASSERT_EQ(Load(manager, "second", 102), DD_OK);
    const std::vector<uint32_t> loaded = ReadTexels(manager.Get("empty")->GetSurface());
    for (const TextureEntry& entry : manager.entries) Scribble(entry.texture->GetSurface(), 0);

    manager.RestoreAll(app.device);

    for (const TextureEntry& entry : manager.entries)
        EXPECT_EQ(ReadTexels(entry.texture->GetSurface()), loaded);
    manager.DeleteAll();
}

TEST_F(TexManagerTest, RestoreAllStopsAtTheFirstTextureThatFails)
{
    CTexManager manager;
    ASSERT_EQ(Load(manager, "empty", 102), DD_OK);
    ASSERT_EQ(Load(manager, "second", 102), DD_OK);
    IDirectDrawSurface4* second = manager.Get("second")->GetSurface();
    Scribble(second, 0);
    const std::vector<uint32_t> scribbled = ReadTexels(second);
    runtime::FailCall("IDirectDrawSurface4::Lock", 1, DDERR_SURFACEBUSY);
    runtime::ClearJournal();

    manager.RestoreAll(app.device);

    for (const runtime::Call& call : runtime::Journal()) EXPECT_NE(call.object, second) << call.operation;
    EXPECT_EQ(ReadTexels(second), scribbled);
    EXPECT_EQ(app.lines.back(), "ERROR: while refilling surface (CTexture6::Restore)")
        << "only the texture's lines";
    manager.DeleteAll();
}

TEST_F(TexManagerTest, DeleteAllReleasesEveryTextureAndEmptiesTheRegistry)
{
    const int objectsBefore = runtime::LiveObjects();
    CTexManager manager;
    manager.DeleteAll();
    EXPECT_TRUE(runtime::Journal().empty());

    ASSERT_EQ(Load(manager, "empty", 102), DD_OK);
    ASSERT_EQ(Load(manager, "target01", 101, TEXTURE_RENDERTARGET), DD_OK);
    ASSERT_EQ(manager.Get("target01")->CreateZBuffer(app.directDraw4, app.zBuffer), DD_OK);
    manager.DeleteAll();

    EXPECT_TRUE(manager.entries.empty());
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore);
    EXPECT_FALSE(manager.Remove("empty"));
}

TEST_F(TexManagerTest, DestroyingTheManagerLeavesItsTexturesAlive)
{
    const int objectsBefore = runtime::LiveObjects();
    CTexture6* texture = nullptr;
    int objectsLoaded = 0;
    {
        CTexManager manager;
        ASSERT_EQ(Load(manager, "empty", 102), DD_OK);
        texture = manager.Get("empty");
        objectsLoaded = runtime::LiveObjects();
    }
    EXPECT_EQ(runtime::LiveObjects(), objectsLoaded);
    ASSERT_NE(texture->GetSurface(), nullptr);
    EXPECT_EQ(runtime::Inspect(texture->GetSurface()).width, 128u);
    delete texture;
    EXPECT_EQ(runtime::LiveObjects(), objectsBefore);
}

}  // namespace
