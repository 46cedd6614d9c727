#pragma once
// What the command-line hosts share around the plug-in itself: the common options (input, output,
// rate, block size, parameters, program, saved state, repeat, sample format, listing, quiet), the
// input they process, choosing a program by number or name, and the closing report.

#include <string>
#include <vector>

#include "audio_buffer.h"

namespace kvtool
{

struct HostOptions
{
  std::string plugin, input, output, program, loadState, saveState;
  double rate = 0.0;
  int block = 512;
  int repeat = 1;
  std::vector<std::string> params;
  bool listPrograms = false, quiet = false;
  SampleFormat format = SampleFormat::kFloat32;
};

// Prints "<tool>: <message>" to the error stream and exits with status 2.
[[noreturn]] void HostFail(const char* tool, const std::string& message);

// Takes argv[*pIdx] (and its value, advancing *pIdx) when it is one of the shared options or the
// plug-in path; false when the argument is none of them. "-h" and "--help" are left to the caller.
bool ParseSharedOption(const char* tool, int argc, char** argv, int* pIdx, HostOptions* pOptions);

// Checks the block size and repeat count, reads the input file (or makes the built-in signal at
// the rate asked, 44100 by default) and settles the sample rate.
struct HostInput
{
  AudioBuffer audio;
  std::string name;
  double rate = 44100.0;
  bool builtIn = false;
};
HostInput LoadHostInput(const char* tool, const HostOptions& options);

// The index of a program given by number or by name (case-insensitive) among names; -1 for none.
// A host interface that cuts names to cutLength characters (VST 2.4: 23) hands back cut names:
// when no name is the whole of `which`, the one name of exactly cutLength characters that begins
// it is taken (none, or two such: -1).
int FindProgram(const std::vector<std::string>& names, const std::string& which, size_t cutLength = 0);

// "Input: ...", "Levels: ...", the RMS by passage of the built-in signal (unless quiet) and the
// CPU time per second of audio.
void PrintHostReport(const HostInput& input, const AudioBuffer& output, const HostOptions& options, double cpuSeconds);

// Writes the output WAV file when one was asked for.
void WriteHostOutput(const char* tool, const HostOptions& options, const AudioBuffer& output);

}  // namespace kvtool
