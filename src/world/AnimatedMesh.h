// One animation file of a unit type (or of the click marker): rigid parts,
// each a mesh container of the file's frame tree, placed by a track of the
// file's first animation set. Part i is moved by track partCount - 1 - i, the
// order the frame walk (AnimatedMesh.cpp) and the model generator agree on.
// Frame matrices are not used: a track's keys give its part's whole
// model-space transform.
//
// Loading only; the drawing device draws the parts later, with the world
// matrices given here.
#pragma once

#include "world/KeyframeController.h"
#include "world/MeshHierarchy.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class AnimatedMesh {
public:
    AnimatedMesh();
    ~AnimatedMesh();
    AnimatedMesh(AnimatedMesh&&) noexcept;
    AnimatedMesh& operator=(AnimatedMesh&&) noexcept;
    AnimatedMesh(const AnimatedMesh&) = delete;
    AnimatedMesh& operator=(const AnimatedMesh&) = delete;

    // Loads the data file folder + name. A missing or refused file is logged
    // in "Meshes.txt" and leaves the mesh empty: no parts, period 0, so a
    // unit showing it draws nothing and its animation ends at once.
    bool Load(std::string_view folder, std::string_view name);
    // The same from data in memory, checked here; why says what was wrong.
    bool LoadFromData(const XFileData& data, std::string* why = nullptr);

    int GetPartCount() const { return static_cast<int>(parts_.size()); }
    bool IsEmpty() const { return parts_.empty(); }
    // A file without animation: one part, drawn where the model puts it.
    bool IsStatic() const { return isStatic_; }

    // part must lie in 0 .. GetPartCount() - 1.
    const MeshGeometry& GetPartGeometry(int part) const;
    const std::string& GetPartFrameName(int part) const;
    // The track of animation set 0 that moves part.
    int GetPartTrack(int part) const { return GetPartCount() - 1 - part; }

    // Null for a static or empty mesh.
    const KeyframeController* GetController() const { return controller_.get(); }
    KeyframeController* GetController() { return controller_.get(); }
    // Of animation set 0, in seconds; 0 for a static or empty mesh.
    double GetPeriod() const;

    // part's transform seconds after its animation started, looping; the
    // identity for a static mesh.
    AnimationSrt GetPartSrt(int part, double seconds) const;
    // Where part is drawn for a unit at position, turned by angle about axis
    // through the point 0.5 above its origin (so a thrown unit tumbles about
    // its middle): S Q T D A U P in row-vector order, D and U the moves down
    // and up by 0.5. A zero axis means no turn.
    Matrix GetPartWorldMatrix(int part, double seconds, const Vec3& position, const Vec3& axis, float angle) const;
    // The same in two steps, for drawing a unit's parts from transforms
    // sampled through the shared controller: the unit's placement D A U P,
    // the same for all its parts, then each part's S Q T before it.
    static Matrix UnitPlacementMatrix(const Vec3& position, const Vec3& axis, float angle);
    static Matrix PartWorldMatrix(const AnimationSrt& srt, const Matrix& unitPlacement);

private:
    void Clear();

    std::unique_ptr<MeshHierarchy> hierarchy_;
    std::unique_ptr<KeyframeController> controller_;
    std::vector<int> parts_; // the frame holding each part's container
    bool isStatic_ = false;
};
