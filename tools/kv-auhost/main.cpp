// kv-auhost: runs an Audio Unit bundle over a WAV file or the built-in signal, from the command
// line, as a host does: it registers and opens the component through its entry, sets the stream
// formats, feeds the inputs by render callback or through a source unit, renders, and reports the
// unit, its parameters with their display values, the levels and the CPU time per second of audio.
// It takes the same options as kv-vsthost (the shared ones of tools/common/host_cli.h), so that the
// two deliverables run side by side on the same input.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AUHostedUnit.h"
#include "host_cli.h"
#include "param_options.h"

namespace
{
const char* kTool = "kv-auhost";

// What one input bus takes here: mono or stereo.
constexpr int kMaxBusChannels = 2;
const std::string kUsage = std::string(
  "usage: kv-auhost BUNDLE.component [options]\n"
  "Runs an Audio Unit bundle over the input and reports its parameters, the levels and the CPU time.\n"
  "The options shared with kv-vsthost:\n") + kvtool::kSharedOptionsHelp +
  "kv-auhost's own:\n"
  "      --inputs KIND        how inputs arrive: callback (default), fast (a source unit pulled\n"
  "                           through its fast render procedure) or entry (pulled with AudioUnitRender)\n"
  "      --list-properties    print the properties the unit answers\n"
  "The input feeds the unit's first input bus; -s feeds its second (its sidechain), which is left\n"
  "unconnected without it. The state files hold the class-info state as an XML property list.\n";

struct Options : kvtool::HostOptions
{
  kvau::InputKind inputs = kvau::InputKind::kRenderCallback;
  bool listProperties = false;
};

[[noreturn]] void Fail(const std::string& message)
{
  kvtool::HostFail(kTool, message);
}

bool ParseOptions(int argc, char** argv, Options* o)
{
  return kvtool::ParseHostOptions(kTool, kUsage, argc, argv, o, [o](int argc, char** argv, int* pIdx) {
    const std::string a = argv[*pIdx];
    if (a == "--inputs")
    {
      const std::string k = kvtool::OptionValue(kTool, argc, argv, pIdx);
      if (k == "callback") o->inputs = kvau::InputKind::kRenderCallback;
      else if (k == "fast") o->inputs = kvau::InputKind::kSourceFastProc;
      else if (k == "entry") o->inputs = kvau::InputKind::kSourceEntry;
      else Fail("--inputs takes callback, fast or entry, not \"" + k + "\"");
    }
    else if (a == "--list-properties") o->listProperties = true;
    else return false;
    return true;
  });
}

// The bundle folder for a path to it or to the module inside it.
std::string BundleFolder(const std::string& path)
{
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return path;
  const size_t pos = path.rfind("/Contents/");
  return pos == std::string::npos ? path : path.substr(0, pos);
}

void PrintParameters(kvau::AUHostedUnit& unit)
{
  printf("Parameters:\n");
  for (const kvau::ParamInfo& p : unit.Parameters())
  {
    const float v = unit.GetParameter(p.id);
    const std::string display = unit.DisplayText(p, v) + (p.unitName.empty() ? "" : " " + p.unitName);
    printf("  %3u %-24s %-18s (%g in %g..%g, unit %u)\n", p.id, p.name.c_str(), display.c_str(), v, p.minValue,
           p.maxValue, p.unit);
  }
}

bool ReadText(const std::string& path, std::string* pText)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  pText->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The layout to ask for: the input's channels (a mono input feeds a stereo pair when the unit has
// no mono layout) and the side chain's, with as many outputs as main inputs where a layout has that.
void ChooseLayout(kvau::AUHostedUnit& unit, int nInput, int nSide, int* pMain, int* pOut)
{
  std::vector<AUChannelInfo> layouts(16);
  UInt32 size = (UInt32)(layouts.size() * sizeof(AUChannelInfo));
  if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, layouts.data(), &size))
    size = 0;
  layouts.resize(size / sizeof(AUChannelInfo));
  for (int main : { std::min(nInput, 2), 2 })
    for (bool sameOut : { true, false })
      for (const AUChannelInfo& l : layouts)
        if ((l.inChannels == main + nSide || l.inChannels < 0) && (!sameOut || l.outChannels == main))
        {
          *pMain = main;
          *pOut = l.outChannels > 0 ? l.outChannels : main;
          return;
        }
  Fail("the unit has no layout for " + std::to_string(nInput) + " input and " + std::to_string(nSide) + " side-chain channels");
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
  const kvtool::HostInput input = kvtool::LoadHostInput(kTool, o);
  const kvtool::AudioBuffer& side = input.sidechain;
  std::string err;

  // ----- Unit -----
  kvau::ComponentEntry entry;
  const std::string bundle = BundleFolder(o.plugin);
  Component component = kvau::RegisterBundleComponent(bundle, &entry, &err);
  if (!component) Fail(bundle + ": " + err);
  kvau::AUHostedUnit unit;
  if (!unit.Open(component, &err)) Fail(err);
  kvtool::CheckHostChannels(kTool, input, kMaxBusChannels, unit.NumInputBuses() > 1 ? kMaxBusChannels : 0);
  const int nSide = side.NumChannels();
  int nMain = 2, nOut = 2;
  ChooseLayout(unit, input.audio.NumChannels(), nSide, &nMain, &nOut);
  if (unit.Prepare(input.rate, (UInt32)o.block, nMain, nSide, nOut, o.inputs, &err)) Fail(err);

  const ComponentResult version = CallComponentSelector(unit.Unit(), kComponentVersionSelect);
  printf("Audio Unit: %s\n", bundle.c_str());
  printf("  \"%s\" '%s' '%s' '%s', version 0x%08x, bundle %s, entered through %s\n", entry.name.c_str(),
         kvau::FourCC(entry.description.componentType).c_str(), kvau::FourCC(entry.description.componentSubType).c_str(),
         kvau::FourCC(entry.description.componentManufacturer).c_str(), (unsigned)version, entry.identifier.c_str(),
         entry.entryName.c_str());
  const std::vector<std::string> programs = unit.FactoryPresets();
  Float64 latency = 0.0;
  UInt32 size = sizeof(latency);
  AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &latency, &size);
  const char* kinds[] = { "render callback", "source unit, fast render procedure", "source unit, AudioUnitRender" };
  printf("  %d main and %d side-chain input channels, %d outputs, %zu parameters, %zu programs, latency %g s\n", nMain,
         nSide, nOut, unit.Parameters().size(), programs.size(), latency);
  printf("  inputs by %s\n", kinds[(int)o.inputs]);
  if (o.listPrograms)
    for (size_t i = 0; i < programs.size(); ++i) printf("  program %3zu: %s\n", i, programs[i].c_str());
  if (o.listProperties)
  {
    printf("Properties:\n");
    for (const std::string& line : unit.DescribeProperties()) printf("  %s\n", line.c_str());
  }

  if (!o.loadState.empty())
  {
    std::string xml;
    if (!ReadText(o.loadState, &xml)) Fail("cannot read the state file " + o.loadState);
    if (!unit.LoadState(xml, &err)) Fail(o.loadState + ": " + err);
    printf("State: loaded %s\n", o.loadState.c_str());
  }
  if (!o.program.empty())
  {
    const int idx = kvtool::FindProgram(programs, o.program);
    if (idx < 0) Fail("no program \"" + o.program + "\" (see --list-programs)");
    if (unit.ChoosePreset(idx)) Fail("the unit refused program " + std::to_string(idx));
  }
  for (const std::string& p : o.params)
  {
    kvtool::ParamAssignment a;
    if (!kvtool::ParseParamAssignment(p, &a, &err)) Fail(err);
    std::string shown, name;
    if (!unit.SetParameterByDisplay(a.name, a.value, &shown, &err, &name)) Fail(err);
    if (!o.quiet) printf("Set %s to %s\n", name.c_str(), shown.c_str());
  }
  std::string programName;
  const int program = unit.CurrentPreset(&programName);
  if (program >= 0) printf("Program: %d \"%s\"\n", program, programName.c_str());
  if (!o.quiet) PrintParameters(unit);

  // ----- Processing -----
  kvtool::AudioBuffer output;
  double cpu = 0.0;
  for (int pass = 0; pass < o.repeat; ++pass)
  {
    double passCpu = 0.0;
    const OSStatus r = unit.Process(input.audio, nSide ? &side : nullptr, o.block, &output, &passCpu);
    if (r) Fail("render failed (" + std::to_string(r) + ")");
    cpu += passCpu;
  }
  const int nFrames = input.audio.NumFrames();
  printf("Processed: %d frames in %d renders of up to %d", nFrames, (nFrames + o.block - 1) / o.block * o.repeat, o.block);
  printf(o.repeat > 1 ? ", %d times (the output holds the last)\n" : "\n", o.repeat);
  kvtool::PrintHostReport(input, output, o, cpu);
  kvtool::WriteHostOutput(kTool, o, output);
  if (!o.saveState.empty())
  {
    std::string xml;
    if (!unit.SaveState(&xml, &err)) Fail(err);
    std::ofstream out(o.saveState, std::ios::binary);
    out << xml;
    if (!out) Fail("cannot write the state file " + o.saveState);
    printf("State: saved to %s\n", o.saveState.c_str());
  }
  unit.Close();
  UnregisterComponent(component);
  return 0;
}
