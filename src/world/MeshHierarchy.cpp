// Building the frame tree from mesh file data, and joining its meshes.
#include "world/MeshHierarchy.h"

MeshHierarchy::MeshHierarchy(const XFileData& data)
{
    frames_.resize(data.frames.size() + 1);
    std::vector<int> lastChild(frames_.size(), -1);
    for (std::size_t i = 0; i < data.frames.size(); ++i) {
        const XFrame& source = data.frames[i];
        const int index = static_cast<int>(i) + 1;
        MeshFrame& frame = frames_[static_cast<std::size_t>(index)];
        frame.name = source.name;
        frame.transform = source.transform;
        // Parents come first in the file, so the parent's links exist already.
        const auto parent = static_cast<std::size_t>(source.parent + 1);
        if (lastChild[parent] < 0) {
            frames_[parent].firstChild = index;
        } else {
            frames_[static_cast<std::size_t>(lastChild[parent])].nextSibling = index;
        }
        lastChild[parent] = index;
        if (!source.meshes.empty()) {
            frame.firstContainer = static_cast<int>(containers_.size());
            frame.containerCount = static_cast<int>(source.meshes.size());
        }
        for (const XMesh& mesh : source.meshes) {
            containers_.push_back({mesh.name, index, BuildMeshGeometry(mesh)});
        }
    }
}

const MeshContainer* MeshHierarchy::GetFirstContainer(int frame) const
{
    if (frame < 0 || frame >= GetFrameCount()) {
        return nullptr;
    }
    const int first = frames_[static_cast<std::size_t>(frame)].firstContainer;
    return first < 0 ? nullptr : &containers_[static_cast<std::size_t>(first)];
}

int MeshHierarchy::FindFrameByName(std::string_view name) const
{
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        if (frames_[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

MeshGeometry MeshHierarchy::MergeAll() const
{
    // Row vectors: a point goes through its own frame first, then each parent.
    std::vector<Matrix> toModel(frames_.size(), Matrix::Identity());
    std::vector<int> parentOf(frames_.size(), -1);
    for (std::size_t f = 0; f < frames_.size(); ++f) {
        for (int child = frames_[f].firstChild; child >= 0;
             child = frames_[static_cast<std::size_t>(child)].nextSibling) {
            parentOf[static_cast<std::size_t>(child)] = static_cast<int>(f);
        }
    }
    for (std::size_t f = 1; f < frames_.size(); ++f) {
        toModel[f] = frames_[f].transform * toModel[static_cast<std::size_t>(parentOf[f])];
    }
    MeshGeometry merged;
    for (const MeshContainer& container : containers_) {
        MeshGeometry placed = container.geometry;
        TransformMeshGeometry(placed, toModel[static_cast<std::size_t>(container.frame)]);
        AppendMeshGeometry(merged, placed);
    }
    return merged;
}
