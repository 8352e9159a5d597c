// Synthesis building blocks for the sound effects.
#include "SoundSynth.h"

#include <algorithm>
#include <cmath>

namespace datagen {

int SampleCount(double seconds)
{
    return static_cast<int>(std::lround(seconds * kSoundRate));
}

double SampleTime(int i)
{
    return static_cast<double>(i) / kSoundRate;
}

float NoiseSource::White()
{
    // xorshift32: tiny, fast and the same on every machine.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(static_cast<double>(state_) / 2147483648.0 - 1.0);
}

double NoiseSource::Uniform(double low, double high)
{
    const double unit = (static_cast<double>(White()) + 1.0) * 0.5;
    return low + (high - low) * unit;
}

StateVariableFilter::Output StateVariableFilter::Process(float input, double cutoffHz, double q)
{
    const double g = std::tan(kTwoPi * 0.5 * std::clamp(cutoffHz, 10.0, kSoundRate * 0.45) / kSoundRate);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = input - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(input - k * v1 - v2)};
}

OnePoleLowPass::OnePoleLowPass(double cutoffHz) : coefficient_(1.0 - std::exp(-kTwoPi * cutoffHz / kSoundRate)) {}

float OnePoleLowPass::Process(float input)
{
    state_ += coefficient_ * (input - state_);
    return static_cast<float>(state_);
}

double AttackDecay(double t, double attack, double tau)
{
    if (t < 0.0) {
        return 0.0;
    }
    const double rise = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    return rise * std::exp(-t / tau);
}

double Oscillator::Step(double hz)
{
    const double phase = phase_;
    phase_ = std::fmod(phase_ + kTwoPi * hz / kSoundRate, kTwoPi);
    return phase;
}

float Saturate(float x, float drive)
{
    return static_cast<float>(std::tanh(drive * x) / std::tanh(drive));
}

namespace {

void Fade(std::vector<float>& signal, int samples, bool atStart)
{
    const int count = std::min(samples, static_cast<int>(signal.size()));
    for (int i = 0; i < count; ++i) {
        // Raised cosine from 0 at the outer end to 1 inside.
        const double gain = 0.5 - 0.5 * std::cos(kTwoPi * 0.5 * i / count);
        const std::size_t index = atStart ? static_cast<std::size_t>(i) : signal.size() - 1 - i;
        signal[index] = static_cast<float>(signal[index] * gain);
    }
}

} // namespace

WavFile FinishSound(std::vector<float> signal, double peakDb, double fadeInSeconds, double fadeOutSeconds)
{
    // Fades first, so the peak is measured on what is actually written.
    Fade(signal, SampleCount(fadeInSeconds), true);
    Fade(signal, SampleCount(fadeOutSeconds), false);
    float peak = 0.0f;
    for (const float value : signal) {
        peak = std::max(peak, std::fabs(value));
    }
    const double scale = peak > 0.0f ? std::pow(10.0, peakDb / 20.0) / peak : 0.0;

    WavFile wav;
    wav.sampleRate = kSoundRate;
    wav.channels = 1;
    wav.samples.reserve(signal.size());
    for (const float value : signal) {
        const double scaled = std::clamp(value * scale, -1.0, 1.0);
        wav.samples.push_back(static_cast<std::int16_t>(std::lround(scaled * 32767.0)));
    }
    return wav;
}

} // namespace datagen
