// The game's ten sound effects and their files. The files are loaded first
// and in this order, so an effect's id is also its index in the sound
// manager's list of loaded samples.
#pragma once

#include <array>

enum SoundEffect : int {
    kSoundClick = 0,
    kSoundExplosion = 1,
    kSoundShot = 2,
    kSoundPlop = 3,
    kSoundSwoosh = 4,
    kSoundHit = 5,
    kSoundProjectileHit = 6,
    kSoundWhir = 7,
    kSoundFallApart = 8,
    kSoundHeartbeat = 9,
    kSoundEffectCount = 10,
};

// Each effect's file as the game names it. The loader puts "SOUNDS\" in front
// and the path lookup cancels it against the "..", so these are read from
// Sounds/Interface and Sounds/SFX under the working directory.
inline constexpr std::array<const char*, kSoundEffectCount> kSoundEffectFiles = {
    "../Sounds/Interface/click.wav", "../Sounds/SFX/explosion.wav", "../Sounds/SFX/shot.wav",
    "../Sounds/SFX/plop.wav",        "../Sounds/SFX/swoosh.wav",    "../Sounds/SFX/hit.wav",
    "../Sounds/SFX/projhit.wav",     "../Sounds/SFX/whir.wav",      "../Sounds/SFX/fallapart.wav",
    "../Sounds/SFX/heartbeat.wav",
};
