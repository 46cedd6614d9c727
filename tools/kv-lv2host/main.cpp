// kv-lv2host: runs an LV2 plug-in, found by its URI, over a WAV file or the built-in signal, from
// the command line, and reports what it did: the plug-in, its control inputs, the input and output
// levels and the CPU time per second of audio, measured as kv-vsthost measures it, so the figures
// of the two hosts compare.

#include <algorithm>
#include <cstdio>
#include <string>

#include "Lv2HostedPlugin.h"
#include "audio_buffer.h"
#include "cpu_time.h"
#include "host_cli.h"
#include "param_options.h"

namespace
{
const char* kUsage =
  "usage: kv-lv2host URI [options]\n"
  "       kv-lv2host --list\n"
  "  -i, --input FILE         audio to process (default: the built-in 8-second signal)\n"
  "  -o, --output FILE        write the processed audio; the extension names the file type:\n"
  "                           .wav, .flac, .aif/.aiff or .ogg (Ogg Vorbis)\n"
  "  -r, --rate HZ            sample rate, 8000 to 768000 (default: the input file's, else 44100)\n"
  "  -b, --block N            frames per run call, 1 to 65536 (default 512)\n"
  "  -p, --param NAME=VALUE   set a control input by symbol or name to a number or the label of\n"
  "                           one of its scale points, e.g. -p threshold=-20\n"
  "      --repeat N           process the input N times in a row (for steadier CPU figures)\n"
  "      --format F           output samples: float (default; FLAC: pcm24), pcm24 or pcm16\n"
  "      --list               print the URIs and names of the LV2 plug-ins installed\n"
  "  -q, --quiet              print only the summary\n"
  "  -h, --help               print this help\n"
  "The first two audio inputs and outputs carry the signal; sidechain inputs hear silence.\n";

constexpr const char* kTool = "kv-lv2host";

[[noreturn]] void Fail(const std::string& message)
{
  kvtool::HostFail(kTool, message);
}

struct Options : kvtool::HostOptions
{
  bool list = false;
};

bool ParseOptions(int argc, char** argv, Options* o)
{
  const bool named = kvtool::ParseHostOptions(kTool, kUsage, argc, argv, o, [o](int, char** argv, int* pIdx) {
    return std::string(argv[*pIdx]) == "--list" && (o->list = true);
  });
  // Options of the shared set that LV2 plug-ins have no counterpart for here.
  if (!o->program.empty() || o->listPrograms) Fail("LV2 plug-ins have no programs here");
  if (!o->loadState.empty() || !o->saveState.empty()) Fail("kv-lv2host does not load or save state");
  if (!o->sidechain.empty()) Fail("kv-lv2host feeds no sidechain");
  return o->list || named;
}

void SetControl(Lv2HostedPlugin& plug, const std::string& option, bool quiet)
{
  kvtool::ParamAssignment a;
  std::string err;
  if (!kvtool::ParseParamAssignment(option, &a, &err)) Fail(err);
  const int idx = plug.FindControl(a.name);
  const auto& controls = plug.Controls();
  if (idx < 0)
  {
    std::string names;
    for (const auto& c : controls) names += (names.empty() ? "" : ", ") + c.symbol;
    Fail("no control input \"" + a.name + "\"; the control inputs are: " + names);
  }
  const Lv2HostedPlugin::Control& c = controls[(size_t)idx];
  double value = 0.0;
  bool found = false;
  for (const auto& point : c.scalePoints)
    if (kvtool::SameText(point.second, a.value)) value = point.first, found = true;
  if (!found && !kvtool::LeadingNumber(a.value, &value))
    Fail("control \"" + c.symbol + "\" takes a number or a scale point label, not \"" + a.value + "\"");
  // lilv reports a missing bound as NaN, which no comparison trips over.
  if (value < c.min || value > c.max)
  {
    char range[64];
    snprintf(range, sizeof(range), "%g to %g", c.min, c.max);
    Fail("control \"" + c.symbol + "\" ranges from " + range);
  }
  plug.SetControl(idx, (float)value);
  if (!quiet) printf("Set %s to %g\n", c.symbol.c_str(), value);
}

void PrintControls(const Lv2HostedPlugin& plug)
{
  printf("Control inputs:\n");
  const auto& controls = plug.Controls();
  for (size_t i = 0; i < controls.size(); ++i)
  {
    const auto& c = controls[i];
    printf("  %3u %-16s %-24s %10g  [%g, %g]\n", c.port, c.symbol.c_str(), c.name.c_str(), plug.ControlValue((int)i),
           c.min, c.max);
  }
}

struct RunResult
{
  kvtool::AudioBuffer output;
  double cpuSeconds = 0.0;  // in the blocks only
  int nBlocks = 0;
};

// Runs the input through the plug-in in blocks, `repeat` times over. Main input i takes channel i
// of the input; a mono input feeds both of a stereo pair. As in kv-vsthost, each block's time
// covers filling the plug-in's inputs, the run call and taking its outputs.
RunResult ProcessAll(Lv2HostedPlugin& plug, const kvtool::AudioBuffer& input, int block, int repeat)
{
  const int nFrames = input.NumFrames(), nIn = plug.NumMainInputs(), nOut = plug.NumMainOutputs();
  std::vector<const float*> sources;
  for (int c = 0; c < nIn; ++c)
    sources.push_back(c < input.NumChannels()                  ? input.channels[(size_t)c].data()
                      : c == 1 && input.NumChannels() == 1 ? input.channels[0].data()
                                                           : nullptr);
  RunResult r;
  r.output.sampleRate = input.sampleRate;
  r.output.Resize(std::max(nOut, 1), nFrames);
  plug.Activate();
  for (int pass = 0; pass < repeat; ++pass)
  {
    for (int pos = 0; pos < nFrames; pos += block, ++r.nBlocks)
    {
      const int n = std::min(block, nFrames - pos);
      const double t0 = kvtool::ThreadCpuSeconds();
      for (int c = 0; c < nIn; ++c)
      {
        float* dst = plug.MainInput(c);
        if (sources[(size_t)c]) std::copy(sources[(size_t)c] + pos, sources[(size_t)c] + pos + n, dst);
        else std::fill(dst, dst + n, 0.0f);
      }
      plug.Run(n);
      for (int c = 0; c < nOut; ++c)
        std::copy(plug.MainOutput(c), plug.MainOutput(c) + n, r.output.channels[(size_t)c].begin() + pos);
      r.cpuSeconds += kvtool::ThreadCpuSeconds() - t0;
    }
  }
  plug.Deactivate();
  return r;
}
}  // namespace

