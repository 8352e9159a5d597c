// A picture on a rectangle given in fractions of a window: a window's
// background pictures, and the thumb of a slider. The record holds its
// texture, so dropping the record lets the picture go.
#pragma once

#include "render/TextureLoader.h"

struct guiTextureRect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    TextureHandle texture;
};
