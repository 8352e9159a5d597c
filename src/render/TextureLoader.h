// Pictures by file name for the 2-D layer: a path under the data directory,
// in any case of its letters, gives a shared texture, or null when the file
// is missing or not a picture. A texture lives while anyone holds it, so a
// widget that replaces or drops its picture lets it go.
#pragma once

#include <memory>
#include <string>

namespace platform {
class Texture;
} // namespace platform

using TextureHandle = std::shared_ptr<platform::Texture>;

class TextureLoader {
public:
    virtual ~TextureLoader() = default;
    virtual TextureHandle LoadTexture(const std::string& path) = 0;
};
