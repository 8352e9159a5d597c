// Loading unit animation files and placing their parts.
//
// The part walk fixes which frame is part i. It starts at the first named
// frame down the root's chain of first children and moves from frame to
// frame: to the sibling, keeping the child for later (first in, first out)
// when there are both; else to the sibling; else to the child; else to the
// oldest frame kept. At each frame the part is the first container down its
// chain of first children. For the files the generator writes (N top-level
// frames, one mesh each) part i is simply the i-th top-level frame.
//
// The walk is guarded against files it would otherwise misread: a frame
// with no container down its chain is passed over instead of read through; a
// container already taken is not taken twice (a named frame wrapping the
// parts would otherwise give the first part twice and lose the last); a file
// without any named frame is walked from the root; and the part count is the
// smaller of the track count and the parts found, so no part lacks a track.
#include "world/AnimatedMesh.h"

#include "core/ErrorLog.h"
#include "world/XFile.h"

#include <algorithm>
#include <deque>

namespace {

const char* const kLogName = "Meshes.txt";

int FirstNamedFrame(const MeshHierarchy& h)
{
    for (int f = 0; f >= 0; f = h.GetFrame(f).firstChild) {
        if (!h.GetFrame(f).name.empty()) {
            return f;
        }
    }
    return 0;
}

int ContainerFrameDown(const MeshHierarchy& h, int frame)
{
    while (frame >= 0 && h.GetFrame(frame).containerCount == 0) {
        frame = h.GetFrame(frame).firstChild;
    }
    return frame;
}

std::vector<int> WalkParts(const MeshHierarchy& h, int wanted)
{
    std::vector<int> parts;
    std::deque<int> kept;
    int current = FirstNamedFrame(h);
    while (current >= 0 && static_cast<int>(parts.size()) < wanted) {
        const int holder = ContainerFrameDown(h, current);
        if (holder >= 0 && std::find(parts.begin(), parts.end(), holder) == parts.end()) {
            parts.push_back(holder);
        }
        const MeshFrame& frame = h.GetFrame(current);
        if (frame.nextSibling >= 0) {
            if (frame.firstChild >= 0) {
                kept.push_back(frame.firstChild);
            }
            current = frame.nextSibling;
        } else if (frame.firstChild >= 0) {
            current = frame.firstChild;
        } else if (!kept.empty()) {
            current = kept.front();
            kept.pop_front();
        } else {
            current = -1;
        }
    }
    return parts;
}

} // namespace

AnimatedMesh::AnimatedMesh() = default;
AnimatedMesh::~AnimatedMesh() = default;
AnimatedMesh::AnimatedMesh(AnimatedMesh&&) noexcept = default;
AnimatedMesh& AnimatedMesh::operator=(AnimatedMesh&&) noexcept = default;

bool AnimatedMesh::Load(std::string_view folder, std::string_view name)
{
    Clear();
    const std::string path = std::string(folder) + std::string(name);
    XFileData data;
    std::string why;
    if (!LoadXFile(path, data, &why) || !LoadFromData(data, &why)) {
        ErrorLog(kLogName, true).Warning("Mesh " + path + " not loaded: " + why);
        return false;
    }
    if (IsEmpty()) {
        ErrorLog(kLogName, true).Warning("Mesh " + path + " has no mesh to draw");
    }
    return true;
}

bool AnimatedMesh::LoadFromData(const XFileData& data, std::string* why)
{
    Clear();
    if (!ValidateXFileData(data, why)) {
        return false;
    }
    hierarchy_ = std::make_unique<MeshHierarchy>(data);
    isStatic_ = data.animationSets.empty() || data.animationSets.front().animations.empty();
    int wanted = 1;
    if (!isStatic_) {
        std::vector<AnimationSet> sets;
        for (const XAnimationSet& set : data.animationSets) {
            sets.emplace_back(set, data.ticksPerSecond);
        }
        wanted = sets.front().GetAnimationCount();
        controller_ = std::make_unique<KeyframeController>(std::move(sets));
    }
    parts_ = WalkParts(*hierarchy_, wanted);
    return true;
}

void AnimatedMesh::Clear()
{
    hierarchy_.reset();
    controller_.reset();
    parts_.clear();
    isStatic_ = false;
}

const MeshGeometry& AnimatedMesh::GetPartGeometry(int part) const
{
    return hierarchy_->GetFirstContainer(parts_[static_cast<std::size_t>(part)])->geometry;
}

const std::string& AnimatedMesh::GetPartFrameName(int part) const
{
    return hierarchy_->GetFrame(parts_[static_cast<std::size_t>(part)]).name;
}

double AnimatedMesh::GetPeriod() const
{
    const AnimationSet* set = controller_ ? controller_->GetAnimationSetByIndex(0) : nullptr;
    return set ? set->GetPeriod() : 0.0;
}

AnimationSrt AnimatedMesh::GetPartSrt(int part, double seconds) const
{
    const AnimationSet* set = controller_ ? controller_->GetAnimationSetByIndex(0) : nullptr;
    if (!set || part < 0 || part >= GetPartCount()) {
        return {};
    }
    return set->GetSrt(set->GetPeriodicPosition(seconds), GetPartTrack(part));
}

Matrix AnimatedMesh::GetPartWorldMatrix(int part, double seconds, const Vec3& position, const Vec3& axis,
                                        float angle) const
{
    return PartWorldMatrix(GetPartSrt(part, seconds), UnitPlacementMatrix(position, axis, angle));
}

Matrix AnimatedMesh::UnitPlacementMatrix(const Vec3& position, const Vec3& axis, float angle)
{
    return MatrixTranslation(0.0f, -0.5f, 0.0f) * MatrixRotationAxis(axis, angle) *
           MatrixTranslation(position.x, position.y + 0.5f, position.z);
}

Matrix AnimatedMesh::PartWorldMatrix(const AnimationSrt& srt, const Matrix& unitPlacement)
{
    Matrix local = MatrixRotationQuaternion(srt.rotation);
    for (int column = 0; column < 3; ++column) {
        local.m[0][column] *= srt.scale.x;
        local.m[1][column] *= srt.scale.y;
        local.m[2][column] *= srt.scale.z;
    }
    local.m[3][0] = srt.translation.x;
    local.m[3][1] = srt.translation.y;
    local.m[3][2] = srt.translation.z;
    return local * unitPlacement; // S Q T, written out: scaled rows of Q, then the move
}
