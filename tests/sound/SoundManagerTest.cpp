#include "sound/SoundManager.h"

#include "RecordingAudioBackend.h"
#include "TestSupport.h"
#include "core/EventTimer.h"
#include "platform/AudioNullBackend.h"
#include "sound/WavFile.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <numeric>

namespace {

constexpr double kFrame = 1.0 / 64.0; // exact in binary, so frame sums are exact

using Bytes = std::vector<std::uint8_t>;

const char* const kResolved[kSoundEffectCount] = {
    "Sounds/Interface/click.wav", "Sounds/SFX/explosion.wav", "Sounds/SFX/shot.wav",    "Sounds/SFX/plop.wav",
    "Sounds/SFX/swoosh.wav",      "Sounds/SFX/hit.wav",       "Sounds/SFX/projhit.wav", "Sounds/SFX/whir.wav",
    "Sounds/SFX/fallapart.wav",   "Sounds/SFX/heartbeat.wav",
};

// A short sound whose first sample is its effect's number, which is how the
// recording backend tells the sounds apart.
Bytes TaggedSound(int effect)
{
    return WavFile{44100, 1, {static_cast<std::int16_t>(effect), 0}}.Encode();
}

std::vector<int> AllEffectsBut(std::initializer_list<int> missing)
{
    std::vector<int> effects(kSoundEffectCount);
    std::iota(effects.begin(), effects.end(), 0);
    std::erase_if(effects, [&](int effect) { return std::ranges::find(missing, effect) != missing.end(); });
    return effects;
}

// A sound manager on a recording backend, a manual clock, fresh timers, a
// fixed listening point and the ten effects' files in a fresh working
// directory. UseBackend drops whatever an earlier run left.
struct Fixture {
    Fixture()
    {
        for (int effect = 0; effect < kSoundEffectCount; ++effect) {
            testing::WriteBinaryFile(kResolved[effect], TaggedSound(effect));
        }
        platform::SetAudioBackendFactory([] { return std::make_unique<platform::AudioNullBackend>(); });
        EventTimer::Instance()->Restart();
        manager->UseBackend(std::make_unique<RecordingAudioBackend>(record));
        manager->SetListenerProvider([this](Vec3& out) {
            out = listener;
            return listenerFound;
        });
    }

    // Loads the effects and lets their throttles run out.
    void Load()
    {
        manager->LoadEffects();
        clock.Advance(0.1);
    }

    void Request(int effect, float dx = 0.0f, float dy = 0.0f, float dz = 0.0f)
    {
        manager->PlayPositionalSound(effect, listener.x + dx, listener.y + dy, listener.z + dz);
    }

    // Requests one effect, flushes the frame and returns the volume it
    // started at, or -1 when it did not start.
    int VolumeAt(SoundEffect effect, float dx, float dy, float dz)
    {
        const std::size_t before = record->played.size();
        Request(effect, dx, dy, dz);
        manager->Update();
        clock.Advance(0.1);
        return record->played.size() == before ? -1 : record->volumes.back();
    }

    long Beats() const { return std::ranges::count(record->played, kSoundHeartbeat); }

    testing::ManualClockScope clock;
    testing::TempDirectory directory;
    std::shared_ptr<AudioRecord> record = std::make_shared<AudioRecord>();
    SoundManager* manager = SoundManager::Instance();
    Vec3 listener{10.0f, 5.0f, -20.0f};
    bool listenerFound = true;
};

} // namespace

TEST_CASE_FIXTURE(Fixture, "the effects load once each from their resolved paths, and only when a device opened")
{
    SUBCASE("with a device the ten keep their index and an interface sound starts at full volume")
    {
        testing::WriteBinaryFile("Sounds/SFX/other.wav", TaggedSound(kSoundEffectCount));
        manager->LoadEffects();
        CHECK(record->loads == AllEffectsBut({}));
        CHECK(manager->LoadSoundEffect("../Sounds/SFX/plop.wav") == kSoundPlop);
        CHECK(manager->LoadSoundEffect("../Sounds/SFX/other.wav") == kSoundEffectCount);
        CHECK(manager->LoadSoundEffect("../Sounds/SFX/other.wav") == kSoundEffectCount);
        CHECK(record->loads.size() == kSoundEffectCount + 1);

        // Interface sounds start at once at full volume.
        CHECK(manager->PlaySoundEffect(kSoundClick) == 1);
        CHECK(record->volumes == std::vector<int>{255});
    }
    SUBCASE("without a device the manager is silent and calls nothing after the failed open")
    {
        record->initSucceeds = false;
        manager->UseBackend(std::make_unique<RecordingAudioBackend>(record));
        record->calls = 0;
        CHECK_FALSE(manager->IsEnabled());

        manager->LoadEffects();
        clock.Advance(1.0);
        CHECK(manager->LoadSoundEffect("../Sounds/SFX/hit.wav") == 0);
        CHECK(manager->PlaySoundEffect(0) == platform::kNoChannel);
        Request(kSoundHit);
        manager->Update();
        manager->SetHeartbeat(true);
        manager->StopAll();
        manager->FreeEffects();
        CHECK(record->calls == 0);
        CHECK(EventTimer::Instance()->TimerCount() == 0);

        // Said once a run, however many outputs fail to open.
        manager->UseBackend(std::make_unique<platform::AudioNullBackend>());
        const std::string log = testing::ReadTextFile("Sound.txt");
        CHECK(log.find("Note: No audio device could be opened; sound is off.") != std::string::npos);
        CHECK(log.find("sound is off") == log.rfind("sound is off"));
    }
}

