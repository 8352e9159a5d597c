// Map file parsing, validation and writing (the format is described in
// MapFile.h). The parser trusts nothing: the whole length the header declares
// is computed in 64 bits and checked against the file before any section is
// read or any list allocated.
#include "world/MapFile.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "platform/ImageFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace {

constexpr std::uint8_t kMagic[4] = {'K', 'V', 'M', 'P'};
constexpr std::uint64_t kVec3Bytes = 12;
constexpr std::uint64_t kGroundRecordBytes = 36;
constexpr std::uint64_t kEdgeRecordBytes = 32;
// Unit normals, with room for the rounding of a normalisation.
constexpr float kMaxNormalComponent = 1.001f;

struct MapHeader {
    std::uint32_t vertexCount = 0;
    std::uint32_t indexCount = 0;
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    std::uint32_t treeCount = 0;
    std::uint32_t rockCount = 0;
    std::uint32_t startCount = 0;
    std::uint32_t flagCount = 0;
    std::uint32_t groundImageBytes = 0;
    std::uint32_t waterImageBytes = 0;
    float mapSize = 0.0f;
    float heightScale = 0.0f;
    float waterLevel = 0.0f;
};

bool Fail(std::string* why, const std::string& text)
{
    if (why) {
        *why = text;
    }
    return false;
}

constexpr std::uint64_t EdgeRecordCount(std::uint64_t columns, std::uint64_t rows)
{
    return 4 * columns + 4 * rows;
}

constexpr std::uint64_t TotalBytes(const MapHeader& h)
{
    const std::uint64_t lists = std::uint64_t{h.treeCount} + h.rockCount + h.startCount + h.flagCount;
    return kMapHeaderBytes + kVec3Bytes * lists + kGroundRecordBytes * h.vertexCount + 2 * std::uint64_t{h.indexCount} +
           kEdgeRecordBytes * EdgeRecordCount(h.columns, h.rows) + kEdgeRecordBytes * 4 +
           kMapGroundImages * std::uint64_t{h.groundImageBytes} + kMapWaterFrames * std::uint64_t{h.waterImageBytes};
}

// The longest file the bounds allow: every list and image at its largest,
// and the grid of 65536 vertices with the most border (two rows) next to the
// one with the most cells (256 x 256).
constexpr std::uint64_t LargestMapBytes()
{
    MapHeader h;
    h.vertexCount = kMapMaxVertices;
    h.indexCount = 6 * 255 * 255;
    h.columns = kMapMaxVertices / 2;
    h.rows = 2;
    h.treeCount = kMapMaxTrees;
    h.rockCount = kMapMaxRocks;
    h.startCount = kMapMaxStarts;
    h.flagCount = kMapMaxFlags;
    h.groundImageBytes = kMapMaxGroundImageBytes;
    h.waterImageBytes = kMapMaxWaterImageBytes;
    return TotalBytes(h);
}
static_assert(LargestMapBytes() <= kMapMaxFileBytes, "a map within the bounds must fit the file size limit");

// "the tree count 5000000 is above the 1024 a map may hold"
std::string OverLimit(const char* what, std::uint64_t value, std::uint64_t limit, const char* unit)
{
    return std::string("the ") + what + " " + std::to_string(value) + " is above the " + std::to_string(limit) + unit +
           " a map may hold";
}

// The list counts and image lengths, each within what the game can use.
bool CheckSizes(const MapHeader& h, std::string* why)
{
    if (h.startCount > kMapMaxStarts) {
        return Fail(why, std::to_string(h.startCount) + " army start positions, more than eight");
    }
    if (h.treeCount > kMapMaxTrees) {
        return Fail(why, OverLimit("tree count", h.treeCount, kMapMaxTrees, ""));
    }
    if (h.rockCount > kMapMaxRocks) {
        return Fail(why, OverLimit("rock count", h.rockCount, kMapMaxRocks, ""));
    }
    if (h.flagCount > kMapMaxFlags) {
        return Fail(why, OverLimit("flag count", h.flagCount, kMapMaxFlags, ""));
    }
    if (h.groundImageBytes > kMapMaxGroundImageBytes) {
        return Fail(why, OverLimit("ground image length", h.groundImageBytes, kMapMaxGroundImageBytes, " bytes"));
    }
    if (h.waterImageBytes > kMapMaxWaterImageBytes) {
        return Fail(why, OverLimit("water image length", h.waterImageBytes, kMapMaxWaterImageBytes, " bytes"));
    }
    return true;
}

