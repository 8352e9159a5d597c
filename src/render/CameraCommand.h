// The continuous camera movements, run once a frame while they are listed
// (a key held, the pointer resting on a screen edge). The id is the index of
// the movement's handler in the camera's table.
#pragma once

enum CameraCommand : int {
    kCameraTurnLeft = 0,
    kCameraTurnRight = 1,
    kCameraOrbitLeft = 2,
    kCameraOrbitRight = 3,
    kCameraZoomIn = 4,
    kCameraZoomOut = 5,
    kCameraPanForward = 6,
    kCameraPanBack = 7,
    kCameraPanLeft = 8,
    kCameraPanRight = 9,
    kCameraCommandCount = 10,
};
