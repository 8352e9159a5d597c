// "Maps/gndShdr11.ps" and "Maps/gndFar.ps": the ground's pixel shaders, our
// own GLSL, written from the one copy of their source the game also knows
// (render/GroundShaderSource.h).
#include "DataGenerator.h"

#include "render/GroundShaderSource.h"

#include <cstring>

namespace datagen {

bool GenerateGroundShader(const std::filesystem::path& root)
{
    const auto write = [&root](const char* path, const char* source) {
        const auto* text = reinterpret_cast<const std::uint8_t*>(source);
        return WriteDataFile(root, path, std::span<const std::uint8_t>(text, std::strlen(source)));
    };
    return write(kGroundShaderPath, kGroundShaderSource) && write(kFarGroundShaderPath, kFarGroundShaderSource);
}

} // namespace datagen