TEST_CASE_FIXTURE(Fixture, "a sound file that is not a whole WAV never reaches the output and is named in the log")
{
    // Each puts something else in place of one effect's file, as a damaged
    // or hostile data directory might.
    const struct {
        SoundEffect effect;
        void (*replace)(const char* path);
        const char* reason;
    } kReplaced[] = {
        {kSoundShot, [](const char* path) { testing::MakePipe(path); }, "not a regular file"},
        {kSoundHit, [](const char* path) { testing::MakeSparseFile(path, 200 * 1024 * 1024); },
         "209715200 bytes, more than the 4194304 a file of its kind may have"},
        {kSoundSwoosh,
         [](const char* path) {
             const Bytes whole = WavFile{44100, 1, std::vector<std::int16_t>(1000)}.Encode();
             testing::WriteBinaryFile(path, Bytes(whole.begin(), whole.begin() + 1000)); // cut short
         },
         "data chunk runs past the end"},
        {kSoundFallApart, [](const char*) {}, "No such file or directory"},
    };
    for (const auto& replaced : kReplaced) {
        std::filesystem::remove(kResolved[replaced.effect]);
        replaced.replace(kResolved[replaced.effect]);
    }
    manager->LoadEffects();
    CHECK(record->loads == AllEffectsBut({kSoundShot, kSoundHit, kSoundSwoosh, kSoundFallApart}));
    const std::string log = testing::ReadTextFile("Sound.txt");
    for (const auto& replaced : kReplaced) {
        CAPTURE(replaced.reason);
        CHECK(manager->PlaySoundEffect(replaced.effect) == platform::kNoChannel);
        const std::string entry =
            std::string("Warning: Could not load sound ") + kResolved[replaced.effect] + ": " + replaced.reason + ".";
        CHECK(log.find(entry) != std::string::npos);
    }
}

TEST_CASE_FIXTURE(Fixture, "world sounds are attenuated by their distance from the listener and cut off beyond it")
{
    Load();

    // Sounds beyond the cut-off or at non-finite points are dropped without
    // restarting the throttle.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    listener = {nan, 0.0f, 0.0f};
    manager->PlayPositionalSound(kSoundHit, 0.0f, 0.0f, 0.0f);
    listener = {0.0f, 0.0f, 0.0f};
    manager->PlayPositionalSound(kSoundHit, std::numeric_limits<float>::infinity(), 0.0f, 0.0f);
    manager->PlayPositionalSound(kSoundHit, 0.0f, nan, 0.0f);
    manager->PlayPositionalSound(kSoundHit, 200.0f, 0.0f, 0.0f);
    manager->PlayPositionalSound(kSoundHit, 3.0f, 0.0f, 4.0f);
    manager->Update();
    CHECK(record->volumes == std::vector<int>{SoundManager::ChannelVolume(SoundManager::VolumeAtDistance(5.0f))});
    // Reference distances, and no listening point.
    CHECK(VolumeAt(kSoundExplosion, 0.0f, 0.0f, 0.0f) == 255);
    CHECK(VolumeAt(kSoundExplosion, 0.0f, 100.0f, 0.0f) == 113); // height counts at a fifth: d = 44.7
    CHECK(VolumeAt(kSoundExplosion, 57.0f, 0.0f, 76.0f) == 31);  // d = 95
    CHECK(VolumeAt(kSoundExplosion, 0.0f, 0.0f, -190.0f) == 0);  // at the cut-off: starts, silent
    CHECK(VolumeAt(kSoundExplosion, 190.01f, 0.0f, 0.0f) == -1);
    listenerFound = false;
    CHECK(VolumeAt(kSoundHit, 0.0f, 0.0f, 0.0f) == -1);
    manager->SetListenerProvider(nullptr);
    CHECK(VolumeAt(kSoundHit, 0.0f, 0.0f, 0.0f) == -1);
}

