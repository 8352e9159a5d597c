// The sounds a battle makes. The sound manager lives above the simulation, so
// the battle only names the sound and its place; the application hands the
// battle a hook that plays it (Battle::SetSoundHook).
#pragma once

enum class BattleSound {
    kShot,          // a ranged unit fires
    kPlop,          // a shell falls into water
    kSwoosh,        // a Smashtor leaps
    kHit,           // a unit strikes another
    kProjectileHit, // a projectile strikes a unit
    kWhir,          // a Detagon's fuse
    kFallApart,     // a unit is destroyed
};

using BattleSoundHook = void (*)(BattleSound sound, float x, float y, float z);
