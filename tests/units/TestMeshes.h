// Small mesh files made in memory for the mesh and animation tests.
#pragma once

#include "world/MeshGeometry.h"
#include "world/XFile.h"

#include <span>
#include <string>

namespace testing {

// A unit square in the z = 0 plane facing -z, as one quad, with one material
// whose diffuse red is `red`.
XMesh SquareMesh(const std::string& name, float red = 1.0f);

// A frame holding meshes, under parent (-1 at the top).
XFrame MeshFrame(const std::string& name, std::int32_t parent, std::vector<XMesh> meshes = {});

// A track for frameName: position keys moving along +x by one unit a second
// from time 0 to `seconds`, at ticksPerSecond.
XAnimation SlidingTrack(const std::string& frameName, float seconds, std::uint32_t ticksPerSecond);

// The generator's layout: parts top-level frames "Part0" ... each with one
// square, and one set whose animation k slides part parts - 1 - k.
XFileData PartsFile(int parts);

std::span<const std::uint8_t> Bytes(const std::string& text);

// How many triangles of g are wound against a corner's normal: faces are
// clockwise seen from the front, so (b - a) x (c - a) points out of the front.
int CountWrongWinding(const MeshGeometry& g);

} // namespace testing
