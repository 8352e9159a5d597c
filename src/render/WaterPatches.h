// The water as the device draws it: not one quad over the whole map but
// quads over only the stretches of ground that reach down near the water
// level. The water is blended, and a software rasteriser pays for every
// pixel a blended quad covers even where the ground hides it; under the
// menu camera most of the view is dry land.
//
// The map is cut into tiles of kTileCells cells a side. A tile is wet when
// any of its grid vertices lies below the water level plus a margin (so
// ground level with the water, where the depth test could let the water
// through, keeps it). Any coarse level of the ground (GroundBlocks.h) stays
// above the lowest vertex of a tile, since its lines are a subset of the
// tile's, so a dry tile shows no water at any distance. Each row's run of
// wet tiles becomes one quad, with the map's water attributes (texture
// coordinates, normal, colours) interpolated from its four corners: the
// picture is what the whole quad drew.
#pragma once

#include "world/Terrain.h"

#include <cstdint>
#include <vector>

class WaterPatches {
public:
    static constexpr std::uint32_t kTileCells = 8;
    static constexpr float kLevelMargin = 0.5f;

    // The quads for terrain's ground and water as they stand now; none
    // without a loaded map.
    void Build(const Terrain& terrain);

    // A triangle list, two triangles a quad, facing up like the map's water.
    const std::vector<TerrainVertex>& GetVertices() const { return vertices_; }
    std::uint32_t GetTriangleCount() const { return static_cast<std::uint32_t>(vertices_.size() / 3); }

private:
    bool IsWet(const Terrain& terrain, std::uint32_t tileX, std::uint32_t tileZ) const;
    void AddQuad(const Terrain& terrain, std::uint32_t c0, std::uint32_t c1, std::uint32_t r0, std::uint32_t r1);
    TerrainVertex WaterAt(const Terrain& terrain, std::uint32_t c, std::uint32_t r) const;

    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    std::vector<TerrainVertex> vertices_;
};
