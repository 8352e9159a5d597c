#include "sound/SoundManager.h"

#include "RecordingAudioBackend.h"
#include "TestSupport.h"
#include "core/EventTimer.h"
#include "platform/AudioNullBackend.h"

#include <doctest/doctest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace {

constexpr double kFrame = 1.0 / 64.0; // exact in binary, so frame sums are exact

const char* const kResolved[kSoundEffectCount] = {
    "Sounds/Interface/click.wav", "Sounds/SFX/explosion.wav", "Sounds/SFX/shot.wav",    "Sounds/SFX/plop.wav",
    "Sounds/SFX/swoosh.wav",      "Sounds/SFX/hit.wav",       "Sounds/SFX/projhit.wav", "Sounds/SFX/whir.wav",
    "Sounds/SFX/fallapart.wav",   "Sounds/SFX/heartbeat.wav",
};

// A sound manager on a recording backend, a manual clock, a fresh timer and a
// fixed listening point. Every subcase starts from scratch: UseBackend drops
// whatever the previous run left in the single manager.
struct Fixture {
    Fixture()
    {
        platform::SetAudioBackendFactory([] { return std::make_unique<platform::AudioNullBackend>(); });
        EventTimer::Instance()->Restart();
        manager = SoundManager::Instance();
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

    // Requests one effect at an offset from the listener, flushes the frame
    // and returns the volume it started at, or -1 when it did not start.
    int VolumeAt(SoundEffect effect, float dx, float dy, float dz)
    {
        const std::size_t before = record->plays.size();
        manager->PlayPositionalSound(effect, listener.x + dx, listener.y + dy, listener.z + dz);
        manager->Update();
        clock.Advance(0.1);
        return record->plays.size() == before ? -1 : record->plays.back().volume;
    }

    int Beats() const
    {
        int beats = 0;
        for (const AudioRecord::Play& play : record->plays) {
            beats += play.path == kResolved[kSoundHeartbeat] ? 1 : 0;
        }
        return beats;
    }

    testing::ManualClockScope clock;
    testing::TempDirectory directory;
    std::shared_ptr<AudioRecord> record = std::make_shared<AudioRecord>();
    SoundManager* manager = nullptr;
    Vec3 listener{10.0f, 5.0f, -20.0f};
    bool listenerFound = true;
};

} // namespace

TEST_CASE("the ten effects load in order from their resolved paths")
{
    Fixture f;

    SUBCASE("each effect's index is its id")
    {
        f.manager->LoadEffects();
        REQUIRE(f.record->loads.size() == kSoundEffectCount);
        for (int effect = 0; effect < kSoundEffectCount; ++effect) {
            CHECK(f.record->loads[effect] == kResolved[effect]);
        }
    }

    SUBCASE("a name already loaded keeps its index and is not read again")
    {
        f.manager->LoadEffects();
        CHECK(f.manager->LoadSoundEffect("../Sounds/SFX/shot.wav") == kSoundShot);
        CHECK(f.record->loads.size() == kSoundEffectCount);
        CHECK(f.manager->LoadSoundEffect("../Sounds/SFX/other.wav") == kSoundEffectCount);
        CHECK(f.manager->LoadSoundEffect("../Sounds/SFX/other.wav") == kSoundEffectCount);
        CHECK(f.record->loads.size() == kSoundEffectCount + 1);
    }

    SUBCASE("a failed load keeps its index and plays nothing")
    {
        f.record->failingLoads = {kResolved[kSoundShot]};
        f.manager->LoadEffects();
        CHECK(f.manager->LoadSoundEffect("../Sounds/SFX/plop.wav") == kSoundPlop);
        CHECK(f.manager->PlaySoundEffect(kSoundShot) == platform::kNoChannel);
        CHECK(f.manager->PlaySoundEffect(kSoundPlop) != platform::kNoChannel);
    }

    SUBCASE("files are found whatever the case of their letters")
    {
        std::filesystem::create_directories("sounds/sfx");
        std::ofstream("sounds/sfx/EXPLOSION.wav") << "x";
        f.manager->LoadEffects();
        CHECK(f.record->loads[kSoundExplosion] == "sounds/sfx/EXPLOSION.wav");
    }
}