// The counts must describe one grid that the queries can walk without leaving
// it, and the header's numbers must be usable as divisors and heights.
bool CheckHeader(const MapHeader& h, std::string* why)
{
    if (h.columns < 2 || h.rows < 2) {
        return Fail(why, "the grid needs at least two columns and two rows");
    }
    const std::uint64_t vertices = std::uint64_t{h.columns} * h.rows;
    if (vertices > kMapMaxVertices || vertices != h.vertexCount) {
        return Fail(why, "the vertex count is not columns x rows within 65536");
    }
    if (std::uint64_t{h.indexCount} != 6 * std::uint64_t{h.columns - 1} * (h.rows - 1)) {
        return Fail(why, "the index count is not six per grid cell");
    }
    if (!CheckSizes(h, why)) {
        return false;
    }
    // Written so that NaN fails each test.
    if (!(h.mapSize >= kMapMinSize && h.mapSize <= kMapMaxSize)) {
        return Fail(why, "the map size is not a number from 16 to 4096");
    }
    if (!(h.heightScale > 0.0f && h.heightScale <= kMapMaxHeightScale)) {
        return Fail(why, "the height scale is not a number above 0 and at most 2048");
    }
    if (!(std::fabs(h.waterLevel) <= kMapMaxHeight)) {
        return Fail(why, "the water level is not a number within 2048 of 0");
    }
    return true;
}

// How far from the centre x and z may lie on a map of the given size.
float PositionReach(float mapSize)
{
    return mapSize / 2.0f + kMapPositionMargin;
}

// Finite and on the map: a NaN fails every comparison.
bool PositionFits(const Vec3& p, float reach)
{
    return std::fabs(p.x) <= reach && std::fabs(p.z) <= reach && std::fabs(p.y) <= kMapMaxHeight;
}

bool NormalFits(const Vec3& n)
{
    return std::fabs(n.x) <= kMaxNormalComponent && std::fabs(n.y) <= kMaxNormalComponent &&
           std::fabs(n.z) <= kMaxNormalComponent;
}

bool RecordFits(const MapEdgeRecord& r, float reach)
{
    return PositionFits(r.position, reach) && NormalFits(r.normal) && std::isfinite(r.u) && std::isfinite(r.v);
}

bool ListFits(const std::vector<Vec3>& list, float reach)
{
    return std::ranges::all_of(list, [reach](const Vec3& p) { return PositionFits(p, reach); });
}

// A picture that does not decode is no fault of the map (its slot stays
// empty), but one that does must not be larger than a map's picture.
bool PictureFits(const std::vector<std::uint8_t>& bytes, const char* what, std::size_t index, std::string* why)
{
    int width = 0;
    int height = 0;
    if (!platform::ReadImageSize(bytes, width, height) || (width <= kMapMaxImageSide && height <= kMapMaxImageSide)) {
        return true;
    }
    const std::string side = std::to_string(kMapMaxImageSide);
    return Fail(why, std::string(what) + " " + std::to_string(index) + " is " + std::to_string(width) + " x " +
                         std::to_string(height) + " pixels, above the " + side + " x " + side + " a map may hold");
}

