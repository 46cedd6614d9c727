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

const char* const kSharedOptionsHelp =
  "  -i, --input FILE         audio to process, mono or stereo (default: the built-in 8-second\n"
  "                           signal)\n"
  "  -s, --sidechain FILE     audio for the plug-in's sidechain input, mono or stereo, at the\n"
  "                           input's rate; cut or padded with silence to the input's length\n"
  "  -o, --output FILE        write the processed audio; the extension names the file type:\n"
  "                           .wav, .flac, .aif/.aiff or .ogg (Ogg Vorbis)\n"
  "  -r, --rate HZ            sample rate, 8000 to 768000 (default: the input file's, else 44100)\n"
  "  -b, --block N            frames per process call, 1 to 65536 (default 512)\n"
  "  -p, --param NAME=VALUE   set a parameter by name: a number in its range, with or without its\n"
  "                           unit (-p Threshold=-20, -p \"Attack=5 ms\"), one of the texts it\n"
  "                           shows (-p Oversample=On) or that text's number from 0\n"
  "                           (-p Oversample=1); anything else is refused, naming the range\n"
  "      --program N|NAME     choose a factory program before the parameters\n"
  "      --load-state FILE    load a saved state before the program and parameters\n"
  "      --save-state FILE    save the state after processing\n"
  "      --repeat N           process the input N times in a row, 1 to 10000 (for steadier CPU\n"
  "                           figures; the output holds the last)\n"
  "      --format F           output samples: float (default; FLAC: pcm24), pcm24 or pcm16\n"
  "      --list-programs      print the factory programs\n"
  "  -q, --quiet              print only the summary\n"
  "  -h, --help               print this help\n";

namespace
{
constexpr double kMinRate = 8000.0, kMaxRate = 768000.0;

std::string Quoted(const std::string& s)
{
  return "\"" + s + "\"";
}
}  // namespace

std::string OptionValue(const char* tool, int argc, char** argv, int* pIdx)
{
  const std::string a = argv[*pIdx];
  if (*pIdx + 1 >= argc) HostFail(tool, a + " needs a value (see --help)");
  const std::string v = argv[++*pIdx];
  if (v.empty()) HostFail(tool, a + " needs a value, not an empty text (see --help)");
  return v;
}

double NumberOptionValue(const char* tool, int argc, char** argv, int* pIdx, double lo, double hi)
{
  const std::string a = argv[*pIdx];
  const std::string v = OptionValue(tool, argc, argv, pIdx);
  double n = 0.0;
  if (!ParseWholeNumber(v, &n) || n < lo || n > hi)
  {
    char range[96];
    snprintf(range, sizeof(range), "%g to %g", lo, hi);
    HostFail(tool, a + " takes a number from " + range + ", not " + Quoted(v));
  }
  return n;
}

bool ParseSharedOption(const char* tool, int argc, char** argv, int* pIdx, HostOptions* o)
{
  int& i = *pIdx;
  const std::string a = argv[i];
  const auto next = [&]() { return OptionValue(tool, argc, argv, pIdx); };
  const auto integer = [&](int lo, int hi) {
    const std::string opt = argv[i];
    const double n = NumberOptionValue(tool, argc, argv, pIdx, lo, hi);
    if (n != (double)(int)n) HostFail(tool, opt + " takes a whole number, not " + Quoted(argv[i]));
    return (int)n;
  };
  if (a == "-i" || a == "--input") o->input = next();
  else if (a == "-s" || a == "--sidechain") o->sidechain = next();
  else if (a == "-o" || a == "--output")
  {
    o->output = next();
    AudioContainer c;
    if (!ContainerForPath(o->output, &c))
      HostFail(tool, a + " " + o->output + ": the extension names no file type written here (" + kAudioExtensions + ")");
  }
  else if (a == "-r" || a == "--rate") o->rate = NumberOptionValue(tool, argc, argv, pIdx, kMinRate, kMaxRate);
  else if (a == "-b" || a == "--block") o->block = integer(1, 1 << 16);
  else if (a == "-p" || a == "--param") o->params.push_back(next());
  else if (a == "--program") o->program = next();
  else if (a == "--load-state") o->loadState = next();
  else if (a == "--save-state") o->saveState = next();
  else if (a == "--repeat") o->repeat = integer(1, 10000);
  else if (a == "--list-programs") o->listPrograms = true;
  else if (a == "-q" || a == "--quiet") o->quiet = true;
  else if (a == "--format")
  {
    const std::string f = next();
    if (f == "float") o->format = SampleFormat::kFloat32;
    else if (f == "pcm24") o->format = SampleFormat::kPcm24;
    else if (f == "pcm16") o->format = SampleFormat::kPcm16;
    else HostFail(tool, "--format takes float, pcm24 or pcm16, not " + Quoted(f));
    o->formatGiven = true;
  }
  else if (!a.empty() && a[0] == '-') return false;
  else if (o->plugin.empty()) o->plugin = a;
  else HostFail(tool, "one plug-in at a time (" + a + ")");
  return true;
}

