// Terrain: loading a map file into the terrain's copies, and releasing it.
//
// A map is parsed and checked whole into a temporary before anything of the
// terrain changes, so a refused file leaves the map that was there (the
// physics walls, the start slots and the minimap all keep working) instead of
// an empty terrain with a map size of 0.
#include "world/Terrain.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "world/MapFile.h"

#include <cctype>
#include <utility>

namespace {

TerrainVertex FromEdgeRecord(const MapEdgeRecord& r, std::uint32_t diffuse)
{
    return {r.position, r.normal, diffuse, 0xFFFFFFFFu, r.u, r.v, r.u, r.v};
}

bool Refuse(const std::string& reason)
{
    platform::ShowMessageBox("Error Loading Map:\n" + reason, "Kostrivane");
    return false;
}

// The parser's reason as a sentence of its own under the message.
std::string AsSentence(std::string why)
{
    if (!why.empty()) {
        why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
        why += '.';
    }
    return why;
}

} // namespace

bool Terrain::Load(const std::string& fileName)
{
    const std::string path = "Maps/" + fileName;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!platform::ReadDataFile(path, kMapMaxFileBytes, bytes, &error)) {
        return Refuse("Could not read map file " + error + ".");
    }
    MapData data;
    std::string why;
    if (!ParseMapFile(bytes, data, &why)) {
        return Refuse("Map file " + path + " is corrupted.\n" + AsSentence(why));
    }
    Install(std::move(data));
    return true;
}

bool Terrain::LoadFromData(MapData data, std::string* why)
{
    if (!ValidateMapData(data, why)) {
        return false;
    }
    Install(std::move(data));
    return true;
}

void Terrain::Install(MapData&& data)
{
    Release();
    columns_ = data.columns;
    rows_ = data.rows;
    mapSize_ = data.mapSize;
    heightScale_ = data.heightScale;
    waterLevel_ = data.waterLevel;
    ground_.reserve(data.ground.size());
    for (const MapGroundRecord& g : data.ground) {
        // The light goes into red, green and blue at the relight; alpha is the blend.
        const std::uint32_t diffuse = (g.colour & 0xFF000000u) | 0x00FFFFFFu;
        ground_.push_back({g.position, g.normal, diffuse, 0xFFFFFFFFu, g.u, g.v, g.u, g.v});
    }
    groundGrid_.Reset(columns_, rows_, mapSize_);
    for (std::uint32_t r = 0; r < rows_; ++r) {
        for (std::uint32_t c = 0; c < columns_; ++c) {
            const TerrainVertex& vertex = ground_[r * columns_ + c];
            groundGrid_.SetVertex(c, r, vertex.position.y, vertex.normal);
        }
    }
    indices_ = std::move(data.indices);
    edges_.reserve(data.edges.size());
    for (const MapEdgeRecord& e : data.edges) {
        edges_.push_back(FromEdgeRecord(e, 0xFFFFFFFFu));
    }
    for (std::size_t i = 0; i < water_.size(); ++i) {
        water_[i] = FromEdgeRecord(data.water[i], kWaterDiffuse);
    }
    trees_ = std::move(data.trees);
    rocks_ = std::move(data.rocks);
    starts_ = std::move(data.starts);
    flags_ = std::move(data.flags);
    groundImages_ = std::move(data.groundImages);
    waterImages_ = std::move(data.waterImages);
    loaded_ = true;
}

void Terrain::Release()
{
    const LightRecord light = light_;
    const std::uint32_t edits = editCount_;
    const std::uint32_t relights = relightCount_;
    *this = Terrain();
    light_ = light;
    editCount_ = edits + 1;
    relightCount_ = relights;
}

void Terrain::LogEdit(const GridWindow& window)
{
    editLog_[editCount_ % kEditLogSize] = window;
    ++editCount_;
    ++editsLogged_;
}

bool Terrain::GetEditsSince(std::uint32_t editCount, std::vector<GridWindow>& out) const
{
    out.clear();
    const std::uint32_t missed = editCount_ - editCount;
    if (missed > editsLogged_ || missed > kEditLogSize) {
        return false;
    }
    for (std::uint32_t n = editCount; n != editCount_; ++n) {
        out.push_back(editLog_[n % kEditLogSize]);
    }
    return true;
}
