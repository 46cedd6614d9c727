#pragma once
// What the command-line hosts share around the plug-in itself: the common options (input,
// sidechain, output, rate, block size, parameters, program, saved state, repeat, sample format,
// listing, quiet) with their checks and their help text, the input they process, choosing a program
// by number or name, and the closing report.

#include <functional>
#include <string>
#include <vector>

#include "audio_buffer.h"

namespace kvtool
{

struct HostOptions
{
  std::string plugin, input, sidechain, output, program, loadState, saveState;
  double rate = 0.0;
  int block = 512;
  int repeat = 1;
  std::vector<std::string> params;
  bool listPrograms = false, quiet = false;
  SampleFormat format = SampleFormat::kFloat32;
  bool formatGiven = false;
};

// The help text of the shared options, one a line, for a host's usage text.
extern const char* const kSharedOptionsHelp;

// Prints "<tool>: <message>" to the error stream and exits with status 2.
[[noreturn]] void HostFail(const char* tool, const std::string& message);

// A host's own options: takes argv[*pIdx] (and its value, advancing *pIdx) and answers true, or
// answers false for an option it does not know.
using OwnOptionParser = std::function<bool(int argc, char** argv, int* pIdx)>;

// Parses the command line: the plug-in, the shared options and the host's own. Every value is
// checked here (numbers whole and in range, no empty names, an output type the extension names);
// -h or --help prints the usage to the standard output and exits 0; anything else wrong exits 2
// with a reason. Answers whether a plug-in was named.
bool ParseHostOptions(const char* tool, const std::string& usage, int argc, char** argv, HostOptions* pOptions,
                      const OwnOptionParser& own);

// Takes argv[*pIdx] (and its value, advancing *pIdx) when it is one of the shared options or the
// plug-in path; false when the argument is none of them.
bool ParseSharedOption(const char* tool, int argc, char** argv, int* pIdx, HostOptions* pOptions);

// A host option's value: the next argument, never empty (exits 2 otherwise).
std::string OptionValue(const char* tool, int argc, char** argv, int* pIdx);
// A host option's number: the whole of the next argument, finite, from lo to hi.
double NumberOptionValue(const char* tool, int argc, char** argv, int* pIdx, double lo, double hi);

// The input file (or the built-in signal, at the rate asked, 44100 by default) and the sidechain
// file, at one settled sample rate; the sidechain is cut or padded to the input's length.
struct HostInput
{
  AudioBuffer audio;
  std::string name;
  double rate = 44100.0;
  bool builtIn = false;
  AudioBuffer sidechain;  // no channels when none was given
  std::string sidechainName;
};
HostInput LoadHostInput(const char* tool, const HostOptions& options);

// Refuses, naming what the plug-in takes, an input file with more channels than its main input
// (mainChannels; a mono file feeds a stereo pair) and a sidechain file when it has no sidechain
// input or the file has more channels than it (sideChannels). The built-in signal is always taken:
// a plug-in with one input hears its first channel.
void CheckHostChannels(const char* tool, const HostInput& input, int mainChannels, int sideChannels);

// The index of a program given by number or by name (case-insensitive) among names; -1 for none.
// A host interface that cuts names to cutLength characters (VST 2.4: 23) hands back cut names:
// when no name is the whole of `which`, the one name of exactly cutLength characters that begins
// it is taken (none, or two such: -1).
int FindProgram(const std::vector<std::string>& names, const std::string& which, size_t cutLength = 0);

// "Input: ...", "Sidechain: ...", "Levels: ...", the RMS by passage of the built-in signal (unless
// quiet) and the CPU time per second of audio.
void PrintHostReport(const HostInput& input, const AudioBuffer& output, const HostOptions& options, double cpuSeconds);

// Writes the output file when one was asked for.
void WriteHostOutput(const char* tool, const HostOptions& options, const AudioBuffer& output);

}  // namespace kvtool
