// The unit models: rigid parts, each a mesh built about its own joint, and
// for each animation a pose function giving every part's model-space place
// at a phase of the animation. The unit mesh generator samples the poses into
// keys and writes one file per animation.
#pragma once

#include "MeshBuilder.h"

#include <vector>

namespace datagen {

// A part's place at one moment: scaled about its joint, turned, then moved.
struct PartPose {
    Quaternion rotation;
    Vec3 position;
    float scale = 1.0f;
};

// Turned by roll (about z), then pitch (about x, positive tips +y towards
// +z), then yaw (about y), and put at position.
PartPose Posed(const Vec3& position, float pitch, float yaw = 0.0f, float roll = 0.0f, float scale = 1.0f);
// local given in parent's frame: moved, turned and scaled with the parent.
PartPose Attached(const PartPose& parent, const PartPose& local);
// Turned about y by spin first, then tipped about x by tilt: a wheel or ring
// spinning about its own tilted axis.
Quaternion SpinThenTilt(float spin, float tilt);

// Shapes of the phase 0..1 of an animation.
float Wave(float phase, float cycles, float offset = 0.0f); // sin(2 pi (cycles phase + offset))
float Ease(float t);                                        // smooth 0 to 1 over t in 0..1, held outside
float Ramp(float phase, float from, float to);              // Ease over from..to

struct UnitPart {
    const char* name;
    void (*build)(MeshBuilder& mesh);
};

struct UnitAnimation {
    float period; // seconds
    int keys;     // key intervals across the period
    bool loops;   // the last key repeats the first exactly
    std::vector<PartPose> (*pose)(float phase);
};

struct UnitModel {
    const char* typeName;
    std::vector<UnitPart> parts;
    std::vector<UnitAnimation> animations; // by animation id
};

UnitModel SmashtorModel();
UnitModel TriangoloidModel();
UnitModel TrajectagonModel();
UnitModel ArtilleratorModel();
UnitModel DetagonModel();
UnitModel ClickMarkerModel();

} // namespace datagen
