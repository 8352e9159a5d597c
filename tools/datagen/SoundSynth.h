// Building blocks for synthesising the game's sound effects: a seeded noise
// source, a state-variable filter, one-pole filters, envelopes, and the final
// steps that turn a float signal into a 16-bit mono WAV (peak normalising,
// short fades at both ends, rounding).
#pragma once

#include "sound/WavFile.h"

#include <cstdint>
#include <vector>

namespace datagen {

inline constexpr int kSoundRate = 44100;
inline constexpr double kTwoPi = 6.283185307179586;

// Samples in a span of seconds at the sound rate.
int SampleCount(double seconds);
// Time in seconds of sample i.
double SampleTime(int i);

// White noise in [-1, 1) from a fixed seed. Each sound owns its source, so a
// sound's bytes do not depend on which other sounds were made before it.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    float White();
    // Uniform in [low, high).
    double Uniform(double low, double high);

private:
    std::uint32_t state_;
};

// Topology-preserving state-variable filter: stable while the cutoff sweeps,
// which the whoosh and the rumble need.
class StateVariableFilter {
public:
    struct Output {
        float low = 0.0f;
        float band = 0.0f;
        float high = 0.0f;
    };
    Output Process(float input, double cutoffHz, double q);

private:
    double ic1_ = 0.0;
    double ic2_ = 0.0;
};

// One-pole low-pass; the high-pass is the input minus it.
class OnePoleLowPass {
public:
    explicit OnePoleLowPass(double cutoffHz);
    float Process(float input);

private:
    double coefficient_ = 0.0;
    double state_ = 0.0;
};

// exp(-t / tau) after a linear attack of the given length.
double AttackDecay(double t, double attack, double tau);

// Phase accumulator for tones whose frequency changes sample by sample.
class Oscillator {
public:
    // Advances by one sample at frequency hz; returns the phase in radians
    // before the step (so the first sample starts at phase 0).
    double Step(double hz);

private:
    double phase_ = 0.0;
};

// Soft saturation normalised so that 1 stays 1.
float Saturate(float x, float drive);

// Fades both ends in and out with raised cosines, scales the signal so its
// largest magnitude is peakDb dBFS, and rounds to 16-bit mono.
WavFile FinishSound(std::vector<float> signal, double peakDb, double fadeInSeconds, double fadeOutSeconds);

} // namespace datagen
