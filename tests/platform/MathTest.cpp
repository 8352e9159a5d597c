#include "platform/math/Matrix.h"
#include "platform/math/Quaternion.h"

#include "TestSupport.h"

#include <doctest/doctest.h>

using testing::CheckNear;

TEST_CASE("the left-handed camera projects and unprojects, matrices invert, and rotations agree with quaternions")
{
    const Matrix view = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    CheckNear(Vec3TransformCoord({1, 0, -10}, view), {1, 0, 0}); // +x stays right
    const Matrix projection = MatrixPerspectiveFovLH(kPi / 4, 4.0f / 3.0f, 2.0f, 800.0f);
    CHECK(Vec3TransformCoord({0, 0, 2}, projection).z == doctest::Approx(0.0f));
    CHECK(Vec3TransformCoord({0, 0, 800}, projection).z == doctest::Approx(1.0f));

    const Viewport viewport{0, 0, 1024, 768, 0, 1};
    const Matrix slanted = MatrixLookAtLH({61.25f, 87.5f, 61.25f}, {0, 0, 0}, {0, 1, 0});
    const Matrix world = Matrix::Identity();
    const Vec3 point{12.0f, 3.0f, -20.0f};
    const Vec3 screen = Vec3Project(point, viewport, projection, slanted, world);
    CheckNear(Vec3Unproject(screen, viewport, projection, slanted, world), point, 1e-3);
    const Vec3 centre = Vec3Project({0, 0, 0}, viewport, projection, slanted, world);
    CHECK(centre.x == doctest::Approx(512.0f));
    CHECK(centre.y == doctest::Approx(384.0f));

    // A matrix times its inverse is the identity, singular ones are refused, and rotations agree with quaternions.
    const Matrix m = MatrixRotationY(0.7f) * MatrixTranslation(3, 4, 5) * MatrixScaling(2, 2, 2);
    Matrix inverse;
    REQUIRE(MatrixInverse(m, inverse));
    const Matrix product = m * inverse;
    for (int i = 0; i < 16; ++i) {
        CHECK(product.m[i / 4][i % 4] == doctest::Approx(i % 5 == 0 ? 1.0f : 0.0f).epsilon(1e-5));
    }
    CHECK_FALSE(MatrixInverse(MatrixScaling(1, 0, 1), inverse));
    CHECK(Vec3Normalize({0, 0, 0}) == Vec3{}); // no NaN from a zero vector

    // Rotations agree between matrices and quaternions.
    // Left-handed: a positive turn about +y takes +x towards -z.
    CheckNear(Vec3TransformCoord({1, 0, 0}, MatrixRotationY(kPi / 2)), {0, 0, -1});
    const Quaternion q = QuaternionRotationAxis({0, 1, 0}, kPi / 2);
    CheckNear(Vec3TransformCoord({1, 0, 0}, MatrixRotationQuaternion(q)), {0, 0, -1});
    const Quaternion half = QuaternionSlerp(Quaternion{}, q, 0.5f);
    CheckNear(Vec3TransformCoord({1, 0, 0}, MatrixRotationQuaternion(half)), {0.7071f, 0, -0.7071f});
    const Quaternion xFirst = QuaternionMultiply(QuaternionRotationAxis({1, 0, 0}, 0.4f), q);
    const Matrix both = MatrixRotationX(0.4f) * MatrixRotationY(kPi / 2);
    CheckNear(Vec3TransformCoord({0.3f, 0.5f, 0.8f}, MatrixRotationQuaternion(xFirst)),
              Vec3TransformCoord({0.3f, 0.5f, 0.8f}, both));
}

TEST_CASE("rays hit triangles from either side and miss outside them")
{
    float u = 0, v = 0, distance = 0;
    const Vec3 a{0, 0, 0}, b{10, 0, 0}, c{0, 0, 10};
    REQUIRE(IntersectTriangle(a, b, c, {2, 5, 3}, {0, -1, 0}, u, v, distance));
    CHECK(distance == doctest::Approx(5.0f));
    CHECK(u == doctest::Approx(0.2f));
    CHECK(v == doctest::Approx(0.3f));
    CHECK(IntersectTriangle(a, b, c, {2, -5, 3}, {0, 1, 0}, u, v, distance));
    CHECK_FALSE(IntersectTriangle(a, b, c, {9, 5, 9}, {0, -1, 0}, u, v, distance));
    CHECK_FALSE(IntersectTriangle(a, b, c, {2, 5, 3}, {0, 1, 0}, u, v, distance));
}
