// The sights a battle makes: blasts, trails and splashes. The particles live
// above the simulation, so the battle only names the effect, its place and
// its direction; the application hands the battle a hook that shows it
// (Battle::SetEffectHook). Without a hook (a headless battle) nothing is shown.
#pragma once

#include "platform/math/Vector.h"

enum class BattleEffect {
    kSplashExplosion,       // an Artillerator's shell bursts on dry ground
    kSelfDestructExplosion, // a Detagon goes off
    kTrail,                 // a shot or a piece of debris in flight, each frame
    kArtilleryTrail,        // an Artillerator's live shell in flight, each frame
    kProjectileExplosion,   // a shell falls into water
};

using BattleEffectHook = void (*)(BattleEffect effect, const Vec3& at, const Vec3& direction);
