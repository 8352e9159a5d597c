// A small software renderer for pictures made from our own meshes at build
// time, with no graphics device: a perspective camera, triangles filled
// with a depth test, each a flat colour the caller has lit. It draws at a
// multiple of the picture's size and averages down, which smooths the edges.
#pragma once

#include "RgbaCanvas.h"

#include "platform/math/Vector.h"

#include <vector>

namespace datagen {

class SoftRasteriser {
public:
    // The picture is width x height; drawing happens at supersample times
    // that on each axis.
    SoftRasteriser(int width, int height, int supersample);

    // Looks from eye towards at with y up; fovY in radians.
    void SetCamera(const Vec3& eye, const Vec3& at, float fovY);
    const Vec3& Eye() const { return eye_; }
    // Where p lands on the picture, in its pixels; false behind the camera.
    bool ProjectToPicture(const Vec3& p, Vec2& out) const;

    // Fills the triangle where it is nearer than what is drawn there.
    // Triangles reaching behind the camera's near distance are skipped.
    void DrawTriangle(const Vec3& a, const Vec3& b, const Vec3& c, const Rgb& colour);

    // Drawn pixels averaged down to the picture's size, laid over backdrop;
    // coverage is the share of each pixel's samples that were drawn.
    void Resolve(RgbaCanvas& backdrop) const;

private:
    struct ScreenPoint {
        float x = 0.0f;
        float y = 0.0f;
        float inverseDepth = 0.0f;
    };

    bool Project(const Vec3& p, ScreenPoint& out) const;

    int width_;
    int height_;
    int supersample_;
    int sampleWidth_;
    int sampleHeight_;
    Vec3 eye_;
    Vec3 right_{1.0f, 0.0f, 0.0f};
    Vec3 up_{0.0f, 1.0f, 0.0f};
    Vec3 forward_{0.0f, 0.0f, 1.0f};
    float focal_ = 1.0f;
    std::vector<Rgb> colour_;
    std::vector<float> inverseDepth_; // 0 where nothing is drawn
};

} // namespace datagen
