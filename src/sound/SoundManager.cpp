// SoundManager: loading, world-sound attenuation and throttling, the
// once-a-frame flush and the heartbeat timer.
//
// Every sound file is read with the size limit of a sound effect and parsed by
// our own WAV parser before the output sees it; the output gets only the
// decoded samples. A sound that cannot be loaded is said in "Sound.txt" with
// its reason and plays nothing; everything else plays as usual.
#include "sound/SoundManager.h"

#include "core/ErrorLog.h"
#include "core/Stopwatch.h"
#include "platform/AudioNullBackend.h"
#include "platform/FileSystem.h"
#include "sound/WavFile.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kLogName = "Sound.txt";

constexpr int kOutputRate = 44100;
// Every effect is short and a world effect starts at most every 0.08 s, so 32
// sounds mixed at once are enough even in the largest battles.
constexpr int kMixingChannels = 32;
constexpr double kHeartbeatInterval = 1.0;
// The height difference counts at a fifth of its square, so a sound on a
// cliff above the camera's ground point is not muffled as if it were far away.
constexpr float kHeightWeight = 0.2f;

void LogRefusedSound(const std::string& reason)
{
    ErrorLog(kLogName, true).Warning("Could not load sound " + reason + ".");
}

} // namespace

SoundManager::SoundManager()
{
    UseBackend(platform::CreateAudioBackend());
}

SoundManager::~SoundManager()
{
    ForgetEverything();
}

void SoundManager::UseBackend(std::unique_ptr<platform::AudioBackend> backend)
{
    ForgetEverything();
    backend_ = std::move(backend);
    enabled_ = backend_ && backend_->Init(kOutputRate, kMixingChannels);
    if (!enabled_) {
        // No device: the game goes on silently, and nothing touches the
        // failed output again.
        backend_ = std::make_unique<platform::AudioNullBackend>();
        ReportSoundOff();
    }
}

void SoundManager::ReportSoundOff()
{
    // Once a run: the player needs to hear it once, not per output tried.
    if (toldSoundOff_) {
        return;
    }
    toldSoundOff_ = true;
    ErrorLog(kLogName, true).Note("No audio device could be opened; sound is off.");
    platform::WriteToStandardError("Kostrivane: no audio device could be opened; sound is off\n");
}

void SoundManager::ForgetEverything()
{
    StopHeartbeat();
    queued_.clear();
    throttle_.clear();
    effects_.clear();
    if (backend_) {
        backend_->StopAll();
        for (const LoadedSample& loaded : samples_) {
            backend_->FreeSample(loaded.sample);
        }
    }
    samples_.clear();
}

std::string SoundManager::FullSampleName(std::string_view name)
{
    return "SOUNDS\\" + std::string(name);
}

void SoundManager::LoadEffects()
{
    if (!enabled_) {
        return;
    }
    effects_.assign(kSoundEffectCount, 0);
    for (int effect = 0; effect < kSoundEffectCount; ++effect) {
        effects_[effect] = LoadSoundEffect(kSoundEffectFiles[effect]);
    }
    std::int64_t loaded = 0;
    TimerStart(loaded);
    throttle_.assign(kSoundEffectCount, loaded);
}

int SoundManager::LoadSoundEffect(const std::string& name)
{
    if (!enabled_) {
        return 0;
    }
    const std::string fullName = FullSampleName(name);
    const auto known = std::find_if(samples_.begin(), samples_.end(),
                                    [&fullName](const LoadedSample& loaded) { return loaded.name == fullName; });
    if (known != samples_.end()) {
        return static_cast<int>(known - samples_.begin());
    }
    // A failed load keeps its place, so the indices after it stay right.
    samples_.push_back({fullName, LoadSampleFile(fullName)});
    return static_cast<int>(samples_.size()) - 1;
}

platform::AudioSampleId SoundManager::LoadSampleFile(const std::string& fullName)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!platform::ReadDataFile(fullName, WavFile::kMaxFileBytes, bytes, &error)) {
        LogRefusedSound(error);
        return platform::kNoSample;
    }
    const std::string path = platform::ResolveDataPath(fullName);
    WavFile wav;
    if (!WavFile::Parse(bytes, wav, error)) {
        LogRefusedSound(path + ": " + error);
        return platform::kNoSample;
    }
    const platform::AudioSampleId sample = backend_->LoadSample({wav.sampleRate, wav.channels, wav.samples});
    if (sample == platform::kNoSample) {
        LogRefusedSound(path + ": the sound output could not take it");
    }
    return sample;
}