TEST_CASE("world sounds are attenuated by their distance from the listener")
{
    Fixture f;
    f.Load();

    SUBCASE("reference distances")
    {
        CHECK(f.VolumeAt(kSoundExplosion, 0.0f, 0.0f, 0.0f) == 255);
        CHECK(f.VolumeAt(kSoundExplosion, 0.0f, 100.0f, 0.0f) == 113); // height counts at a fifth: d = 44.7
        CHECK(f.VolumeAt(kSoundExplosion, 57.0f, 0.0f, 76.0f) == 31);  // d = 95
        CHECK(f.VolumeAt(kSoundExplosion, 0.0f, 0.0f, -190.0f) == 0);  // at the cut-off: starts, silent
        CHECK(f.VolumeAt(kSoundExplosion, 190.01f, 0.0f, 0.0f) == -1);
    }

    SUBCASE("a sound beyond the cut-off does not restart the throttle")
    {
        f.manager->PlayPositionalSound(kSoundShot, f.listener.x + 200.0f, f.listener.y, f.listener.z);
        f.manager->PlayPositionalSound(kSoundShot, f.listener.x, f.listener.y, f.listener.z);
        f.manager->Update();
        REQUIRE(f.record->plays.size() == 1);
        CHECK(f.record->plays[0].volume == 255);
    }

    SUBCASE("without a listening point world sounds are dropped")
    {
        f.listenerFound = false;
        CHECK(f.VolumeAt(kSoundHit, 0.0f, 0.0f, 0.0f) == -1);
        f.manager->SetListenerProvider(nullptr);
        CHECK(f.VolumeAt(kSoundHit, 0.0f, 0.0f, 0.0f) == -1);
    }

    SUBCASE("non-finite positions are dropped without restarting the throttle")
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        f.listener = {nan, 0.0f, 0.0f};
        f.manager->PlayPositionalSound(kSoundHit, 0.0f, 0.0f, 0.0f);
        f.listener = {0.0f, 0.0f, 0.0f};
        f.manager->PlayPositionalSound(kSoundHit, inf, 0.0f, 0.0f);
        f.manager->PlayPositionalSound(kSoundHit, 0.0f, nan, 0.0f);
        f.manager->PlayPositionalSound(kSoundHit, 3.0f, 0.0f, 4.0f);
        f.manager->Update();
        REQUIRE(f.record->plays.size() == 1);
        CHECK(f.record->plays[0].volume == SoundManager::ChannelVolume(SoundManager::VolumeAtDistance(5.0f)));
    }
}

TEST_CASE("the throttle and the queue allow one start per effect per frame")
{
    Fixture f;
    f.Load();

    SUBCASE("the same effect 0.05 s later is dropped but another effect is not")
    {
        f.manager->PlayPositionalSound(kSoundShot, f.listener.x, f.listener.y, f.listener.z);
        f.manager->Update();
        f.clock.Advance(0.05);
        f.manager->PlayPositionalSound(kSoundShot, f.listener.x, f.listener.y, f.listener.z);
        f.manager->PlayPositionalSound(kSoundHit, f.listener.x, f.listener.y, f.listener.z);
        f.manager->Update();
        REQUIRE(f.record->plays.size() == 2);
        CHECK(f.record->plays[1].path == kResolved[kSoundHit]);
        f.clock.Advance(0.03); // 0.08 s since the accepted shot: allowed again
        f.manager->PlayPositionalSound(kSoundShot, f.listener.x, f.listener.y, f.listener.z);
        f.manager->Update();
        REQUIRE(f.record->plays.size() == 3);
        CHECK(f.record->plays[2].path == kResolved[kSoundShot]);
    }

    SUBCASE("the first request of a frame sets the volume")
    {
        f.manager->PlayPositionalSound(kSoundSwoosh, f.listener.x + 95.0f, f.listener.y, f.listener.z);
        f.manager->PlayPositionalSound(kSoundSwoosh, f.listener.x, f.listener.y, f.listener.z);
        f.manager->Update();
        REQUIRE(f.record->plays.size() == 1);
        CHECK(f.record->plays[0].volume == 31);
    }

    SUBCASE("the queue is emptied by the flush")
    {
        f.manager->PlayPositionalSound(kSoundPlop, f.listener.x, f.listener.y, f.listener.z);
        f.manager->Update();
        f.manager->Update();
        CHECK(f.record->plays.size() == 1);
    }

    SUBCASE("requests before the effects are loaded or outside the list are ignored")
    {
        f.manager->PlayPositionalSound(-1, 0.0f, 0.0f, 0.0f);
        f.manager->PlayPositionalSound(kSoundEffectCount, 0.0f, 0.0f, 0.0f);
        f.manager->LoadSoundEffect("../Sounds/SFX/extra.wav"); // index 10 has no throttle
        f.manager->PlayPositionalSound(kSoundEffectCount, 0.0f, 0.0f, 0.0f);
        f.manager->Update();
        CHECK(f.manager->PlaySoundEffect(-1) == platform::kNoChannel);
        CHECK(f.manager->PlaySoundEffect(1000) == platform::kNoChannel);
        CHECK(f.record->playAttempts == 0);
    }
}

