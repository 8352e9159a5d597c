// The loaded map: the ground grid with its blend factors, the edge skirts, the
// water quad, the embedded images and the four position lists, and the
// queries the rest of the game asks of the ground (height, normal, picking).
//
// Everything here is the CPU copy of the map. The drawing code makes its
// vertex, index and texture objects from these copies, and craters rewrite
// them, so the queries always answer for the ground as drawn.
#pragma once

#include "platform/LightRecord.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"
#include "world/GroundGrid.h"
#include "world/MapData.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The one vertex layout of the ground, edge, water and shadow-quad buffers:
// position, normal, diffuse and specular ARGB, two texture-coordinate sets.
struct TerrainVertex {
    Vec3 position;
    Vec3 normal;
    std::uint32_t diffuse = 0xFFFFFFFFu;
    std::uint32_t specular = 0xFFFFFFFFu;
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 0.0f;
    float v1 = 0.0f;
};
static_assert(sizeof(TerrainVertex) == 48, "the vertex buffers use a stride of 48 bytes");

// Water is drawn partly transparent through its vertex alpha.
inline constexpr std::uint32_t kWaterDiffuse = 0x66FFFFFFu;

// What picking needs of the camera: its view and projection (row vectors,
// depth 0..1), its eye point and the back buffer's size in pixels.
struct PickView {
    Matrix view = Matrix::Identity();
    Matrix projection = Matrix::Identity();
    Vec3 eye;
    float screenWidth = 0.0f;
    float screenHeight = 0.0f;
};

// A rectangle of grid vertices, both ends included: columns c0..c1, rows r0..r1.
struct GridWindow {
    std::uint32_t c0 = 0;
    std::uint32_t c1 = 0;
    std::uint32_t r0 = 0;
    std::uint32_t r1 = 0;
};

// The ambient every relight of the battle uses.
inline constexpr std::uint32_t kGroundAmbient = 0xFF101010u;

class Terrain {
public:
    Terrain() = default;

    // Loads "Maps/" + fileName (for example "Desert.kvm"). On failure shows
    // "Error Loading Map:\n" with the reason in a message box titled
    // "Kostrivane" (for a file the parser refuses, "Map file <path> is
    // corrupted." and the parser's own reason on the next line), returns
    // false and keeps the map it held before.
    bool Load(const std::string& fileName);
    // Takes a map made in memory (the data generator, tests); false, with the
    // terrain unchanged, when ValidateMapData refuses it.
    bool LoadFromData(MapData data, std::string* why = nullptr);
    // Empties the terrain: no map, all counts and sizes 0.
    void Release();
    bool IsLoaded() const { return loaded_; }

    // Ground height at (x, z); 0 outside the map or with no map loaded.
    float HeightAt(float x, float z) const;
    // Writes the blended ground normal at (x, z) into out (not normalised);
    // outside the map or with no map loaded, out is left as it was.
    void NormalAt(float x, float z, Vec3& out) const;
    // Writes the ground point under screen pixel (sx, sy) into out. False,
    // with out unchanged, when there is no map or the pixel's ray never
    // comes down to the ground.
    bool ScreenToTerrain(const PickView& view, float sx, float sy, Vec3& out) const;

    float GetMapSize() const { return mapSize_; }
    float GetHeightScale() const { return heightScale_; }
    float GetWaterLevel() const { return waterLevel_; }

    // Lights every ground vertex from the directional light (null: the one
    // remembered from the last call, kept across maps) and the ambient ARGB:
    // Lambert shading, faded to a flat 0.15 over the first 3 units under the
    // water. Only red, green and blue change; alpha is the layer blend. With
    // no map it only remembers the light. The vertices whose colour changed
    // count as an edit (below), which the drawing side redraws in the minimap.
    void Relight(const LightRecord* light, std::uint32_t ambient);
    // Presses the ground down to the lower surface of a sphere of radius
    // whose lowest point lies radius / 2 below centre, then puts the touched
    // normals, cell diagonals and edge skirts right and relights. Refused
    // (false, nothing changed) with no map or a radius or centre that is not
    // a finite number (they arrive from the network), or a radius of 0 or
    // less or wider than the map. The ground never goes below the bottom of
    // the height range.
    bool Crater(float radius, const Vec3& centre);

