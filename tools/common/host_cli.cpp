#include "host_cli.h"

#include <cstdio>
#include <cstdlib>

#include "default_signal.h"
#include "param_options.h"

namespace kvtool
{

void HostFail(const char* tool, const std::string& message)
{
  fflush(stdout);  // the report so far comes before the reason it stops
  fprintf(stderr, "%s: %s\n", tool, message.c_str());
  exit(2);
}

bool ParseSharedOption(const char* tool, int argc, char** argv, int* pIdx, HostOptions* o)
{
  int& i = *pIdx;
  const std::string a = argv[i];
  const auto next = [&]() -> std::string {
    if (i + 1 >= argc) HostFail(tool, a + " needs a value");
    return argv[++i];
  };
  if (a == "-i" || a == "--input") o->input = next();
  else if (a == "-o" || a == "--output") o->output = next();
  else if (a == "-r" || a == "--rate") o->rate = atof(next().c_str());
  else if (a == "-b" || a == "--block") o->block = atoi(next().c_str());
  else if (a == "-p" || a == "--param") o->params.push_back(next());
  else if (a == "--program") o->program = next();
  else if (a == "--load-state") o->loadState = next();
  else if (a == "--save-state") o->saveState = next();
  else if (a == "--repeat") o->repeat = atoi(next().c_str());
  else if (a == "--list-programs") o->listPrograms = true;
  else if (a == "-q" || a == "--quiet") o->quiet = true;
  else if (a == "--format")
  {
    const std::string f = next();
    if (f == "float") o->format = SampleFormat::kFloat32;
    else if (f == "pcm24") o->format = SampleFormat::kPcm24;
    else if (f == "pcm16") o->format = SampleFormat::kPcm16;
    else HostFail(tool, "unknown format " + f);
  }
  else if (!a.empty() && a[0] == '-') return false;
  else if (o->plugin.empty()) o->plugin = a;
  else HostFail(tool, "one plug-in at a time (" + a + ")");
  return true;
}

HostInput LoadHostInput(const char* tool, const HostOptions& o)
{
  if (o.block <= 0 || o.block > 1 << 16) HostFail(tool, "the block size must be 1 to 65536 frames");
  if (o.repeat < 1 || o.repeat > 10000) HostFail(tool, "--repeat takes 1 to 10000");
  HostInput in;
  if (!o.input.empty())
  {
    std::string err;
    if (!ReadAudioFile(o.input, &in.audio, &err)) HostFail(tool, err);
    in.name = o.input;
    if (o.rate > 0.0 && o.rate != in.audio.sampleRate) HostFail(tool, "the input runs at a different rate than --rate");
  }
  in.rate = o.rate > 0.0 ? o.rate : (in.audio.NumChannels() ? in.audio.sampleRate : 44100.0);
  if (in.rate < 8000.0 || in.rate > 768000.0) HostFail(tool, "the sample rate must be 8000 to 768000 Hz");
  if (o.input.empty())
  {
    in.audio = MakeDefaultSignal(in.rate, 2);
    in.name = "built-in signal";
    in.builtIn = true;
  }
  return in;
}

int FindProgram(const std::vector<std::string>& names, const std::string& which, size_t cutLength)
{
  char* end = nullptr;
  const long n = strtol(which.c_str(), &end, 10);
  if (end != which.c_str() && *end == 0) return (n >= 0 && n < (long)names.size()) ? (int)n : -1;
  for (size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], which)) return (int)i;
  if (cutLength == 0 || which.size() <= cutLength) return -1;
  int found = -1;
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i].size() == cutLength && SameText(names[i], which.substr(0, cutLength)))
    {
      if (found >= 0) return -1;  // two programs begin that way: the name does not say which
      found = (int)i;
    }
  return found;
}

namespace
{
std::string LevelsText(const Levels& l)
{
  return "peak " + FormatDb(l.peakDb) + ", RMS " + FormatDb(l.rmsDb);
}
}  // namespace

void PrintHostReport(const HostInput& in, const AudioBuffer& output, const HostOptions& o, double cpu)
{
  printf("Input: %s, %.2f s, %d channels, %.0f Hz\n", in.name.c_str(), in.audio.Seconds(), in.audio.NumChannels(), in.rate);
  printf("Levels:\n  input   %s\n  output  %s\n", LevelsText(MeasureLevels(in.audio)).c_str(),
         LevelsText(MeasureLevels(output)).c_str());
  if (in.builtIn && !o.quiet && output.NumChannels())
  {
    printf("  RMS by passage, input -> output:\n");
    for (const auto& p : kDefaultSignalPassages)
    {
      const int first = (int)(p.start * in.rate), count = (int)((p.end - p.start) * in.rate);
      printf("    %-16s %9s -> %s\n", p.name, FormatDb(MeasureLevels(in.audio.channels[0], first, count).rmsDb).c_str(),
             FormatDb(MeasureLevels(output.channels[0], first, count).rmsDb).c_str());
    }
  }
  const double seconds = in.audio.Seconds() * o.repeat;
  printf("CPU: %.4f ms per second of audio (%.4f%% of one core), %.2f ms in all\n",
         seconds > 0 ? 1000.0 * cpu / seconds : 0.0, seconds > 0 ? 100.0 * cpu / seconds : 0.0, 1000.0 * cpu);
}

void WriteHostOutput(const char* tool, const HostOptions& o, const AudioBuffer& output)
{
  if (o.output.empty()) return;
  std::string err;
  if (!WriteWavFile(o.output, output, o.format, &err)) HostFail(tool, err);
  printf("Output: %s (%d channels)\n", o.output.c_str(), output.NumChannels());
}

}  // namespace kvtool
