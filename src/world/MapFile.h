// Map files ("Maps/<name>.kvm"): one binary file holds everything a battlefield
// needs. The game reads them (Terrain::Load) and the data generator writes them
// (tools/datagen), both through this one parser, validator and writer.
//
// All numbers little-endian, no padding; u32, u16, f32, vec3 = 3 x f32 (x, y, z).
//
// Header, 56 bytes:
//    0 "KVMP"            4 vertexCount (= columns x rows, at most 65536)
//    8 indexCount (= 6 (columns - 1)(rows - 1))     12 columns    16 rows
//   20 treeCount  24 rockCount  28 startCount (at most 8)  32 flagCount
//   36 groundImageBytes (each of 3)  40 waterImageBytes (each of 8)
//   44 f32 mapSize  48 f32 heightScale  52 f32 waterLevel
// Sections, in order, straight after the header:
//   trees, rocks, army starts, flags   12 bytes (vec3) per entry each
//   ground vertices                    36 bytes each: position, normal, u, v,
//                                      u32 ARGB colour (alpha = layer blend)
//   ground indices                     u16 each, six per grid cell
//   edge vertices                      32 bytes each (position, normal, u, v),
//                                      4 x columns + 4 x rows of them
//   water vertices                     4 edge-form records, one triangle strip
//   ground images                      3 x groundImageBytes: layer 0, layer 1, edge
//   water images                       8 x waterImageBytes: frames 0 to 7
// Bytes after the last water image are ignored.
//
// Grid: vertex (c, r) is record r x columns + c at x = -S/2 + c S/(columns - 1),
// z = +S/2 - r S/(rows - 1), S = mapSize (row 0 is the +z side). Cell (c, r)
// owns indices 6 ((columns - 1) r + c) onwards, split along a-e as (a, e, d),
// (a, b, e) or along b-d as (a, b, d), (b, e, d), with a = r columns + c,
// b = a + 1, d = a + columns, e = d + 1 (TerrainGrid.h holds the rule).
//
// Bounds: every number must be one the game can compute with. The map size
// lies in [16, 4096], the height scale in (0, 2048], the water level and every
// y within 2048 of 0, every x and z within 16 of the map's square, and every
// normal component within [-1, 1] (with room for rounding). Past these the
// grid arithmetic of the queries and the physics leaves the float range.
// Every count and length is bounded too, by what a map of the game can use
// (MapData.h and below): a file within the size limit could otherwise ask for
// millions of scenery bodies, or pictures that decode to gigabytes.
#pragma once

#include "world/MapData.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr std::size_t kMapHeaderBytes = 56;

// What the game can use of a map; the validator refuses anything beyond.
inline constexpr float kMapMinSize = 16.0f;
inline constexpr float kMapMaxSize = 4096.0f;
inline constexpr float kMapMaxHeightScale = 2048.0f;
inline constexpr float kMapMaxHeight = 2048.0f;
inline constexpr float kMapPositionMargin = 16.0f;
// The game's maps embed 256 x 256 ground and 128 x 128 water pictures as BMPs
// of 196,662 and 49,206 bytes. Each embedded picture may be up to 1024 pixels
// on a side, and its file up to these lengths (a 1024 x 1024 32-bit picture
// fits a ground image's).
inline constexpr std::uint32_t kMapMaxGroundImageBytes = 5 * 1024 * 1024;
inline constexpr std::uint32_t kMapMaxWaterImageBytes = 1024 * 1024;
inline constexpr int kMapMaxImageSide = 1024;
// No file within the bounds above is longer (about 30 MB at most), so a
// longer one is refused unread.
inline constexpr std::size_t kMapMaxFileBytes = 40 * 1024 * 1024;

// Parses a whole file. On any fault (wrong magic, short file, counts that
// disagree, do not fit or pass their bounds, an index past the grid, a value
// that is not a finite number or lies outside the bounds above, an embedded
// picture claiming more than kMapMaxImageSide) returns false, leaves out
// untouched and, when why is given, names the fault with the number at fault.
// Nothing is allocated before the counts are known to be within their bounds
// and to fit the file.
bool ParseMapFile(std::span<const std::uint8_t> bytes, MapData& out, std::string* why = nullptr);

// The parser's checks on data made in memory, plus equal image lengths within
// each group (the file stores one length per group).
bool ValidateMapData(const MapData& data, std::string* why = nullptr);

// The file bytes of data; empty when ValidateMapData refuses it.
std::vector<std::uint8_t> WriteMapFile(const MapData& data);
