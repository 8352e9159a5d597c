// "Maps/gndShdr11.ps": the ground's pixel shader, our own GLSL, written from
// the one copy of its source the game also knows (render/GroundShaderSource.h).
#include "DataGenerator.h"

#include "render/GroundShaderSource.h"

#include <cstring>

namespace datagen {

bool GenerateGroundShader(const std::filesystem::path& root)
{
    const auto* text = reinterpret_cast<const std::uint8_t*>(kGroundShaderSource);
    return WriteDataFile(root, kGroundShaderPath,
                         std::span<const std::uint8_t>(text, std::strlen(kGroundShaderSource)));
}

} // namespace datagen
