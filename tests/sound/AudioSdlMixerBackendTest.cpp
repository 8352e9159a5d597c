// The real SDL2_mixer output, on SDL's dummy audio driver (the environment's
// choice of driver is kept when one is set), so no sound card is needed.
#include "platform/AudioSdlMixerBackend.h"

#include "sound/WavFile.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <set>

using platform::AudioPlayStatus;

namespace {

platform::AudioPcm PcmOf(const WavFile& wav)
{
    return {wav.sampleRate, wav.channels, wav.samples};
}

} // namespace

TEST_CASE("the SDL2_mixer backend opens, loads and plays, and a busy output cuts nothing off")
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    platform::AudioSdlMixerBackend backend;
    REQUIRE(backend.Init(44100, 32));

    // Mono at half the output's rate: converted to 44.1 kHz stereo on loading.
    const WavFile sound{22050, 1, std::vector<std::int16_t>(2205, 1000)};
    const platform::AudioSampleId explosion = backend.LoadSample(PcmOf(sound));
    REQUIRE(explosion != platform::kNoSample);
    const std::int16_t threeSamples[] = {1, 2, 3};
    CHECK(backend.LoadSample({44100, 2, threeSamples}) == platform::kNoSample); // not whole frames
    CHECK(backend.LoadSample({0, 1, threeSamples}) == platform::kNoSample);

    const platform::AudioPlayResult first = backend.Play(explosion, 255);
    CHECK(first.status == AudioPlayStatus::Playing);
    CHECK(first.channel == 1);
    CHECK(backend.SetVolume(first.channel, 100));
    CHECK_FALSE(backend.SetVolume(33, 100));
    CHECK(backend.Play(explosion + 100, 255).status == AudioPlayStatus::NoSample);

    // Ten seconds of silence on every channel, so nothing finishes meanwhile.
    const platform::AudioSampleId longSound =
        backend.LoadSample(PcmOf(WavFile{44100, 1, std::vector<std::int16_t>(441000)}));
    REQUIRE(longSound != platform::kNoSample);
    CHECK(backend.StopAll());
    std::set<platform::AudioChannel> channels;
    for (int i = 0; i < 32; ++i) {
        channels.insert(backend.Play(longSound, 10).channel);
    }
    CHECK(channels.size() == 32);
    CHECK(*channels.rbegin() == 32);
    CHECK(backend.Play(explosion, 255).status == AudioPlayStatus::NoFreeChannel);
    CHECK(backend.StopAll());

    backend.FreeSample(explosion);
    CHECK(backend.Play(explosion, 255).status == AudioPlayStatus::NoSample);
    backend.FreeSample(explosion); // twice is harmless
    CHECK(backend.Play(longSound, 255).status == AudioPlayStatus::Playing);
}

TEST_CASE("without an audio device the backend refuses to open and loads nothing")
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform::AudioSdlMixerBackend backend;
    CHECK_FALSE(backend.Init(44100, 32));
    const std::int16_t samples[] = {1, 2};
    CHECK(backend.LoadSample({44100, 1, samples}) == platform::kNoSample);
}
