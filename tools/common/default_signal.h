#pragma once
// The signal the tools process when no input file is given: eight seconds of program-like stereo
// material at 120 beats per minute (kick, snare, hats, bass and a chord pad) in four two-second
// passages: loud, quiet (about 24 dB down), a crescendo, and loud again with harder hits.
// Deterministic: the same rate always gives the same samples.

#include "audio_buffer.h"

namespace kvtool
{

constexpr double kDefaultSignalSeconds = 8.0;

// The passages, as [start, end) in seconds, for tools and tests that measure them.
struct SignalPassage
{
  const char* name;
  double start, end;
};
constexpr SignalPassage kDefaultSignalPassages[] = {
  { "loud", 0.0, 2.0 }, { "quiet", 2.0, 4.0 }, { "crescendo", 4.0, 6.0 }, { "loud, hard hits", 6.0, 8.0 }
};

// nChannels copies of the material; with two or more channels the hats and the pad are spread in
// stereo, further channels repeat the first two.
AudioBuffer MakeDefaultSignal(double sampleRate, int nChannels = 2);

}  // namespace kvtool
