// Sounds/Interface/click.wav and Sounds/SFX/*.wav: the ten sound effects,
// synthesised from fixed seeds into 16-bit mono 44.1 kHz WAVs with short fades
// at both ends and peaks below -1 dBFS. They are short so that the 32 mixing
// channels suffice when a world effect may start every 0.08 s.
#include "DataGenerator.h"
#include "SoundSynth.h"

#include "platform/FileSystem.h"
#include "sound/SoundEffect.h"
#include "sound/SoundManager.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace datagen {

namespace {

using Signal = std::vector<float>;

// A dry 2.6 kHz tick with a breath of noise: crisp without being shrill.
WavFile MakeClick()
{
    NoiseSource noise(0xC11C);
    Signal s(SampleCount(0.035));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double tone = std::sin(kTwoPi * 2600.0 * t) * std::exp(-t / 0.005);
        const double overtone = 0.3 * std::sin(kTwoPi * 4150.0 * t) * std::exp(-t / 0.003);
        const double breath = 0.2 * noise.White() * std::exp(-t / 0.002);
        s[i] = static_cast<float>(tone + overtone + breath);
    }
    return FinishSound(std::move(s), -6.0, 0.002, 0.003);
}

// A blast: a sharp crack, a deep thump that sags in pitch, and a rolling
// rumble of brown noise that darkens as it dies away.
WavFile MakeExplosion()
{
    NoiseSource noise(0xB00F);
    StateVariableFilter rumbleFilter;
    StateVariableFilter crackFilter;
    OnePoleLowPass roll(6.0);
    Oscillator thump;
    double brown = 0.0;
    constexpr double kLength = 1.2;
    Signal s(SampleCount(kLength));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        brown = 0.985 * brown + 0.12 * noise.White();
        const double cutoff = 250.0 + 1100.0 * std::exp(-t / 0.25);
        const double rumble = rumbleFilter.Process(static_cast<float>(brown), cutoff, 0.7).low;
        // Slow random swelling makes the rumble roll instead of hiss.
        const double swell = 1.0 + 20.0 * roll.Process(noise.White());
        const double crack = crackFilter.Process(noise.White(), 2200.0, 0.8).band * std::exp(-t / 0.03);
        const double thumpHz = 40.0 + 22.0 * std::exp(-t / 0.15);
        const double body = std::sin(thump.Step(thumpHz)) * AttackDecay(t, 0.004, 0.28);
        const double value = (1.6 * rumble * swell + 0.9 * crack) * AttackDecay(t, 0.005, 0.3) + 0.9 * body;
        s[i] = Saturate(static_cast<float>(value), 1.6f);
    }
    return FinishSound(std::move(s), -1.0, 0.002, 0.005);
}

// A launcher's "thoomp": a tone falling from 300 to 80 Hz behind a puff of
// noise.
WavFile MakeShot()
{
    NoiseSource noise(0x5407);
    StateVariableFilter puff;
    Oscillator tone;
    Signal s(SampleCount(0.25));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double hz = 80.0 + 220.0 * std::exp(-t / 0.04);
        const double phase = tone.Step(hz);
        const double body = (std::sin(phase) + 0.3 * std::sin(2.0 * phase)) * AttackDecay(t, 0.002, 0.07);
        const double burst = 0.7 * puff.Process(noise.White(), 1500.0, 0.8).band * std::exp(-t / 0.008);
        s[i] = Saturate(static_cast<float>(body + burst), 1.4f);
    }
    return FinishSound(std::move(s), -3.0, 0.002, 0.004);
}

// A drop into water: a bell-shaped "bloop" whose pitch leaps from 400 to
// 1200 Hz, with a faint fizz of spray.
WavFile MakePlop()
{
    NoiseSource noise(0x9109);
    StateVariableFilter spray;
    Oscillator tone;
    constexpr double kPeakTime = 0.03;
    Signal s(SampleCount(0.2));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double hz = 400.0 + 800.0 * (1.0 - std::exp(-t / 0.025));
        const double width = t < kPeakTime ? 0.012 : 0.045;
        const double bell = std::exp(-std::pow((t - kPeakTime) / width, 2.0));
        const double fizz = 0.12 * spray.Process(noise.White(), 3000.0, 2.0).band * std::exp(-t / 0.02);
        s[i] = static_cast<float>(std::sin(tone.Step(hz)) * bell + fizz);
    }
    return FinishSound(std::move(s), -4.0, 0.002, 0.004);
}