bool PicturesFit(const MapData& d, std::string* why)
{
    for (std::size_t i = 0; i < d.groundImages.size(); ++i) {
        if (!PictureFits(d.groundImages[i], "ground image", i, why)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < d.waterImages.size(); ++i) {
        if (!PictureFits(d.waterImages[i], "water image", i, why)) {
            return false;
        }
    }
    return true;
}

// What the header cannot say: every value a number the game can use, every
// index on the grid.
bool CheckContents(const MapData& d, std::string* why)
{
    const float reach = PositionReach(d.mapSize);
    if (!ListFits(d.trees, reach) || !ListFits(d.rocks, reach) || !ListFits(d.starts, reach) ||
        !ListFits(d.flags, reach)) {
        return Fail(why, "a list position is not a finite number on the map");
    }
    for (const MapGroundRecord& g : d.ground) {
        if (!RecordFits({g.position, g.normal, g.u, g.v}, reach)) {
            return Fail(why, "a ground vertex is not finite or lies off the map");
        }
    }
    for (const MapEdgeRecord& e : d.edges) {
        if (!RecordFits(e, reach)) {
            return Fail(why, "an edge vertex is not finite or lies off the map");
        }
    }
    for (const MapEdgeRecord& w : d.water) {
        if (!RecordFits(w, reach)) {
            return Fail(why, "a water vertex is not finite or lies off the map");
        }
    }
    const std::size_t vertexCount = d.ground.size();
    for (const std::uint16_t index : d.indices) {
        if (index >= vertexCount) {
            return Fail(why, "an index lies past the last ground vertex");
        }
    }
    return PicturesFit(d, why);
}

bool ReadVec3(ByteReader& in, Vec3& v)
{
    return in.ReadF32(v.x) && in.ReadF32(v.y) && in.ReadF32(v.z);
}

bool ReadList(ByteReader& in, std::uint32_t count, std::vector<Vec3>& list)
{
    list.resize(count);
    for (Vec3& p : list) {
        if (!ReadVec3(in, p)) {
            return false;
        }
    }
    return true;
}

bool ReadEdgeRecord(ByteReader& in, MapEdgeRecord& r)
{
    return ReadVec3(in, r.position) && ReadVec3(in, r.normal) && in.ReadF32(r.u) && in.ReadF32(r.v);
}

bool ReadHeader(ByteReader& in, MapHeader& h)
{
    return in.ReadU32(h.vertexCount) && in.ReadU32(h.indexCount) && in.ReadU32(h.columns) && in.ReadU32(h.rows) &&
           in.ReadU32(h.treeCount) && in.ReadU32(h.rockCount) && in.ReadU32(h.startCount) && in.ReadU32(h.flagCount) &&
           in.ReadU32(h.groundImageBytes) && in.ReadU32(h.waterImageBytes) && in.ReadF32(h.mapSize) &&
           in.ReadF32(h.heightScale) && in.ReadF32(h.waterLevel);
}

// Reads every section; the caller has checked that the file holds them all.
bool ReadSections(ByteReader& in, const MapHeader& h, MapData& d)
{
    if (!ReadList(in, h.treeCount, d.trees) || !ReadList(in, h.rockCount, d.rocks) ||
        !ReadList(in, h.startCount, d.starts) || !ReadList(in, h.flagCount, d.flags)) {
        return false;
    }
    d.ground.resize(h.vertexCount);
    for (MapGroundRecord& g : d.ground) {
        if (!ReadVec3(in, g.position) || !ReadVec3(in, g.normal) || !in.ReadF32(g.u) || !in.ReadF32(g.v) ||
            !in.ReadU32(g.colour)) {
            return false;
        }
    }
    d.indices.resize(h.indexCount);
    for (std::uint16_t& index : d.indices) {
        if (!in.ReadU16(index)) {
            return false;
        }
    }
    d.edges.resize(EdgeRecordCount(h.columns, h.rows));
    for (MapEdgeRecord& e : d.edges) {
        if (!ReadEdgeRecord(in, e)) {
            return false;
        }
    }
    for (MapEdgeRecord& w : d.water) {
        if (!ReadEdgeRecord(in, w)) {
            return false;
        }
    }
    for (std::vector<std::uint8_t>& image : d.groundImages) {
        image.resize(h.groundImageBytes);
        if (!in.ReadBytes(image)) {
            return false;
        }
    }
    for (std::vector<std::uint8_t>& image : d.waterImages) {
        image.resize(h.waterImageBytes);
        if (!in.ReadBytes(image)) {
            return false;
        }
    }
    return true;
}

template <typename T> bool FitsU32(const std::vector<T>& v)
{
    return v.size() <= std::numeric_limits<std::uint32_t>::max();
}

// The header a file of d would carry; false when d cannot be written as one.
bool HeaderOf(const MapData& d, MapHeader& h, std::string* why)
{
    if (!FitsU32(d.trees) || !FitsU32(d.rocks) || !FitsU32(d.starts) || !FitsU32(d.flags) || !FitsU32(d.ground) ||
        !FitsU32(d.indices) || !FitsU32(d.groundImages[0]) || !FitsU32(d.waterImages[0])) {
        return Fail(why, "a section is too long for the file's counts");
    }
    for (const std::vector<std::uint8_t>& image : d.groundImages) {
        if (image.size() != d.groundImages[0].size()) {
            return Fail(why, "the ground images differ in length");
        }
    }
    for (const std::vector<std::uint8_t>& image : d.waterImages) {
        if (image.size() != d.waterImages[0].size()) {
            return Fail(why, "the water images differ in length");
        }
    }
    h.vertexCount = static_cast<std::uint32_t>(d.ground.size());
    h.indexCount = static_cast<std::uint32_t>(d.indices.size());
    h.columns = d.columns;
    h.rows = d.rows;
    h.treeCount = static_cast<std::uint32_t>(d.trees.size());
    h.rockCount = static_cast<std::uint32_t>(d.rocks.size());
    h.startCount = static_cast<std::uint32_t>(d.starts.size());
    h.flagCount = static_cast<std::uint32_t>(d.flags.size());
    h.groundImageBytes = static_cast<std::uint32_t>(d.groundImages[0].size());
    h.waterImageBytes = static_cast<std::uint32_t>(d.waterImages[0].size());
    h.mapSize = d.mapSize;
    h.heightScale = d.heightScale;
    h.waterLevel = d.waterLevel;
    if (!CheckHeader(h, why)) {
        return false;
    }
    if (d.edges.size() != EdgeRecordCount(d.columns, d.rows)) {
        return Fail(why, "the edge strips do not have four records per border vertex");
    }
    return true;
}

void WriteVec3(ByteWriter& out, const Vec3& v)
{
    out.WriteF32(v.x);
    out.WriteF32(v.y);
    out.WriteF32(v.z);
}

void WriteEdgeRecord(ByteWriter& out, const MapEdgeRecord& r)
{
    WriteVec3(out, r.position);
    WriteVec3(out, r.normal);
    out.WriteF32(r.u);
    out.WriteF32(r.v);
}

} // namespace

