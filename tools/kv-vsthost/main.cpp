// kv-vsthost: runs any VST 2.4 plug-in over a WAV file or the built-in signal, from the command
// line, and reports what it did: the plug-in, its parameters with their display texts, the input
// and output levels and the CPU time per second of audio.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "EditorWindow.h"
#include "VstHostedPlugin.h"
#include "audio_buffer.h"
#include "cpu_time.h"
#include "host_cli.h"
#include "param_options.h"

namespace
{
const std::string kUsage = std::string(
  "usage: kv-vsthost PLUGIN.so [options]\n"
  "Runs a VST 2.4 plug-in over the input and reports its parameters, the levels and the CPU time.\n"
  "The options shared with kv-auhost:\n") + kvtool::kSharedOptionsHelp +
  "kv-vsthost's own:\n"
  "      --double             process in double precision when the plug-in can\n"
  "      --accumulate         use the accumulating process call\n"
  "      --editor             open the plug-in's editor in an X11 window and run the input through\n"
  "                           it in real time, over and over, until the window is closed; prints\n"
  "                           every edit the plug-in reports\n"
  "      --editor-seconds S   close the editor after S seconds\n"
  "The plug-in's first two inputs are its main input; inputs beyond them are its sidechain, fed\n"
  "from -s (silent without it).\n";

constexpr const char* kParamStateHeader = "# kv-vsthost parameter state";

constexpr const char* kTool = "kv-vsthost";

// Inputs beyond these are the plug-in's sidechain.
constexpr int kMainInputs = 2;

struct Options : kvtool::HostOptions
{
  bool useDouble = false, accumulate = false, editor = false;
  double editorSeconds = 0.0;
};

[[noreturn]] void Fail(const std::string& message)
{
  kvtool::HostFail(kTool, message);
}

bool ParseOptions(int argc, char** argv, Options* o)
{
  return kvtool::ParseHostOptions(kTool, kUsage, argc, argv, o, [o](int argc, char** argv, int* pIdx) {
    const std::string a = argv[*pIdx];
    if (a == "--double") o->useDouble = true;
    else if (a == "--editor") o->editor = true;
    else if (a == "--editor-seconds")
    {
      o->editorSeconds = kvtool::NumberOptionValue(kTool, argc, argv, pIdx, 0.001, 1e6);
      o->editor = true;
    }
    else if (a == "--accumulate") o->accumulate = true;
    else return false;
    return true;
  });
}

std::string FourCC(int id)
{
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = (char)((id >> shift) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

std::string FlagsText(int flags)
{
  std::string s;
  const struct
  {
    int bit;
    const char* name;
  } names[] = { { effFlagsHasEditor, "editor" },       { effFlagsCanReplacing, "replacing" },
                { effFlagsCanDoubleReplacing, "double" }, { effFlagsProgramChunks, "chunks" },
                { effFlagsCanMono, "mono" },            { effFlagsIsSynth, "instrument" } };
  for (const auto& n : names)
    if (flags & n.bit) s += (s.empty() ? "" : ", ") + std::string(n.name);
  return s;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>* pBytes)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  pBytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void LoadState(VstHostedPlugin& plug, const std::string& path)
{
  std::vector<unsigned char> bytes;
  if (!ReadFile(path, &bytes)) Fail("cannot read the state file " + path);
  const std::string text(bytes.begin(), bytes.end());
  if (text.compare(0, strlen(kParamStateHeader), kParamStateHeader) == 0)
  {
    std::istringstream lines(text);
    std::string line;
    int n = 0;
    while (std::getline(lines, line))
    {
      int idx = -1;
      float value = 0.0f;
      if (line.empty() || line[0] == '#' || sscanf(line.c_str(), "%d %f", &idx, &value) != 2) continue;
      if (idx >= 0 && idx < plug.NumParams()) plug.SetParam(idx, value), ++n;
    }
    printf("State: set %d parameters from %s\n", n, path.c_str());
    return;
  }
  if (!plug.SetStateChunk(bytes)) Fail("the plug-in refused the state in " + path);
  printf("State: loaded %zu bytes from %s\n", bytes.size(), path.c_str());
}

void SaveState(VstHostedPlugin& plug, const std::string& path)
{
  const std::vector<unsigned char> chunk = plug.GetStateChunk();
  std::ofstream out(path, std::ios::binary);
  if (!out) Fail("cannot write the state file " + path);
  if (!chunk.empty())
  {
    out.write((const char*)chunk.data(), (std::streamsize)chunk.size());
    printf("State: saved %zu bytes to %s\n", chunk.size(), path.c_str());
  }
  else
  {
    // A plug-in without a chunk: its normalised parameter values, one a line.
    out << kParamStateHeader << "\n";
    char line[64];
    for (int i = 0; i < plug.NumParams(); ++i)
    {
      snprintf(line, sizeof(line), "%d %.9g\n", i, plug.GetParam(i));
      out << line;
    }
    printf("State: the plug-in gives no chunk; saved %d parameter values to %s\n", plug.NumParams(), path.c_str());
  }
  if (!out) Fail("short write to " + path);
}

void ChooseProgram(VstHostedPlugin& plug, const std::string& which)
{
  std::vector<std::string> names;
  for (int i = 0; i < plug.NumPrograms(); ++i) names.push_back(plug.ProgramName(i));
  const int idx = kvtool::FindProgram(names, which, kVstMaxProgNameLen - 1);
  if (idx < 0) Fail("no program \"" + which + "\" (see --list-programs)");
  plug.SetProgram(idx);
}

void SetParameter(VstHostedPlugin& plug, const std::string& option, bool quiet)
{
  kvtool::ParamAssignment a;
  std::string err;
  if (!kvtool::ParseParamAssignment(option, &a, &err)) Fail(err);
  const int idx = plug.FindParam(a.name);
  if (idx < 0)
  {
    std::string names;
    for (int i = 0; i < plug.NumParams(); ++i) names += (i ? ", " : "") + plug.ParamName(i);
    Fail("no parameter \"" + a.name + "\"; the parameters are: " + names);
  }
  const float before = plug.GetParam(idx);
  double normalized = 0.0;
  const auto displayAt = [&](double n) {
    plug.SetParam(idx, (float)n);
    return plug.ParamDisplay(idx);
  };
  if (!kvtool::FindNormalizedForValue(plug.ParamName(idx), plug.ParamLabel(idx), displayAt, a.value, &normalized, &err))
  {
    plug.SetParam(idx, before);
    Fail(err);
  }
  plug.SetParam(idx, (float)normalized);
  if (!quiet) printf("Set %s to %s %s (normalised %.6f)\n", plug.ParamName(idx).c_str(), plug.ParamDisplay(idx).c_str(),
                     plug.ParamLabel(idx).c_str(), normalized);
}

void PrintParameters(VstHostedPlugin& plug)
{
  printf("Parameters:\n");
  for (int i = 0; i < plug.NumParams(); ++i)
  {
    const std::string display = plug.ParamDisplay(i) + (plug.ParamLabel(i).empty() ? "" : " " + plug.ParamLabel(i));
    printf("  %3d %-24s %-18s (%.4f)\n", i, plug.ParamName(i).c_str(), display.c_str(), plug.GetParam(i));
  }
}

// The plug-in's block buffers over an input: its first two inputs take the input's channels (a
// mono input feeds both of a stereo pair), the inputs beyond them the sidechain's the same way,
// or silence without one.
class BlockRunner
{
public:
  BlockRunner(VstHostedPlugin& plug, VstHostedPlugin::ProcessKind kind, const kvtool::HostInput& input, int block)
    : mPlug(plug), mKind(kind), mInput(input.audio), mSide(input.sidechain), mNIn(std::max(0, plug.Effect()->numInputs)),
      mNOut(std::max(0, plug.Effect()->numOutputs))
  {
    for (auto* v : { &mIn, &mOut }) v->assign((size_t)(v == &mIn ? mNIn : mNOut), std::vector<float>((size_t)block));
    for (auto* v : { &mDIn, &mDOut }) v->assign((size_t)(v == &mDIn ? mNIn : mNOut), std::vector<double>((size_t)block));
    for (auto& ch : mIn) mInPtrs.push_back(ch.data());
    for (auto& ch : mOut) mOutPtrs.push_back(ch.data());
    for (auto& ch : mDIn) mDInPtrs.push_back(ch.data());
    for (auto& ch : mDOut) mDOutPtrs.push_back(ch.data());
  }

  // Processes n frames of the input from pos; the output lands in *pOutput from pos when given.
  // Only the buffers the call reads and writes are filled and taken, one copy per channel, as
  // kv-lv2host does: the host's part of the timed block is then the same for every plug-in.
  void Run(int pos, int n, kvtool::AudioBuffer* pOutput)
  {
    const bool isDouble = mKind == VstHostedPlugin::ProcessKind::kDouble;
    for (int c = 0; c < mNIn; ++c)
    {
      const float* src = Source(c);
      if (isDouble)
      {
        double* dst = mDIn[(size_t)c].data();
        if (src) std::copy(src + pos, src + pos + n, dst);
        else std::fill(dst, dst + n, 0.0);
      }
      else
      {
        float* dst = mIn[(size_t)c].data();
        if (src) std::copy(src + pos, src + pos + n, dst);
        else std::fill(dst, dst + n, 0.0f);
      }
    }
    mPlug.ProcessBlock(mKind, mInPtrs.data(), mOutPtrs.data(), mDInPtrs.data(), mDOutPtrs.data(), n);
    if (!pOutput) return;
    for (int c = 0; c < mNOut; ++c)
    {
      float* dst = pOutput->channels[(size_t)c].data() + pos;
      if (isDouble) std::copy(mDOut[(size_t)c].data(), mDOut[(size_t)c].data() + n, dst);
      else std::copy(mOut[(size_t)c].data(), mOut[(size_t)c].data() + n, dst);
    }
  }

  int NumOutputs() const { return mNOut; }

private:
  const float* Source(int i) const
  {
    const kvtool::AudioBuffer& from = i < kMainInputs ? mInput : mSide;
    const int c = i < kMainInputs ? i : i - kMainInputs;
    if (c < from.NumChannels()) return from.channels[(size_t)c].data();
    if (c == 1 && from.NumChannels() == 1) return from.channels[0].data();
    return nullptr;
  }

  VstHostedPlugin& mPlug;
  VstHostedPlugin::ProcessKind mKind;
  const kvtool::AudioBuffer& mInput;
  const kvtool::AudioBuffer& mSide;
  int mNIn, mNOut;
  std::vector<std::vector<float>> mIn, mOut;
  std::vector<std::vector<double>> mDIn, mDOut;
  std::vector<float*> mInPtrs, mOutPtrs;
  std::vector<double*> mDInPtrs, mDOutPtrs;
};

struct RunResult
{
  kvtool::AudioBuffer output;
  double cpuSeconds = 0.0;  // in the process calls only
  int nBlocks = 0;
};

// Runs the input through the plug-in in blocks, `repeat` times over.
RunResult ProcessAll(VstHostedPlugin& plug, VstHostedPlugin::ProcessKind kind, const kvtool::HostInput& input,
                     int block, int repeat)
{
  BlockRunner runner(plug, kind, input, block);
  const int nFrames = input.audio.NumFrames();
  RunResult r;
  r.output.sampleRate = input.rate;
  r.output.Resize(std::max(runner.NumOutputs(), 1), nFrames);
  plug.Start();
  for (int pass = 0; pass < repeat; ++pass)
  {
    for (int pos = 0; pos < nFrames; pos += block, ++r.nBlocks)
    {
      const double t0 = kvtool::ThreadCpuSeconds();
      runner.Run(pos, std::min(block, nFrames - pos), &r.output);
      r.cpuSeconds += kvtool::ThreadCpuSeconds() - t0;
    }
  }
  plug.Stop();
  return r;
}

void PrintEdits(VstHostedPlugin& plug, int* pCount)
{
  for (const std::string& line : plug.TakeEditLog())
  {
    printf("Edit: %s\n", line.c_str());
    ++*pCount;
  }
  fflush(stdout);
}

// The editor in a window of its own: editor-idle at 30 Hz on this thread, the audio on another,
// in real time, until the window closes or the time is up.
int RunEditor(VstHostedPlugin& plug, const Options& o, const kvtool::HostInput& input)
{
  if (!plug.HasEditor()) Fail("the plug-in has no editor");
  // A plug-in that reports its size only once its editor is open opens into a window of a
  // provisional size; the window takes the size the plug-in reports once open.
  constexpr int kProvisionalWidth = 640, kProvisionalHeight = 480;
  int w = kProvisionalWidth, h = kProvisionalHeight;
  const bool sizeKnown = plug.EditorSize(&w, &h);
  EditorWindow window;
  std::string err;
  if (!window.Open(w, h, plug.EffectName(), &err)) Fail(err);
  if (!plug.OpenEditor(window.Id())) Fail("the plug-in did not open its editor in the window");
  if (!plug.EditorSize(&w, &h) && !sizeKnown)
  {
    plug.CloseEditor();
    Fail("the plug-in opened its editor but reports no size for it");
  }
  window.Show(w, h);
  printf("Editor: opened %d x %d in X11 window 0x%lx%s\n", w, h, (unsigned long)window.Id(),
         sizeKnown ? "" : " (size reported once open)");
  fflush(stdout);

  std::atomic<bool> stop{ false };
  const VstHostedPlugin::ProcessKind kind =
    o.accumulate ? VstHostedPlugin::ProcessKind::kAccumulating : plug.BestProcessKind(o.useDouble);
  std::thread audio([&] {
    // One block at a time, each when its time has come, the input looping.
    BlockRunner runner(plug, kind, input, o.block);
    const auto blockTime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(o.block / input.rate));
    const int nFrames = input.audio.NumFrames();
    auto next = std::chrono::steady_clock::now();
    plug.Start();
    for (int pos = 0; !stop.load(); pos = pos + o.block < nFrames ? pos + o.block : 0)
    {
      runner.Run(pos, std::min(o.block, nFrames - pos), nullptr);
      next += blockTime;
      std::this_thread::sleep_until(next);
    }
    plug.Stop();
  });

  int edits = 0;
  const auto start = std::chrono::steady_clock::now();
  auto tick = start;
  while (window.Poll())
  {
    plug.IdleEditor();
    PrintEdits(plug, &edits);
    if (o.editorSeconds > 0 && std::chrono::steady_clock::now() - start >= std::chrono::duration<double>(o.editorSeconds))
      break;
    tick += std::chrono::milliseconds(33);
    std::this_thread::sleep_until(tick);
  }
  plug.CloseEditor();
  stop.store(true);
  audio.join();
  PrintEdits(plug, &edits);
  printf("Editor: closed after %.1f s, %d edits reported\n",
         std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), edits);
  return 0;
}
}  // namespace

