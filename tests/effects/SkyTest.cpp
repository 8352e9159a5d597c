// The sky: each corner circling its point of the picture at 0.6 radians a
// second, a long frame taken off one turn only, drawn depth-tested without
// writing depth (so it shows only where nothing was drawn) and depth writes
// back on after, and nothing drawn before it is built.
#include "platform/NullRenderDevice.h"
#include "render/Sky.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

TEST_CASE("the sky swirls, draws behind what is drawn, and rebuilds")
{
    testing::DataDirectoryScope data;
    platform::NullRenderDevice device;
    Sky sky;

    SUBCASE("nothing is drawn before it is built")
    {
        sky.Draw(device, 0.1f);
        CHECK(device.Calls().empty());
    }
    SUBCASE("the first corners sit a quarter turn apart round their points, and turn at 0.6 a second")
    {
        sky.Create(device);
        sky.Draw(device, 0.0f);
        CHECK(sky.GetTexCoord(0).x == doctest::Approx(0.2f));
        CHECK(sky.GetTexCoord(0).y == doctest::Approx(0.4f));
        CHECK(sky.GetTexCoord(1).x == doctest::Approx(0.6f));
        CHECK(sky.GetTexCoord(2).y == doctest::Approx(0.6f));
        CHECK(sky.GetTexCoord(3).x == doctest::Approx(0.4f));
        sky.Draw(device, 0.5f);
        CHECK(sky.GetPhase(3) == doctest::Approx(0.3f));
        CHECK(sky.GetTexCoord(3).x == doctest::Approx(0.2f + 0.2f * std::cos(0.3f)));
        CHECK(sky.GetTexCoord(3).y == doctest::Approx(0.8f + 0.2f * std::sin(0.3f)));
    }
    SUBCASE("a frame of several turns is taken off one turn only")
    {
        sky.Create(device);
        sky.Draw(device, 20.0f); // 12 radians
        CHECK(sky.GetPhase(3) == doctest::Approx(12.0f - 2.0f * kPi));
        CHECK(sky.GetPhase(0) == doctest::Approx(kPi / 2.0f + 12.0f - 2.0f * kPi));
    }
    SUBCASE("it draws one fan of two depth-tested, without depth writes or lighting, then depth writes back on")
    {
        sky.Create(device);
        device.ClearCalls();
        sky.Draw(device, 0.1f);
        const std::vector<std::string> expectedStart{"SetTransform World", "SetRenderState Lighting 0",
                                                     "SetRenderState AlphaBlendEnable 0", "SetRenderState ZEnable 1",
                                                     "SetRenderState ZWriteEnable 0"};
        const std::vector<std::string>& calls = device.Calls();
        REQUIRE(calls.size() > expectedStart.size());
        CHECK(std::vector<std::string>(calls.begin(), calls.begin() + 5) == expectedStart);
        CHECK(device.CallsStartingWith("Draw") == std::vector<std::string>{"DrawPrimitive TriangleFan 0 2"});
        CHECK(device.GetState().IsOn(platform::RenderState::ZEnable));
        CHECK(device.GetState().IsOn(platform::RenderState::ZWriteEnable));
        CHECK(device.GetState().textures[0] == nullptr);
    }
    SUBCASE("a rebuild starts the swirl again, and a missing picture leaves it white")
    {
        sky.Create(device);
        sky.Draw(device, 1.0f);
        testing::TempDirectory elsewhere;
        sky.Create(device);
        CHECK(sky.GetPhase(3) == 0.0f);
        device.ClearCalls();
        sky.Draw(device, 0.0f);
        CHECK(device.CallsStartingWith("SetTexture 0") ==
              std::vector<std::string>{"SetTexture 0 none", "SetTexture 0 none"});
        CHECK(device.CallsStartingWith("Draw").size() == 1);
    }
}