TEST_CASE_FIXTURE(Fixture, "a frame's world sounds start once each, in effect order, throttled for 0.08 s")
{
    SUBCASE("an effect starts once a frame at its first request's volume and not again within 0.08 s")
    {
        Load();
        manager->LoadSoundEffect("../Sounds/SFX/extra.wav"); // index 10 has no throttle
        for (const int ignored : {-1, static_cast<int>(kSoundEffectCount), kSoundEffectCount + 1}) {
            Request(ignored);
        }
        Request(kSoundShot, 95.0f);
        Request(kSoundShot);
        manager->Update();
        manager->Update(); // the flush emptied the queue
        CHECK(record->volumes == std::vector<int>{31});
        CHECK(record->playAttempts == 1);
        CHECK(manager->PlaySoundEffect(-1) == platform::kNoChannel);
        CHECK(manager->PlaySoundEffect(1000) == platform::kNoChannel);

        clock.Advance(0.05);
        Request(kSoundShot);
        Request(kSoundHit);
        manager->Update();
        clock.Advance(0.03); // 0.08 s since the accepted shot: allowed again
        Request(kSoundShot);
        manager->Update();
        CHECK(record->played == std::vector<int>{kSoundShot, kSoundHit, kSoundShot});
    }
    SUBCASE("the effects of one frame start in ascending order")
    {
        std::vector<int> expected{kSoundExplosion, kSoundPlop, kSoundHit, kSoundFallApart};
        int attempts = 4;
        SUBCASE("all of them") {}
        SUBCASE("a missing sample does not silence the others")
        {
            std::filesystem::remove(kResolved[kSoundPlop]);
            expected.erase(expected.begin() + 1);
        }
        SUBCASE("once no channel is free the rest of the frame is not tried")
        {
            record->freeChannels = 2;
            expected.resize(2);
            attempts = 3;
        }
        Load();
        for (const SoundEffect effect : {kSoundFallApart, kSoundExplosion, kSoundHit, kSoundPlop}) {
            Request(effect);
        }
        manager->Update();
        CHECK(record->played == expected);
        CHECK(record->playAttempts <= attempts);
    }
}

TEST_CASE_FIXTURE(Fixture, "the heartbeat beats once a second in the last ten seconds of each match")
{
    Load();
    EventTimer* timer = EventTimer::Instance();
    const auto frame = [&] {
        clock.Advance(kFrame);
        timer->Update();
    };
    // As the match frame asks: on in the last ten seconds, off once time is up.
    const auto playMatch = [&](double seconds) {
        double left = seconds;
        for (int i = 0; i < static_cast<int>((seconds + 3.0) / kFrame); ++i) {
            frame();
            left -= kFrame;
            if (left > 0.0 && left <= 10.0) {
                manager->SetHeartbeat(true);
                CHECK(timer->TimerCount() == 1);
            } else if (left <= 0.0) {
                manager->SetHeartbeat(false);
            }
            manager->Update();
        }
    };
    // What a match start does: every timer goes, and the sound state with it.
    const auto startMatch = [&] {
        timer->ClearTimers();
        manager->FreeEffects();
    };

    startMatch();
    playMatch(15.0);
    // A period ends at the first frame after a full second has passed: 65
    // frames at 64 a second, so 9 beats in 10 s.
    CHECK(Beats() == 9);
    CHECK(timer->TimerCount() == 0);

    // The second match is left while the heart beats.
    startMatch();
    for (int i = 0; i < 200; ++i) {
        frame();
        manager->SetHeartbeat(true);
    }
    CHECK(Beats() == 9 + 3);
    // The timers are restarted before the third without a word to the sound
    // manager, which still holds the old timer's id.
    timer->Restart();
    playMatch(12.0);
    CHECK(Beats() == 9 + 3 + 9);
    CHECK(std::ranges::all_of(record->volumes, [](int volume) { return volume == 255; }));

    // Back to the menus while it beats: the timers go first, then the
    // statistics screen switches it off every frame.
    manager->SetHeartbeat(true);
    timer->Restart();
    const std::uint32_t fade = timer->AddTimer(
        0.5, true, [](TimerWord, TimerWord) {}, 0, 0);
    for (int i = 0; i < 10; ++i) {
        manager->SetHeartbeat(false);
    }
    CHECK(timer->TimerCount() == 1);
    timer->RemoveTimer(fade);
    manager->SetHeartbeat(true);
    manager->FreeEffects();
    CHECK(timer->TimerCount() == 0);
}
