// The sky: drawn depth-tested without writing depth (so it shows only where
// nothing was drawn) and depth writes back on after, and nothing drawn before
// it is built.
#include "platform/NullRenderDevice.h"
#include "render/Sky.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

TEST_CASE("the sky draws behind what is drawn, once built")
{
    testing::DataDirectoryScope data;
    platform::NullRenderDevice device;
    Sky sky;

    // Nothing is drawn before it is built; then one fan of two, depth-tested
    // without depth writes or lighting, then depth writes back on.
    sky.Draw(device, 0.1f);
    CHECK(device.Calls().empty());
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