bool ParseHostOptions(const char* tool, const std::string& usage, int argc, char** argv, HostOptions* o,
                      const OwnOptionParser& own)
{
  for (int i = 1; i < argc; ++i)
  {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help")
    {
      fputs(usage.c_str(), stdout);
      exit(0);
    }
    if (!ParseSharedOption(tool, argc, argv, &i, o) && !(own && own(argc, argv, &i)))
      HostFail(tool, "unknown option " + a + " (see --help)");
  }
  AudioContainer c = AudioContainer::kWav;
  if (!o->output.empty() && ContainerForPath(o->output, &c))
  {
    // FLAC holds PCM only: without --format it takes 24 bits; Ogg Vorbis has no sample format.
    if (c == AudioContainer::kFlac && !o->formatGiven) o->format = SampleFormat::kPcm24;
    if (!ContainerHolds(c, o->format)) HostFail(tool, "FLAC holds pcm24 or pcm16 samples, not float");
    if (c == AudioContainer::kOggVorbis && o->formatGiven) HostFail(tool, "Ogg Vorbis has no sample format to choose");
  }
  return !o->plugin.empty();
}

namespace
{
void ReadInputFile(const char* tool, const std::string& path, double rate, AudioBuffer* pOut)
{
  std::string err;
  if (!ReadAudioFile(path, pOut, &err)) HostFail(tool, err);
  if (pOut->NumFrames() == 0) HostFail(tool, path + " holds no audio");
  if (rate > 0.0 && rate != pOut->sampleRate)
    HostFail(tool, path + " runs at " + std::to_string((long)pOut->sampleRate) + " Hz, not the " +
                     std::to_string((long)rate) + " Hz asked");
}
}  // namespace

HostInput LoadHostInput(const char* tool, const HostOptions& o)
{
  HostInput in;
  if (!o.input.empty())
  {
    ReadInputFile(tool, o.input, o.rate, &in.audio);
    in.name = o.input;
  }
  in.rate = o.rate > 0.0 ? o.rate : (in.audio.NumChannels() ? in.audio.sampleRate : 44100.0);
  if (in.rate < kMinRate || in.rate > kMaxRate) HostFail(tool, "the sample rate must be 8000 to 768000 Hz");
  if (o.input.empty())
  {
    in.audio = MakeDefaultSignal(in.rate, 2);
    in.name = "built-in signal";
    in.builtIn = true;
  }
  if (!o.sidechain.empty())
  {
    ReadInputFile(tool, o.sidechain, in.rate, &in.sidechain);
    in.sidechainName = o.sidechain;
    for (auto& ch : in.sidechain.channels) ch.resize((size_t)in.audio.NumFrames(), 0.0f);
  }
  return in;
}

namespace
{
std::string ChannelsTaken(int n)
{
  return n == 1 ? "1 channel" : n == 2 ? "1 or 2 channels" : "1 to " + std::to_string(n) + " channels";
}
}  // namespace

void CheckHostChannels(const char* tool, const HostInput& in, int mainChannels, int sideChannels)
{
  const int n = in.audio.NumChannels();
  if (!in.builtIn && (n > mainChannels || mainChannels == 0))
    HostFail(tool, in.name + " has " + std::to_string(n) + " channels; the plug-in's main input takes " +
                     (mainChannels ? ChannelsTaken(mainChannels) : "none") +
                     (sideChannels ? " (a sidechain goes in with -s)" : ""));
  const int s = in.sidechain.NumChannels();
  if (s > 0 && sideChannels == 0) HostFail(tool, "the plug-in has no sidechain input for " + in.sidechainName);
  if (s > sideChannels)
    HostFail(tool, in.sidechainName + " has " + std::to_string(s) + " channels; the plug-in's sidechain takes " +
                     ChannelsTaken(sideChannels));
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

void PrintHostReport(const HostInput& in, const AudioBuffer& output, const HostOptions& o, double cpu)
{
  printf("Input: %s, %.2f s, %d channels, %.0f Hz\n", in.name.c_str(), in.audio.Seconds(), in.audio.NumChannels(), in.rate);
  if (in.sidechain.NumChannels())
    printf("Sidechain: %s, %d channels, %s\n", in.sidechainName.c_str(), in.sidechain.NumChannels(),
           LevelsText(MeasureLevels(in.sidechain)).c_str());
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
  if (!WriteAudioFile(o.output, output, o.format, &err)) HostFail(tool, err);
  printf("Output: %s (%d channels)\n", o.output.c_str(), output.NumChannels());
}

}  // namespace kvtool
