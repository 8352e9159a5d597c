// The frame tree of one mesh file with its mesh containers, in the shape the
// unit models are walked in: each frame knows its first child and its next
// sibling, and frame 0 is an unnamed root above the file's top-level frames.
// Objects are drawn from the merged geometry of every container.
#pragma once

#include "world/MeshGeometry.h"
#include "world/XFileData.h"

#include <string>
#include <string_view>
#include <vector>

struct MeshFrame {
    std::string name;                      // "" for an unnamed frame
    Matrix transform = Matrix::Identity(); // relative to the parent frame
    int firstChild = -1;
    int nextSibling = -1;
    int firstContainer = -1; // the frame's meshes are containers
    int containerCount = 0;  // firstContainer onwards
};

struct MeshContainer {
    std::string name;
    int frame = 0;
    MeshGeometry geometry; // in the frame's own space
};

class MeshHierarchy {
public:
    // From data that ValidateXFileData accepted; file frame i becomes frame
    // i + 1, its children and siblings in file order.
    explicit MeshHierarchy(const XFileData& data);

    int GetFrameCount() const { return static_cast<int>(frames_.size()); }
    // index must lie in 0 .. GetFrameCount() - 1, as every link does.
    const MeshFrame& GetFrame(int index) const { return frames_[static_cast<std::size_t>(index)]; }
    // The first mesh container of a frame; null when it holds none.
    const MeshContainer* GetFirstContainer(int frame) const;
    int GetContainerCount() const { return static_cast<int>(containers_.size()); }
    // -1 when no frame has the name.
    int FindFrameByName(std::string_view name) const;

    // Every container in model space (placed by its frame and the frames
    // above it), joined into one mesh.
    MeshGeometry MergeAll() const;

private:
    std::vector<MeshFrame> frames_;
    std::vector<MeshContainer> containers_;
};