int main(int argc, char** argv)
{
  Options o;
  if (!ParseOptions(argc, argv, &o))
  {
    fputs(kUsage, stderr);
    return 2;
  }
  Lv2HostedPlugin plug;
  if (o.list)
  {
    for (const auto& p : plug.ListPlugins()) printf("%s  %s\n", p.uri.c_str(), p.name.c_str());
    if (o.plugin.empty()) return 0;
  }
  const kvtool::HostInput in = kvtool::LoadHostInput(kTool, o);

  std::string err;
  if (!plug.Load(o.plugin, in.rate, o.block, &err)) Fail(err);
  printf("Plug-in: %s\n", plug.Uri().c_str());
  const std::string author = plug.Author();
  printf("  \"%s\"%s, from %s\n", plug.Name().c_str(), author.empty() ? "" : (" by \"" + author + "\"").c_str(),
         plug.BundlePath().c_str());
  printf("  %s\n", plug.PortSummary().c_str());
  for (const std::string& p : o.params) SetControl(plug, p, o.quiet);
  if (!o.quiet) PrintControls(plug);

  const RunResult run = ProcessAll(plug, in.audio, o.block, o.repeat);
  printf("Processed: %d frames in %d blocks of up to %d", in.audio.NumFrames(), run.nBlocks, o.block);
  printf(o.repeat > 1 ? ", %d times (the output holds the last)\n" : "\n", o.repeat);
  kvtool::PrintHostReport(in, run.output, o, run.cpuSeconds);
  kvtool::WriteHostOutput(kTool, o, run.output);
  return 0;
}
