#include "platform/NullRenderDevice.h"
#include "render/TerrainRenderer.h"

#include "RenderTestWindow.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

#include <vector>

TEST_CASE("the terrain draws its ground, four skirts and animated water, and nothing without a map")
{
    testing::ManualClockScope clock;
    platform::NullRenderDevice device;
    TerrainRenderer terrain;
    Terrain map;

    SUBCASE("nothing is drawn before a map is uploaded")
    {
        terrain.Draw(device);
        terrain.DrawWater(device);
        CHECK(device.Calls().empty());
        terrain.Upload(device, map); // an empty terrain uploads nothing
        CHECK_FALSE(terrain.IsLoaded());
    }

    SUBCASE("a 2 x 2 grid is one indexed draw of two triangles and four strips of two")
    {
        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, -5.0f)));
        terrain.Upload(device, map);
        device.ClearCalls();
        terrain.Draw(device);
        CHECK(device.CallsStartingWith("Draw") ==
              std::vector<std::string>{"DrawIndexedPrimitive TriangleList 0 0 4 0 2", "DrawPrimitive TriangleStrip 0 2",
                                       "DrawPrimitive TriangleStrip 4 2", "DrawPrimitive TriangleStrip 8 2",
                                       "DrawPrimitive TriangleStrip 12 2"});
        // The ground is drawn unlit and unblended; what follows finds no
        // shader, no stage 0 texture and the light on.
        CHECK(device.Calls()[4] == "SetRenderState Lighting 0");
        CHECK(device.GetState().pixelShader == nullptr);
        CHECK(device.GetState().textures[0] == nullptr);
        CHECK(device.GetState().IsOn(platform::RenderState::Lighting));
        CHECK(device.GetState().material.power == 30.0f);
    }

    SUBCASE("water frames step once per 0.08 s, up to 7 and back, never skipping, with or without water")
    {
        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, 5.0f)));
        terrain.Upload(device, map);
        device.ClearCalls();
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive TriangleList 0 2"});
        std::vector<int> frames;
        for (int call = 0; call < 16; ++call) {
            clock.Advance(0.05); // too soon: no step
            terrain.DrawWater(device);
            clock.Advance(0.5); // long past: still one step
            terrain.DrawWater(device);
            frames.push_back(terrain.GetWaterFrame());
        }
        CHECK(frames == std::vector<int>{1, 2, 3, 4, 5, 6, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2});
        CHECK(device.GetState().Get(platform::RenderState::SpecularMaterialSource) == platform::kSourceMaterial);
        CHECK_FALSE(device.GetState().IsOn(platform::RenderState::AlphaBlendEnable));
        terrain.Release();
        CHECK(terrain.GetWaterFrame() == 0);

        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 2, testing::FlatGround, -5.0f)));
        terrain.Upload(device, map);
        device.ClearCalls();
        clock.Advance(0.5);
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw").empty());
        CHECK(terrain.GetWaterFrame() == 1);
    }

    SUBCASE("a crater dug below the water brings water where the map had none")
    {
        REQUIRE(map.LoadFromData(MakeHeightFieldMap(400.0f, 33, testing::FlatGround, -2.0f)));
        terrain.Upload(device, map);
        terrain.Sync(device, map);
        device.ClearCalls();
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw").empty());
        // Off the tiles' corners, so one tile alone is wet.
        REQUIRE(map.Crater(10.0f, {-50.0f, 0.0f, 50.0f}));
        terrain.Sync(device, map);
        device.ClearCalls();
        terrain.DrawWater(device);
        CHECK(device.CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive TriangleList 0 2"});
    }
}