    // Every change of the ground after a load (a relight that changed a
    // colour, a crater) counts one edit; the drawing side keeps its buffers
    // in step by asking which vertices the edits since its last look
    // touched. False when the log no longer reaches back that far: then
    // everything may have changed.
    std::uint32_t GetEditCount() const { return editCount_; }
    bool GetEditsSince(std::uint32_t editCount, std::vector<GridWindow>& out) const;
    std::uint32_t GetRelightCount() const { return relightCount_; }

    // The four position lists; an index at or past the count gives (0, 0, 0).
    std::uint32_t GetTreeCount() const { return Count(trees_); }
    std::uint32_t GetRockCount() const { return Count(rocks_); }
    std::uint32_t GetStartCount() const { return Count(starts_); }
    std::uint32_t GetFlagCount() const { return Count(flags_); }
    Vec3 GetTreePosition(std::uint32_t i) const { return Entry(trees_, i); }
    Vec3 GetRockPosition(std::uint32_t i) const { return Entry(rocks_, i); }
    Vec3 GetStartPosition(std::uint32_t i) const { return Entry(starts_, i); }
    Vec3 GetFlagPosition(std::uint32_t i) const { return Entry(flags_, i); }

    // The grid and its geometry, the source of the drawing buffers.
    std::uint32_t GetColumns() const { return columns_; }
    std::uint32_t GetRows() const { return rows_; }
    const std::vector<TerrainVertex>& GetGroundVertices() const { return ground_; }
    const std::vector<std::uint16_t>& GetIndices() const { return indices_; }
    const std::vector<TerrainVertex>& GetEdgeVertices() const { return edges_; }
    const std::array<TerrainVertex, 4>& GetWaterVertices() const { return water_; }
    // The embedded image files: ground layer 0, layer 1 and the edge texture;
    // water frames 0 to 7. An empty image stands for a missing texture.
    const std::array<std::vector<std::uint8_t>, kMapGroundImages>& GetGroundImages() const { return groundImages_; }
    const std::array<std::vector<std::uint8_t>, kMapWaterFrames>& GetWaterImages() const { return waterImages_; }
    // The ground's heights and normals packed for the physics step; whatever
    // rewrites ground vertices rewrites their samples here too.
    const GroundGrid& GetGroundGrid() const { return groundGrid_; }

private:
    void Install(MapData&& data);
    void LogEdit(const GridWindow& window);
    GridWindow CraterWindow(float radius, const Vec3& centre) const;
    void PressIntoSphere(const GridWindow& window, float radius, const Vec3& centre);
    GridWindow Widened(const GridWindow& window) const;
    void RecomputeNormals(const GridWindow& window);
    void RetriangulateCells(const GridWindow& window);
    void UpdateEdgeTops(const GridWindow& window);
    float GroundY(std::uint32_t c, std::uint32_t r) const { return ground_[r * columns_ + c].position.y; }
    bool Inside(float x, float z) const;
    static float PlaneEval(float base, float a, float firstWeight, float b, float secondWeight);
    static float CellTriangleHeight(float h00, float h10, float h01, float h11, float fx, float fz);
    static std::uint32_t Count(const std::vector<Vec3>& list) { return static_cast<std::uint32_t>(list.size()); }
    static Vec3 Entry(const std::vector<Vec3>& list, std::uint32_t i) { return i < list.size() ? list[i] : Vec3{}; }

    bool loaded_ = false;
    std::uint32_t columns_ = 0;
    std::uint32_t rows_ = 0;
    float mapSize_ = 0.0f;
    float heightScale_ = 0.0f;
    float waterLevel_ = 0.0f;
    std::vector<TerrainVertex> ground_;
    GroundGrid groundGrid_;
    std::vector<std::uint16_t> indices_;
    std::vector<TerrainVertex> edges_;
    std::array<TerrainVertex, 4> water_{};
    std::vector<Vec3> trees_;
    std::vector<Vec3> rocks_;
    std::vector<Vec3> starts_;
    std::vector<Vec3> flags_;
    std::array<std::vector<std::uint8_t>, kMapGroundImages> groundImages_;
    std::array<std::vector<std::uint8_t>, kMapWaterFrames> waterImages_;

    // Kept across maps, as the light and the counts are the run's, not the map's.
    LightRecord light_;
    std::uint32_t editCount_ = 0;
    std::uint32_t relightCount_ = 0;
    static constexpr std::size_t kEditLogSize = 32;
    std::array<GridWindow, kEditLogSize> editLog_{}; // edit n at n % kEditLogSize
    std::uint32_t editsLogged_ = 0;                  // edits since the map was installed
};
