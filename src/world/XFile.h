// Mesh files (".X", the text form): every model of the game, units and
// scenery alike. The game reads them (AnimatedMesh, ObjectMesh) and the data
// generator writes them (tools/datagen), both through this one reader, checker
// and writer.
//
// The file starts with the 16-byte header "xof 0303txt 0032" (a float size
// of "0064" is read the same). Then come objects, each a keyword, an optional
// name and a body in braces:
//
//   AnimTicksPerSecond { 4800; }
//   Frame Body {                              frames nest
//     FrameTransformMatrix { 16 numbers, row by row, translation last; }
//     Mesh BodyMesh {
//       vertexCount; x;y;z;, ...;             positions
//       faceCount; n;i0,i1,...;, ...;         polygons, clockwise from the front
//       MeshNormals { count; x;y;z;, ...; faceCount; n;j0,j1,...;, ...; }
//       MeshTextureCoords { vertexCount; u;v;, ...; }
//       MeshMaterialList { materialCount; faceCount; m0, m1, ...;
//         Material { r;g;b;a;; power; r;g;b;; r;g;b;;
//                    TextureFilename { "name.png"; } } ... }
//     }
//     Frame Child { ... }
//   }
//   AnimationSet Walk {
//     Animation { {Body}                      the frame this track moves
//       AnimationKey { kind; keyCount; time;valueCount;v0,v1,...;;, ...; }
//       AnimationOptions { 1; 0; }            read and not used: all loop
//     }
//   }
//
// Key kinds: 0 rotation (w, x, y, z), 1 scale (x, y, z), 2 position
// (x, y, z); key times are ticks, strictly increasing. The ';' and ','
// separators are read like white space: the counts say where every list
// ends. "//" and "#" start comments. "template" declarations and objects the
// game has no use for (a "Header", say) are skipped whole, within the depth
// limit. Matrix keys (kind 4), references outside animations and the binary
// and compressed forms are refused.
#pragma once

#include "world/XFileData.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Parses a whole file. On any fault (a wrong header, a cut-short file, a
// count beyond what the file can hold, an index past its list, a number that
// is not finite, a name or text longer than its limit) returns false, leaves
// out untouched and, when why is given, names the fault and where it lies.
bool ParseXFile(std::span<const std::uint8_t> bytes, XFileData& out, std::string* why = nullptr);

// Reads and parses the data file at path (through the platform's path
// lookup); false when it cannot be read or is refused, with why as above.
bool LoadXFile(std::string_view path, XFileData& out, std::string* why = nullptr);

// What the parser checks beyond the grammar, on data made in memory: limits,
// every index inside its list, matching counts, finite numbers, unique frame
// names, animations naming existing frames, increasing key times.
bool ValidateXFileData(const XFileData& data, std::string* why = nullptr);

// The file text of data; empty when ValidateXFileData refuses it.
std::string WriteXFile(const XFileData& data);
