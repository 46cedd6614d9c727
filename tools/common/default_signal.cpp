// Synthesis of the built-in test signal. Every voice is computed from the time in seconds, so the
// material sounds the same at any sample rate.

#include "default_signal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kvtool
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;  // seconds, 120 beats per minute

// A small deterministic noise source (xorshift), uniform in [-1, 1).
class Noise
{
public:
  explicit Noise(uint32_t seed) : mState(seed) {}
  double Next()
  {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return (double)mState / 2147483648.0 - 1.0;
  }

private:
  uint32_t mState;
};

// Loudness of the whole mix over time: loud, quiet, crescendo, loud.
double PassageGain(double t)
{
  if (t < 2.0) return 1.0;
  if (t < 4.0) return 0.063;  // -24 dB
  if (t < 6.0) return 0.125 * std::pow(8.0, (t - 4.0) / 2.0);  // -18 dB rising to 0 dB
  return 1.0;
}

double Kick(double tBeat, double accent)
{
  // A pitch sweep from 110 Hz down to 45 Hz, decaying over a quarter second.
  const double phase = 2.0 * kPi * (45.0 * tBeat + 65.0 * 0.04 * (1.0 - std::exp(-tBeat / 0.04)));
  return accent * 0.9 * std::exp(-tBeat / 0.22) * std::sin(phase);
}

double Bass(double t, double tBeat)
{
  static const double kRoots[] = { 55.0, 43.65, 65.41, 49.0 };  // A1, F1, C2, G1, one per bar
  const double f = kRoots[(int)(t / (4.0 * kBeat)) % 4];
  double s = 0.0;
  for (int h = 1; h <= 5; ++h) s += std::sin(2.0 * kPi * f * h * t) / h;
  return 0.22 * s * (0.6 + 0.4 * std::exp(-tBeat / 0.15));
}

double PadVoice(double t, double detune)
{
  static const double kChord[] = { 220.0, 261.63, 329.63, 392.0 };  // A minor seventh
  double s = 0.0;
  for (double f : kChord) s += std::sin(2.0 * kPi * f * detune * t);
  return 0.05 * s;
}
}  // namespace

AudioBuffer MakeDefaultSignal(double sampleRate, int nChannels)
{
  AudioBuffer out;
  out.sampleRate = sampleRate;
  nChannels = std::max(1, nChannels);
  const int nFrames = (int)std::lround(kDefaultSignalSeconds * sampleRate);
  out.Resize(nChannels, nFrames);

  Noise snareNoise(0x2545F491u), hatNoise(0x9E3779B9u);
  double hatPrev = 0.0;
  const double fade = 0.01 * sampleRate;
  for (int i = 0; i < nFrames; ++i)
  {
    const double t = i / sampleRate;
    const int beat = (int)(t / kBeat);
    const double tBeat = t - beat * kBeat;
    const double tEighth = std::fmod(t, kBeat / 2.0);
    const bool hardHits = t >= 6.0;

    double mono = Kick(tBeat, hardHits ? 1.0 : 0.8) + Bass(t, tBeat);
    if (beat % 2 == 1)
    {
      const double env = std::exp(-tBeat / 0.11);
      mono += (hardHits ? 0.75 : 0.5) * env * (0.7 * snareNoise.Next() + 0.3 * std::sin(2.0 * kPi * 190.0 * tBeat));
    }
    // Hats: differenced noise (bright), on every eighth, alternating sides.
    const double hn = hatNoise.Next();
    const double hat = 0.18 * std::exp(-tEighth / 0.035) * (hn - hatPrev) * 0.5;
    hatPrev = hn;
    const bool hatLeft = ((int)(t / (kBeat / 2.0)) % 2) == 0;

    const double gain = PassageGain(t);
    double edge = 1.0;
    if (i < fade) edge = i / fade;
    if (nFrames - 1 - i < fade) edge = (nFrames - 1 - i) / fade;

    const double left = gain * edge * (mono + PadVoice(t, 1.0) + hat * (hatLeft ? 1.0 : 0.4));
    const double right = gain * edge * (mono + PadVoice(t, 1.003) + hat * (hatLeft ? 0.4 : 1.0));
    for (int c = 0; c < nChannels; ++c)
      out.channels[(size_t)c][(size_t)i] = (float)(nChannels == 1 ? 0.5 * (left + right) : (c % 2 ? right : left));
  }

  // Peaks at -1 dBFS.
  float peak = 0.0f;
  for (const auto& ch : out.channels)
    for (float s : ch) peak = std::max(peak, std::fabs(s));
  if (peak > 0.0f)
  {
    const float scale = 0.891f / peak;
    for (auto& ch : out.channels)
      for (float& s : ch) s *= scale;
  }
  return out;
}

}  // namespace kvtool
