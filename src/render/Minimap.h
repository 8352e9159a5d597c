// The minimap's picture: the whole map seen from straight above, drawn into
// a 256 x 256 target that is made once and kept. Texel row 0 is the map's
// +z side and column 0 its -x side, so on the HUD +x is right and +z is up.
//
// A pass draws either the whole picture or only some rectangles of it, the
// rest keeping what it showed: a crater changes the ground a few texels
// across, and the texels of such a rectangle come out exactly as a whole
// redraw would make them (the same triangles in the same states; each texel
// is covered by one triangle alone, so what else is drawn cannot matter).
//
// The minimap is a help, not a need: when the device cannot make the target
// the failure is logged once and the game goes on without the picture.
#pragma once

#include "platform/RenderDevice.h"
#include "platform/math/Matrix.h"
#include "world/Terrain.h"

#include <functional>
#include <memory>
#include <span>

class Minimap {
public:
    static constexpr int kSize = 256;
    static constexpr float kEyeHeight = 100.0f;
    static constexpr float kDepth = 200.0f;
    static constexpr platform::ScissorRect kWholePicture{0, 0, kSize, kSize};

    // Clears each area of the picture to black in turn and, with a map, has
    // drawGround draw the ground that covers it (unlit, unblended, without
    // depth) under the view from above; nothing outside the areas changes.
    // The caller's target, view and projection are back afterwards.
    void Render(platform::RenderDevice& device, float mapSize, std::span<const platform::ScissorRect> areas,
                const std::function<void(const platform::ScissorRect& area)>& drawGround);
    platform::Texture* GetTexture() const { return texture_.get(); }
    // The target goes with the device it was made by.
    void Release() { texture_.reset(); }

    // Straight down from above the middle, screen up towards +z.
    static Matrix ViewFromAbove();
    // The whole map square, side mapSize, fills the picture.
    static Matrix Projection(float mapSize);

    // On a grid of columns x rows spread over the whole map: the texels that
    // can change when the vertices of window change (those under a triangle
    // with a corner in it, and one more all round for the rasteriser's
    // rounding), and the grid window whose cells hold every triangle that
    // reaches a texel of area (with a cell to spare all round).
    static platform::ScissorRect TexelsAround(const GridWindow& window, std::uint32_t columns, std::uint32_t rows);
    static GridWindow CellsUnder(const platform::ScissorRect& area, std::uint32_t columns, std::uint32_t rows);

private:
    std::unique_ptr<platform::Texture> texture_;
    bool failureLogged_ = false;
};
