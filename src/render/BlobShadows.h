// Blob shadows: a dark soft square ("Maps/shadow.png") laid on the ground
// under every unit and scenery object of the grid cells in view, so bodies
// stand on the ground instead of floating over it. Each shadow is a quad of
// side 1.6 whose corners sit 0.2 above the ground under them, following the
// slope; all of a frame's shadows go to the device as one draw.
#pragma once

#include "platform/RenderDevice.h"
#include "world/Terrain.h"

#include <array>
#include <memory>
#include <vector>

class UnitGrid;

class BlobShadows {
public:
    static constexpr float kHalfSide = 0.8f;
    static constexpr float kLift = 0.2f;
    static constexpr const char* kTexturePath = "Maps/shadow.png";

    // The shadows of grid's visible cells, blended over the ground without
    // writing depth. Nothing without a map; without the picture (logged
    // once) nothing either, since a shadow without it is a white square.
    void Draw(platform::RenderDevice& device, const Terrain& terrain, const UnitGrid& grid);
    // Lets the device's objects go (the device is going).
    void Release();

    // The two triangles of the shadow under p, as a fan from the -x, +z
    // corner turning clockwise seen from above (front-facing upwards).
    static std::array<TerrainVertex, 6> Quad(const Terrain& terrain, const Vec3& p);

private:
    bool Prepare(platform::RenderDevice& device);

    std::unique_ptr<platform::Texture> texture_;
    bool textureTried_ = false;
    std::unique_ptr<platform::VertexBuffer> buffer_;
    std::vector<TerrainVertex> vertices_;
};