int main(int argc, char** argv)
{
  Options o;
  if (!ParseOptions(argc, argv, &o))
  {
    fputs(kUsage.c_str(), stderr);
    return 2;
  }
  const kvtool::HostInput in = kvtool::LoadHostInput(kTool, o);
  const double rate = in.rate;

  // ----- Plug-in -----
  VstHostedPlugin plug;
  std::string err;
  if (!plug.Load(o.plugin, &err)) Fail(o.plugin + ": " + err);
  AEffect* e = plug.Effect();
  kvtool::CheckHostChannels(kTool, in, std::min(std::max(0, e->numInputs), kMainInputs),
                            std::max(0, e->numInputs - kMainInputs));
  plug.Open(rate, o.block);

  printf("Plug-in: %s\n", o.plugin.c_str());
  printf("  \"%s\" by \"%s\" (product \"%s\"), version %d, id '%s', entered through %s\n", plug.EffectName().c_str(),
         plug.VendorString().c_str(), plug.ProductString().c_str(), e->version, FourCC(e->uniqueID).c_str(),
         plug.EntryName());
  printf("  %d inputs, %d outputs, %d parameters, %d programs, latency %d, flags 0x%x (%s)\n", e->numInputs,
         e->numOutputs, e->numParams, e->numPrograms, e->initialDelay, e->flags, FlagsText(e->flags).c_str());
  if (o.listPrograms)
    for (int i = 0; i < plug.NumPrograms(); ++i) printf("  program %3d: %s\n", i, plug.ProgramName(i).c_str());

  if (!o.loadState.empty()) LoadState(plug, o.loadState);
  if (!o.program.empty()) ChooseProgram(plug, o.program);
  for (const std::string& p : o.params) SetParameter(plug, p, o.quiet);
  if (plug.NumPrograms() > 0)
    printf("Program: %d \"%s\"\n", plug.CurrentProgram(), plug.ProgramName(plug.CurrentProgram()).c_str());
  if (!o.quiet) PrintParameters(plug);

  // ----- Processing -----
  if (o.editor) return RunEditor(plug, o, in);
  const VstHostedPlugin::ProcessKind kind =
    o.accumulate ? VstHostedPlugin::ProcessKind::kAccumulating : plug.BestProcessKind(o.useDouble);
  const RunResult run = ProcessAll(plug, kind, in, o.block, o.repeat);
  const int nFrames = in.audio.NumFrames();
  const kvtool::AudioBuffer& output = run.output;
  const double cpu = run.cpuSeconds;
  const int nBlocks = run.nBlocks;

  const char* kindName = kind == VstHostedPlugin::ProcessKind::kDouble      ? "double replacing"
                         : kind == VstHostedPlugin::ProcessKind::kReplacing ? "float replacing"
                                                                            : "float accumulating";
  printf("Processed: %d frames in %d blocks of up to %d, %s", nFrames, nBlocks, o.block, kindName);
  printf(o.repeat > 1 ? ", %d times (the output holds the last)\n" : "\n", o.repeat);
  if (plug.EventsReceived()) printf("Events sent back by the plug-in: %d\n", plug.EventsReceived());
  kvtool::PrintHostReport(in, output, o, cpu);
  kvtool::WriteHostOutput(kTool, o, output);
  if (!o.saveState.empty()) SaveState(plug, o.saveState);
  return 0;
}
