// The real SDL2_mixer output, on SDL's dummy audio driver (the environment's
// choice of driver is kept when one is set), so no sound card is needed.
#include "platform/AudioSdlMixerBackend.h"

#include "TestSupport.h"
#include "sound/SoundManager.h"
#include "sound/WavFile.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <fstream>
#include <set>

using platform::AudioPlayStatus;

TEST_CASE("the SDL2_mixer backend opens, loads and plays, and a busy output cuts nothing off")
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::TempDirectory directory;
    platform::AudioSdlMixerBackend backend;
    REQUIRE(backend.Init(44100, 32));

    const std::string data = testing::DataDirectory().string();
    const platform::AudioSampleId explosion = backend.LoadSample(data + "/SOUNDS\\../sounds/SFX/Explosion.wav");
    REQUIRE(explosion != platform::kNoSample);
    CHECK(backend.LoadSample("missing.wav") == platform::kNoSample);
    std::ofstream("garbage.wav") << "RIFF, but not really";
    CHECK(backend.LoadSample("garbage.wav") == platform::kNoSample);

    const platform::AudioPlayResult first = backend.Play(explosion, 255);
    CHECK(first.status == AudioPlayStatus::Playing);
    CHECK(first.channel == 1);
    CHECK(backend.SetVolume(first.channel, 100));
    CHECK_FALSE(backend.SetVolume(33, 100));
    CHECK(backend.Play(explosion + 100, 255).status == AudioPlayStatus::NoSample);

    // Ten seconds of silence on every channel, so nothing finishes meanwhile.
    const std::vector<std::uint8_t> bytes = WavFile{44100, 1, std::vector<std::int16_t>(441000)}.Encode();
    std::ofstream("long.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const platform::AudioSampleId longSound = backend.LoadSample("long.wav");
    REQUIRE(longSound != platform::kNoSample);
    CHECK(backend.StopAll());
    std::set<platform::AudioChannel> channels;
    for (int i = 0; i < 32; ++i) {
        channels.insert(backend.Play(longSound, 10).channel);
    }
    CHECK(channels.size() == 32);
    CHECK(*channels.begin() == 1);
    CHECK(*channels.rbegin() == 32);
    CHECK(backend.Play(explosion, 255).status == AudioPlayStatus::NoFreeChannel);
    CHECK(backend.StopAll());

    backend.FreeSample(explosion);
    CHECK(backend.Play(explosion, 255).status == AudioPlayStatus::NoSample);
    backend.FreeSample(explosion); // twice is harmless
    CHECK(backend.Play(longSound, 255).status == AudioPlayStatus::Playing);
}

TEST_CASE("the sound manager plays the generated effects through SDL2_mixer")
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::DataDirectoryScope data;
    testing::ManualClockScope clock;
    SoundManager* manager = SoundManager::Instance();
    REQUIRE(manager->IsEnabled());
    manager->LoadEffects();
    for (int effect = 0; effect < kSoundEffectCount; ++effect) {
        CAPTURE(effect);
        CHECK(manager->PlaySoundEffect(effect) != platform::kNoChannel);
    }
    manager->StopAll();
}

TEST_CASE("without an audio device the game stays silent")
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform::AudioSdlMixerBackend backend;
    CHECK_FALSE(backend.Init(44100, 32));
    CHECK(backend.LoadSample("anything.wav") == platform::kNoSample);

    SoundManager* manager = SoundManager::Instance();
    CHECK_FALSE(manager->IsEnabled());
    manager->LoadEffects();
    CHECK(manager->PlaySoundEffect(kSoundClick) == platform::kNoChannel);
}