// A leap through the air: noise through a resonant band sweeping from 500 to
// 2500 Hz, swelling and fading.
WavFile MakeSwoosh()
{
    NoiseSource noise(0x5005);
    StateVariableFilter first;
    StateVariableFilter second;
    constexpr double kLength = 0.35;
    Signal s(SampleCount(kLength));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double centre = 500.0 * std::pow(5.0, t / kLength);
        const double band = first.Process(noise.White(), centre, 1.8).band;
        const double narrower = second.Process(static_cast<float>(band), centre, 1.8).band;
        const double hann = 0.5 - 0.5 * std::cos(kTwoPi * t / kLength);
        s[i] = static_cast<float>((0.6 * band + narrower) * hann);
    }
    return FinishSound(std::move(s), -4.0, 0.003, 0.004);
}

// A dull melee thud: a low tone sagging from 150 to 100 Hz over muffled
// noise, driven a little so it carries on small speakers.
WavFile MakeHit()
{
    NoiseSource noise(0x4177);
    StateVariableFilter muffle;
    StateVariableFilter knock;
    Oscillator tone;
    Signal s(SampleCount(0.12));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double hz = 100.0 + 50.0 * std::exp(-t / 0.02);
        const double body = std::sin(tone.Step(hz)) * AttackDecay(t, 0.002, 0.03);
        const double thud = 3.0 * muffle.Process(noise.White(), 300.0, 0.7).low * AttackDecay(t, 0.001, 0.02);
        const double contact = 0.25 * knock.Process(noise.White(), 2000.0, 1.0).band * std::exp(-t / 0.002);
        s[i] = Saturate(static_cast<float>(body + thud + contact), 2.0f);
    }
    return FinishSound(std::move(s), -2.0, 0.002, 0.004);
}

// A projectile on armour: a metallic clank of inharmonic partials, the higher
// ones dying first, on top of a sharp click.
WavFile MakeProjectileHit()
{
    struct Partial {
        double hz;
        double gain;
        double tau;
    };
    const Partial partials[] = {
        {900.0, 1.0, 0.045}, {1370.0, 0.8, 0.035}, {2100.0, 0.6, 0.025}, {2870.0, 0.35, 0.018}, {3960.0, 0.2, 0.012},
    };
    NoiseSource noise(0x9417);
    Signal s(SampleCount(0.15));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        double value = 0.8 * noise.White() * std::exp(-t / 0.0015);
        for (const Partial& partial : partials) {
            value += partial.gain * std::sin(kTwoPi * partial.hz * t) * std::exp(-t / partial.tau);
        }
        s[i] = static_cast<float>(value);
    }
    return FinishSound(std::move(s), -3.0, 0.002, 0.004);
}

// The wind-up before a self-destruct: a band-limited sawtooth climbing from
// 200 to 900 Hz, fluttering at 15 Hz, fading out at the top.
WavFile MakeWhir()
{
    constexpr double kLength = 1.0;
    constexpr double kHighestPartialHz = 12000.0;
    Oscillator saw;
    Signal s(SampleCount(kLength));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double hz = 200.0 * std::pow(4.5, t / 0.95);
        const double phase = saw.Step(hz);
        double value = 0.0;
        for (int k = 1; k * hz < kHighestPartialHz; ++k) {
            // Harmonics rolled off above a few kHz, so the whir hums rather
            // than buzzes, and faded out before the limit, so a harmonic
            // that rises past it leaves without a click.
            const double taper = std::min(1.0, (kHighestPartialHz - k * hz) / 3000.0);
            value += std::sin(k * phase) / k * std::exp(-k * hz / 5000.0) * taper;
        }
        const double tremolo = 1.0 - 0.45 * (0.5 + 0.5 * std::sin(kTwoPi * 15.0 * t));
        const double swell = std::min(1.0, t / 0.06) * (0.7 + 0.3 * t / kLength);
        const double tail = t > kLength - 0.2 ? 0.5 + 0.5 * std::cos(kTwoPi * 0.5 * (t - (kLength - 0.2)) / 0.2) : 1.0;
        s[i] = static_cast<float>(value * tremolo * swell * tail);
    }
    return FinishSound(std::move(s), -4.0, 0.003, 0.005);
}