TEST_CASE("a frame's world sounds start in ascending effect order")
{
    Fixture f;

    const auto queueFour = [&f] {
        for (const SoundEffect effect : {kSoundFallApart, kSoundExplosion, kSoundHit, kSoundPlop}) {
            f.manager->PlayPositionalSound(effect, f.listener.x, f.listener.y, f.listener.z);
        }
        f.manager->Update();
    };
    const auto playedPaths = [&f] {
        std::vector<std::string> paths;
        for (const AudioRecord::Play& play : f.record->plays) {
            paths.push_back(play.path);
        }
        return paths;
    };

    SUBCASE("in order")
    {
        f.Load();
        queueFour();
        CHECK(playedPaths() == std::vector<std::string>{kResolved[kSoundExplosion], kResolved[kSoundPlop],
                                                        kResolved[kSoundHit], kResolved[kSoundFallApart]});
    }

    SUBCASE("a missing sample does not silence the others")
    {
        f.record->failingLoads = {kResolved[kSoundPlop]};
        f.Load();
        queueFour();
        CHECK(playedPaths() ==
              std::vector<std::string>{kResolved[kSoundExplosion], kResolved[kSoundHit], kResolved[kSoundFallApart]});
    }

    SUBCASE("once no channel is free the rest of the frame is not tried")
    {
        f.record->freeChannels = 2;
        f.Load();
        queueFour();
        CHECK(playedPaths() == std::vector<std::string>{kResolved[kSoundExplosion], kResolved[kSoundPlop]});
        CHECK(f.record->playAttempts == 3);
    }
}

TEST_CASE("interface sounds play at once at full volume on a nonzero channel")
{
    Fixture f;
    f.Load();
    const platform::AudioChannel channel = f.manager->PlaySoundEffect(kSoundClick);
    CHECK(channel == 1);
    REQUIRE(f.record->plays.size() == 1);
    CHECK(f.record->plays[0].volume == 255);
    CHECK(f.record->plays[0].path == kResolved[kSoundClick]);
}

TEST_CASE("a manager without a device is silent and calls nothing after the failed open")
{
    Fixture f;
    f.record->initSucceeds = false;
    f.manager->UseBackend(std::make_unique<RecordingAudioBackend>(f.record));
    f.record->calls.clear();
    CHECK_FALSE(f.manager->IsEnabled());

    f.manager->LoadEffects();
    f.clock.Advance(1.0);
    CHECK(f.manager->LoadSoundEffect("../Sounds/SFX/hit.wav") == 0);
    CHECK(f.manager->PlaySoundEffect(0) == platform::kNoChannel);
    f.manager->PlayPositionalSound(kSoundHit, f.listener.x, f.listener.y, f.listener.z);
    f.manager->Update();
    f.manager->SetHeartbeat(true);
    f.manager->StopAll();
    f.manager->FreeEffects();

    CHECK(f.record->calls.empty());
    CHECK(EventTimer::Instance()->TimerCount() == 0);
}

TEST_CASE("the heartbeat beats once a second in the last ten seconds of each match")
{
    Fixture f;
    f.Load();
    EventTimer* timer = EventTimer::Instance();

    // One match frame: the clock shows the phase time left; the heartbeat is
    // asked for every frame of the last ten seconds and switched off every
    // frame once time has run out.
    const auto playMatch = [&](double seconds) {
        double left = seconds;
        for (int frame = 0; frame < static_cast<int>((seconds + 3.0) / kFrame); ++frame) {
            f.clock.Advance(kFrame);
            timer->Update();
            left -= kFrame;
            if (left > 0.0 && left <= 10.0) {
                f.manager->SetHeartbeat(true);
                CHECK(timer->TimerCount() == 1);
            } else if (left <= 0.0) {
                f.manager->SetHeartbeat(false);
            }
            f.manager->Update();
        }
    };
    // What a match start does: every timer goes, and the sound state with it.
    const auto startMatch = [&] {
        timer->ClearTimers();
        f.manager->FreeEffects();
    };

    SUBCASE("two matches in a row")
    {
        startMatch();
        playMatch(15.0);
        // A period ends at the first frame after a full second has passed,
        // so at 64 frames a second it is 65 frames long: 9 beats in 10 s.
        CHECK(f.Beats() == 9);
        CHECK(timer->TimerCount() == 0);

        startMatch();
        playMatch(12.0);
        CHECK(f.Beats() == 18);
        for (const AudioRecord::Play& play : f.record->plays) {
            CHECK(play.volume == 255);
        }
    }

    SUBCASE("a match left while the heart beats")
    {
        startMatch();
        for (int frame = 0; frame < 200; ++frame) {
            f.clock.Advance(kFrame);
            timer->Update();
            f.manager->SetHeartbeat(true);
        }
        CHECK(f.Beats() == 3);
        // The next match starts with the timers cleared before the sound
        // state is dropped, or the other way round.
        timer->Restart();
        f.manager->FreeEffects();
        playMatch(10.0);
        CHECK(f.Beats() == 3 + 9);

        f.manager->SetHeartbeat(true);
        f.manager->FreeEffects();
        CHECK(timer->TimerCount() == 0);
    }
}

TEST_CASE("switching the heartbeat off never removes another timer")
{
    Fixture f;
    f.Load();
    EventTimer* timer = EventTimer::Instance();

    f.manager->SetHeartbeat(true);
    timer->Restart(); // the return to the menus drops every timer
    const std::uint32_t fade = timer->AddTimer(
        0.5, true, [](TimerWord, TimerWord) {}, 0, 0);
    for (int frame = 0; frame < 10; ++frame) {
        f.manager->SetHeartbeat(false); // the statistics screen asks every frame
    }
    REQUIRE(timer->TimerCount() == 1);
    timer->RemoveTimer(fade);
    CHECK(timer->TimerCount() == 0);
}