bool ParseMapFile(std::span<const std::uint8_t> bytes, MapData& out, std::string* why)
{
    if (bytes.size() < sizeof kMagic || !std::equal(kMagic, kMagic + sizeof kMagic, bytes.begin())) {
        return Fail(why, "the file does not start with KVMP");
    }
    ByteReader in(bytes.subspan(sizeof kMagic));
    MapHeader header;
    if (!ReadHeader(in, header)) {
        return Fail(why, "the header is cut short");
    }
    if (!CheckHeader(header, why)) {
        return false;
    }
    if (TotalBytes(header) > bytes.size()) {
        return Fail(why, "the file is shorter than its counts declare");
    }
    MapData data;
    data.columns = header.columns;
    data.rows = header.rows;
    data.mapSize = header.mapSize;
    data.heightScale = header.heightScale;
    data.waterLevel = header.waterLevel;
    if (!ReadSections(in, header, data)) {
        return Fail(why, "a section is cut short");
    }
    if (!CheckContents(data, why)) {
        return false;
    }
    out = std::move(data);
    return true;
}

bool ValidateMapData(const MapData& data, std::string* why)
{
    MapHeader header;
    return HeaderOf(data, header, why) && CheckContents(data, why);
}

std::vector<std::uint8_t> WriteMapFile(const MapData& d)
{
    MapHeader h;
    if (!HeaderOf(d, h, nullptr) || !CheckContents(d, nullptr)) {
        return {};
    }
    ByteWriter out;
    out.Reserve(static_cast<std::size_t>(TotalBytes(h)));
    out.WriteBytes(kMagic);
    for (const std::uint32_t word : {h.vertexCount, h.indexCount, h.columns, h.rows, h.treeCount, h.rockCount,
                                     h.startCount, h.flagCount, h.groundImageBytes, h.waterImageBytes}) {
        out.WriteU32(word);
    }
    out.WriteF32(h.mapSize);
    out.WriteF32(h.heightScale);
    out.WriteF32(h.waterLevel);
    for (const std::vector<Vec3>* list : {&d.trees, &d.rocks, &d.starts, &d.flags}) {
        for (const Vec3& p : *list) {
            WriteVec3(out, p);
        }
    }
    for (const MapGroundRecord& g : d.ground) {
        WriteVec3(out, g.position);
        WriteVec3(out, g.normal);
        out.WriteF32(g.u);
        out.WriteF32(g.v);
        out.WriteU32(g.colour);
    }
    for (const std::uint16_t index : d.indices) {
        out.WriteU16(index);
    }
    for (const MapEdgeRecord& e : d.edges) {
        WriteEdgeRecord(out, e);
    }
    for (const MapEdgeRecord& w : d.water) {
        WriteEdgeRecord(out, w);
    }
    for (const std::vector<std::uint8_t>& image : d.groundImages) {
        out.WriteBytes(image);
    }
    for (const std::vector<std::uint8_t>& image : d.waterImages) {
        out.WriteBytes(image);
    }
    return out.Take();
}
