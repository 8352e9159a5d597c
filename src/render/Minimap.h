// The minimap's picture: the whole map seen from straight above, drawn into
// a 256 x 256 target that is made once and drawn into again at every
// relight. Texel row 0 is the map's +z side and column 0 its -x side, so on
// the HUD +x is right and +z is up.
//
// The minimap is a help, not a need: when the device cannot make the target
// the failure is logged once and the game goes on without the picture.
#pragma once

#include "platform/RenderDevice.h"
#include "platform/math/Matrix.h"

#include <functional>
#include <memory>

class Minimap {
public:
    static constexpr int kSize = 256;
    static constexpr float kEyeHeight = 100.0f;
    static constexpr float kDepth = 200.0f;

    // Clears the picture to black and, with a map, has drawGround draw the
    // ground into it (unlit, unblended, without depth) under the view from
    // above. The caller's target, view and projection are back afterwards.
    void Render(platform::RenderDevice& device, float mapSize, const std::function<void()>& drawGround);
    platform::Texture* GetTexture() const { return texture_.get(); }
    // The target goes with the device it was made by.
    void Release() { texture_.reset(); }

    // Straight down from above the middle, screen up towards +z.
    static Matrix ViewFromAbove();
    // The whole map square, side mapSize, fills the picture.
    static Matrix Projection(float mapSize);

private:
    std::unique_ptr<platform::Texture> texture_;
    bool failureLogged_ = false;
};
