// kvdatagen <data directory>: writes every data file the game reads.
#include "DataGenerator.h"

#include <cstdio>

namespace {

struct Generator {
    const char* what;
    bool (*run)(const std::filesystem::path& root);
};

const Generator kGenerators[] = {
    {"splash logo", datagen::GenerateSplashLogo},
    {"sound effects", datagen::GenerateSounds},
    {"physical data", datagen::GeneratePhysicalData},
    {"maps", datagen::GenerateMaps},
    {"blob shadow", datagen::GenerateBlobShadow},
    {"ground shader", datagen::GenerateGroundShader},
    {"unit meshes", datagen::GenerateUnitMeshes},
    {"object meshes", datagen::GenerateObjectMeshes},
    {"object textures", datagen::GenerateObjectTextures},
    {"life textures", datagen::GenerateLifeTextures},
    {"cursors", datagen::GenerateCursors},
    {"widget faces", datagen::GenerateWidgetFaces},
    {"menu lettering", datagen::GenerateMenuLettering},
    {"menu art", datagen::GenerateMenuArt},
    {"HUD border", datagen::GenerateHudBorder},
    {"map previews", datagen::GenerateMapPreviews},
    {"unit portraits", datagen::GenerateUnitPortraits},
    {"particle textures", datagen::GenerateParticleTextures},
    {"nebula", datagen::GenerateNebula},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvdatagen <data directory>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const Generator& generator : kGenerators) {
        if (!generator.run(root)) {
            std::fprintf(stderr, "kvdatagen: generating the %s failed\n", generator.what);
            return 1;
        }
    }
    return 0;
}
