// The data generator writes the whole data tree the game reads (Maps/,
// Actors/, Interface/, Sounds/) from code, deterministically: the same build
// always writes the same bytes. Each generator reuses the game's own writers
// and validators so that what is written is what the game accepts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace datagen {

// Writes bytes to root/relativePath, creating folders; an unchanged file is
// left alone so its time stamp keeps meaning something. False on failure,
// with a message on stderr.
bool WriteDataFile(const std::filesystem::path& root, const std::string& relativePath,
                   std::span<const std::uint8_t> bytes);

// Each generator writes its files under root and returns false on failure.
bool GenerateSplashLogo(const std::filesystem::path& root);
bool GenerateSounds(const std::filesystem::path& root);
bool GeneratePhysicalData(const std::filesystem::path& root);
bool GenerateMaps(const std::filesystem::path& root);
bool GenerateBlobShadow(const std::filesystem::path& root);
bool GenerateGroundShader(const std::filesystem::path& root);
bool GenerateUnitMeshes(const std::filesystem::path& root);
bool GenerateObjectMeshes(const std::filesystem::path& root);
bool GenerateObjectTextures(const std::filesystem::path& root);
bool GenerateLifeTextures(const std::filesystem::path& root);
bool GenerateCursors(const std::filesystem::path& root);
bool GenerateWidgetFaces(const std::filesystem::path& root);
bool GenerateMenuLettering(const std::filesystem::path& root);
bool GenerateMenuArt(const std::filesystem::path& root);
bool GenerateHudBorder(const std::filesystem::path& root);
// Reads the map files back, so it runs after GenerateMaps.
bool GenerateMapPreviews(const std::filesystem::path& root);
bool GenerateUnitPortraits(const std::filesystem::path& root);
bool GenerateParticleTextures(const std::filesystem::path& root);
bool GenerateNebula(const std::filesystem::path& root);

} // namespace datagen