bool SoundManager::IsLoadedIndex(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < samples_.size();
}

platform::AudioPlayResult SoundManager::PlayAtVolume(int index, int volume)
{
    if (!enabled_ || !IsLoadedIndex(index) || samples_[index].sample == platform::kNoSample) {
        return {platform::kNoChannel, platform::AudioPlayStatus::NoSample};
    }
    return backend_->Play(samples_[index].sample, volume);
}

platform::AudioChannel SoundManager::PlaySoundEffect(int index)
{
    return PlayAtVolume(index, platform::kAudioFullVolume).channel;
}

float SoundManager::VolumeAtDistance(float d)
{
    if (d <= 0.0f) {
        return 1.0f;
    }
    const float remaining = 1.0f - d / kCutOffDistance;
    return remaining * remaining * remaining;
}

int SoundManager::ChannelVolume(float gain)
{
    return std::clamp(static_cast<int>(gain * 255.0f), 0, platform::kAudioFullVolume);
}

void SoundManager::PlayPositionalSound(int effect, float x, float y, float z)
{
    if (!enabled_ || !IsLoadedIndex(effect) || static_cast<std::size_t>(effect) >= throttle_.size()) {
        return;
    }
    if (TimerElapsed(throttle_[effect]) < kThrottleSeconds) {
        return;
    }
    // The first request of a frame sets the effect's volume.
    if (queued_.contains(effect)) {
        return;
    }
    Vec3 listener;
    if (!listener_ || !listener_(listener)) {
        return;
    }
    const float dx = x - listener.x;
    const float dy = y - listener.y;
    const float dz = z - listener.z;
    const float d = std::sqrt(dx * dx + dz * dz + kHeightWeight * dy * dy);
    // A failed pick can leave the listener non-finite; such a sound is dropped
    // rather than played at a meaningless volume.
    if (!std::isfinite(d) || d > kCutOffDistance) {
        return;
    }
    queued_.emplace(effect, VolumeAtDistance(d));
    TimerStart(throttle_[effect]);
}

void SoundManager::Update()
{
    if (!enabled_) {
        return;
    }
    for (const auto& [effect, gain] : queued_) {
        // A missing sample only loses its own sound; once every channel is
        // busy, the rest of this frame's sounds would fail the same way.
        const platform::AudioPlayResult result = PlayAtVolume(effect, ChannelVolume(gain));
        if (result.status == platform::AudioPlayStatus::NoFreeChannel) {
            break;
        }
    }
    queued_.clear();
}

void SoundManager::SetHeartbeat(bool on)
{
    if (!enabled_) {
        return;
    }
    // The timer itself says whether the heart beats: a Restart or a clearing
    // of the timers between matches takes it away without telling anyone.
    const bool beating = heartbeatTimer_ != kNoTimer && EventTimer::Instance()->HasTimer(heartbeatTimer_);
    if (on == beating) {
        return;
    }
    if (on) {
        heartbeatTimer_ = EventTimer::Instance()->AddTimer(kHeartbeatInterval, true, PlayHeartbeat, 0, 0);
        return;
    }
    StopHeartbeat();
}

void SoundManager::StopHeartbeat()
{
    // Ids are never reused, so removing one whose timer already went is
    // harmless.
    if (heartbeatTimer_ != kNoTimer) {
        EventTimer::Instance()->RemoveTimer(heartbeatTimer_);
    }
    heartbeatTimer_ = kNoTimer;
}

void SoundManager::PlayHeartbeat(TimerWord, TimerWord)
{
    SoundManager* const manager = Instance();
    if (manager->effects_.size() > kSoundHeartbeat) {
        manager->PlaySoundEffect(manager->effects_[kSoundHeartbeat]);
    }
}

void SoundManager::FreeEffects()
{
    // Called when a match starts or the game returns to the menus, around the
    // clearing of every timer: the heartbeat must be switched on afresh by the
    // next match, so it stops here, whichever comes first.
    StopHeartbeat();
}

void SoundManager::StopAll()
{
    if (enabled_) {
        backend_->StopAll();
    }
}

void SoundManager::SetListenerProvider(ListenerProvider provider)
{
    listener_ = std::move(provider);
}