// A unit breaking apart: a scatter of short knocks and rattles of differing
// pitch, each quieter than the one before.
WavFile MakeFallApart()
{
    NoiseSource noise(0xFA11);
    constexpr double kLength = 0.7;
    Signal s(SampleCount(kLength));
    const int bursts = 8 + static_cast<int>(noise.Uniform(0.0, 5.0));
    double gain = 1.0;
    for (int burst = 0; burst < bursts; ++burst) {
        const double start = 0.005 + burst * (0.55 / bursts) + noise.Uniform(0.0, 0.035);
        const double centre = 300.0 * std::pow(12.0, noise.Uniform(0.0, 1.0));
        const double q = noise.Uniform(3.0, 6.0);
        const double tau = noise.Uniform(0.008, 0.025);
        const double ping = noise.Uniform(0.1, 0.4);
        StateVariableFilter filter;
        const int first = SampleCount(start);
        const int last = std::min(static_cast<int>(s.size()), first + SampleCount(tau * 8.0));
        for (int i = first; i < last; ++i) {
            const double t = SampleTime(i - first);
            const double envelope = AttackDecay(t, 0.0008, tau);
            const double rattle = filter.Process(noise.White(), centre, q).band * 2.5;
            const double knock = ping * std::sin(kTwoPi * centre * 0.5 * t);
            const double click = 0.5 * noise.White() * std::exp(-t / 0.001);
            s[i] += static_cast<float>(gain * (envelope * (rattle + knock) + click));
        }
        gain *= 0.82;
    }
    return FinishSound(std::move(s), -3.0, 0.002, 0.005);
}

// One beat of the heart: a low "lub" at 55 Hz and a softer "dub" at 45 Hz a
// quarter second later, saturated so the overtones reach small speakers.
WavFile MakeHeartbeat()
{
    struct Thump {
        double start;
        double hz;
        double gain;
    };
    const Thump thumps[] = {{0.02, 55.0, 1.0}, {0.27, 45.0, 0.8}};
    NoiseSource noise(0x4EA7);
    StateVariableFilter muffle;
    Signal s(SampleCount(0.6));
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        const double t = SampleTime(i);
        const double murmur = 3.0 * muffle.Process(noise.White(), 150.0, 0.7).low;
        double value = 0.0;
        for (const Thump& thump : thumps) {
            const double u = t - thump.start;
            if (u < 0.0) {
                continue;
            }
            // Squared rise: a soft onset without a click.
            const double rise = 1.0 - std::exp(-u / 0.006);
            const double envelope = rise * rise * std::exp(-u / 0.06);
            // The pitch starts a little high and settles, which gives the
            // beat its punch.
            const double phase = kTwoPi * thump.hz * (u + 0.3 * 0.02 * (1.0 - std::exp(-u / 0.02)));
            value += thump.gain * envelope * (std::sin(phase) + 0.6 * murmur);
        }
        s[i] = Saturate(static_cast<float>(value), 2.5f);
    }
    return FinishSound(std::move(s), -1.0, 0.003, 0.005);
}

struct SoundRecipe {
    SoundEffect effect;
    WavFile (*make)();
};

const SoundRecipe kRecipes[] = {
    {kSoundClick, MakeClick},
    {kSoundExplosion, MakeExplosion},
    {kSoundShot, MakeShot},
    {kSoundPlop, MakePlop},
    {kSoundSwoosh, MakeSwoosh},
    {kSoundHit, MakeHit},
    {kSoundProjectileHit, MakeProjectileHit},
    {kSoundWhir, MakeWhir},
    {kSoundFallApart, MakeFallApart},
    {kSoundHeartbeat, MakeHeartbeat},
};

} // namespace

bool GenerateSounds(const std::filesystem::path& root)
{
    for (const SoundRecipe& recipe : kRecipes) {
        // Written where the game's own lookup of the effect's name lands.
        const std::string path =
            platform::NormalizeDataPath(SoundManager::FullSampleName(kSoundEffectFiles[recipe.effect]));
        const std::vector<std::uint8_t> bytes = recipe.make().Encode();
        WavFile check;
        std::string error;
        if (!WavFile::Parse(bytes, check, error)) {
            std::fprintf(stderr, "kvdatagen: %s does not parse: %s\n", path.c_str(), error.c_str());
            return false;
        }
        if (!WriteDataFile(root, path, bytes)) {
            return false;
        }
    }
    return true;
}

} // namespace datagen
