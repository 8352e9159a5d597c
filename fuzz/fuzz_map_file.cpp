// Map file parser under libFuzzer: any bytes are either refused or give a map
// that the terrain takes and answers queries on without leaving its arrays.
#include "world/MapFile.h"
#include "world/Terrain.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MapData map;
    if (!ParseMapFile(std::span<const std::uint8_t>(data, size), map)) {
        return 0;
    }
    if (WriteMapFile(map).empty()) {
        __builtin_trap(); // the writer must take whatever the parser accepts
    }
    Terrain terrain;
    if (!terrain.LoadFromData(std::move(map))) {
        __builtin_trap();
    }
    const float h = terrain.GetMapSize() / 2.0f;
    Vec3 normal;
    for (const float f : {-1.0f, -0.61f, 0.0f, 0.33f, 1.0f}) {
        (void)terrain.HeightAt(f * h, -f * h);
        terrain.NormalAt(f * h, f * h, normal);
    }
    PickView view;
    view.eye = {0.3f * h, h + 10.0f, -1.2f * h};
    view.view = MatrixLookAtLH(view.eye, {}, {0.0f, 1.0f, 0.0f});
    view.projection = MatrixPerspectiveFovLH(0.785f, 1.333f, 1.0f, 4.0f * h + 100.0f);
    view.screenWidth = 1024.0f;
    view.screenHeight = 768.0f;
    Vec3 ground;
    (void)terrain.ScreenToTerrain(view, 300.0f, 500.0f, ground);
    return 0;
}
