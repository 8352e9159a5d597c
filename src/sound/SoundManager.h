// The game's sound effects. The ten effects are loaded once at start-up and
// kept for the whole run. Sounds that happen in the world are requested during
// the frame with their position, attenuated by their distance from the
// listening point on the ground, thinned out by a per-effect throttle, and all
// started together by Update once per frame; interface clicks play at once. A
// repeating timer beats the heartbeat during the last seconds of a match.
// Everything runs on the main thread. Sound never interrupts the game: when no
// output opens the manager says so once ("Sound.txt" and standard error),
// stays disabled and every call does nothing.
#pragma once

#include "core/EventTimer.h"
#include "core/Singleton.h"
#include "platform/AudioBackend.h"
#include "platform/math/Vector.h"
#include "sound/SoundEffect.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SoundManager : public Singleton<SoundManager> {
    friend class Singleton<SoundManager>;

public:
    // Writes the point the player hears from; false when there is none (the
    // ground pick missed), and then world sounds are not played.
    using ListenerProvider = std::function<bool(Vec3& listener)>;

    // World sounds farther than this from the listener are not played.
    static constexpr float kCutOffDistance = 190.0f;
    // A world sound may start at most this often per effect.
    static constexpr float kThrottleSeconds = 0.08f;

    // Loads the ten effects in their order, so each effect's index is its id.
    void LoadEffects();
    // Index of the sample loaded from "SOUNDS\" + name, a 16-bit PCM WAV file.
    // A name already loaded keeps its index; a failed load (missing, not a
    // regular file, too large, not a whole WAV) is logged in "Sound.txt" and
    // still takes an index, which then plays nothing. 0 while disabled.
    int LoadSoundEffect(const std::string& name);

    // Starts a sample at once at full volume, unpositioned. Returns the
    // channel, or 0 when nothing started.
    platform::AudioChannel PlaySoundEffect(int index);
    // Requests a world sound at (x, y, z) for this frame's Update.
    void PlayPositionalSound(int effect, float x, float y, float z);
    // Starts this frame's world sounds, in ascending effect order.
    void Update();

    // On: beat the heartbeat once a second from now on (calling it again while
    // beating changes nothing, and starts it again when its timer was
    // cleared). Off: stop beating.
    void SetHeartbeat(bool on);
    // Forgets the per-match sound state when a match starts or the game goes
    // back to the menus. The samples stay loaded: every match uses them.
    void FreeEffects();
    void StopAll();

    // The listening point comes from the camera's view of the ground; until a
    // provider is set no world sound plays.
    void SetListenerProvider(ListenerProvider provider);
    // Replaces the sound output and forgets everything loaded and queued, then
    // opens the new output (falling back to silence when it does not open).
    void UseBackend(std::unique_ptr<platform::AudioBackend> backend);

    bool IsEnabled() const { return enabled_; }

    // The name a sample is loaded (and de-duplicated) by.
    static std::string FullSampleName(std::string_view name);
    // Gain 0 to 1 of a world sound at distance d (not beyond the cut-off).
    static float VolumeAtDistance(float d);
    // The channel volume 0 to 255 for a gain 0 to 1.
    static int ChannelVolume(float gain);

private:
    SoundManager();
    ~SoundManager();

    struct LoadedSample {
        std::string name;
        platform::AudioSampleId sample = platform::kNoSample;
    };

    platform::AudioSampleId LoadSampleFile(const std::string& fullName);
    platform::AudioPlayResult PlayAtVolume(int index, int volume);
    bool IsLoadedIndex(int index) const;
    void ForgetEverything();
    void ReportSoundOff();
    void StopHeartbeat();
    static void PlayHeartbeat(TimerWord, TimerWord);

    std::unique_ptr<platform::AudioBackend> backend_;
    bool enabled_ = false;
    bool toldSoundOff_ = false;
    ListenerProvider listener_;

    std::vector<LoadedSample> samples_;
    std::vector<int> effects_;           // index of each SoundEffect's sample
    std::vector<std::int64_t> throttle_; // stopwatch per effect
    std::map<int, float> queued_;        // effect -> gain, at most one per effect

    std::uint32_t heartbeatTimer_ = kNoTimer; // the beat's timer; kNoTimer once switched off
};
