// kv-auhost: runs an Audio Unit bundle over a WAV file or the built-in signal, from the command
// line, as a host does: it registers and opens the component through its entry, sets the stream
// formats, feeds the inputs by render callback or through a source unit, renders, and reports the
// unit, its parameters with their display values, the levels and the CPU time per second of audio.
// Its options are kv-vsthost's wherever they apply, so that the two deliverables can be run side by
// side on the same input.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AUHostedUnit.h"
#include "audio_buffer.h"
#include "default_signal.h"
#include "param_options.h"

namespace
{
const char* kUsage =
  "usage: kv-auhost BUNDLE.component [options]\n"
  "  -i, --input FILE         audio to process (default: the built-in 8-second signal)\n"
  "  -s, --sidechain FILE     audio for the second input bus (default: none connected)\n"
  "  -o, --output FILE        write the processed audio as WAV\n"
  "  -r, --rate HZ            sample rate (default: the input file's, else 44100)\n"
  "  -b, --block N            frames per render call (default 512)\n"
  "  -p, --param NAME=VALUE   set a parameter by name to a display value, e.g. -p Threshold=-20\n"
  "      --program N|NAME     choose a factory program before the parameters\n"
  "      --load-state FILE    load a saved class-info state before the program and parameters\n"
  "      --save-state FILE    save the class-info state (an XML property list) after processing\n"
  "      --inputs KIND        how inputs arrive: callback (default), fast (a source unit pulled\n"
  "                           through its fast render procedure) or entry (pulled with AudioUnitRender)\n"
  "      --repeat N           process the input N times in a row (for steadier CPU figures)\n"
  "      --format F           output samples: float (default), pcm24 or pcm16\n"
  "      --list-programs      print the factory programs\n"
  "      --list-properties    print the properties the unit answers\n"
  "  -q, --quiet              print only the summary\n";

struct Options
{
  std::string plugin, input, sidechain, output, program, loadState, saveState;
  double rate = 0.0;
  int block = 512;
  int repeat = 1;
  std::vector<std::string> params;
  kvau::InputKind inputs = kvau::InputKind::kRenderCallback;
  bool listPrograms = false, listProperties = false, quiet = false;
  kvtool::SampleFormat format = kvtool::SampleFormat::kFloat32;
};

[[noreturn]] void Fail(const std::string& message)
{
  fprintf(stderr, "kv-auhost: %s\n", message.c_str());
  exit(2);
}

bool ParseOptions(int argc, char** argv, Options* o)
{
  for (int i = 1; i < argc; ++i)
  {
    const std::string a = argv[i];
    const auto next = [&]() -> std::string {
      if (i + 1 >= argc) Fail(a + " needs a value");
      return argv[++i];
    };
    if (a == "-h" || a == "--help") return false;
    else if (a == "-i" || a == "--input") o->input = next();
    else if (a == "-s" || a == "--sidechain") o->sidechain = next();
    else if (a == "-o" || a == "--output") o->output = next();
    else if (a == "-r" || a == "--rate") o->rate = atof(next().c_str());
    else if (a == "-b" || a == "--block") o->block = atoi(next().c_str());
    else if (a == "-p" || a == "--param") o->params.push_back(next());
    else if (a == "--program") o->program = next();
    else if (a == "--load-state") o->loadState = next();
    else if (a == "--save-state") o->saveState = next();
    else if (a == "--repeat") o->repeat = atoi(next().c_str());
    else if (a == "--list-programs") o->listPrograms = true;
    else if (a == "--list-properties") o->listProperties = true;
    else if (a == "-q" || a == "--quiet") o->quiet = true;
    else if (a == "--inputs")
    {
      const std::string k = next();
      if (k == "callback") o->inputs = kvau::InputKind::kRenderCallback;
      else if (k == "fast") o->inputs = kvau::InputKind::kSourceFastProc;
      else if (k == "entry") o->inputs = kvau::InputKind::kSourceEntry;
      else Fail("unknown input kind " + k);
    }
    else if (a == "--format")
    {
      const std::string f = next();
      if (f == "float") o->format = kvtool::SampleFormat::kFloat32;
      else if (f == "pcm24") o->format = kvtool::SampleFormat::kPcm24;
      else if (f == "pcm16") o->format = kvtool::SampleFormat::kPcm16;
      else Fail("unknown format " + f);
    }
    else if (!a.empty() && a[0] == '-') Fail("unknown option " + a);
    else if (o->plugin.empty()) o->plugin = a;
    else Fail("one bundle at a time (" + a + ")");
  }
  return !o->plugin.empty();
}

// The bundle folder for a path to it or to the module inside it.
std::string BundleFolder(const std::string& path)
{
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return path;
  const size_t pos = path.rfind("/Contents/");
  return pos == std::string::npos ? path : path.substr(0, pos);
}

void ChooseProgram(kvau::AUHostedUnit& unit, const std::string& which)
{
  const std::vector<std::string> names = unit.FactoryPresets();
  int idx = -1;
  char* end = nullptr;
  const long n = strtol(which.c_str(), &end, 10);
  if (end != which.c_str() && *end == 0) idx = (int)n;
  for (int i = 0; idx < 0 && i < (int)names.size(); ++i)
    if (kvtool::SameText(names[(size_t)i], which)) idx = i;
  if (idx < 0 || idx >= (int)names.size()) Fail("no program \"" + which + "\" (see --list-programs)");
  if (unit.ChoosePreset(idx)) Fail("the unit refused program " + std::to_string(idx));
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

std::string LevelsText(const kvtool::Levels& l)
{
  return "peak " + kvtool::FormatDb(l.peakDb) + ", RMS " + kvtool::FormatDb(l.rmsDb);
}

bool ReadText(const std::string& path, std::string* pText)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  pText->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The layout to ask for: the input's channels (a mono input feeds a stereo pair when the unit has no
// mono layout) and the side chain's, with as many outputs as a supported layout gives.
void ChooseLayout(kvau::AUHostedUnit& unit, int nInput, int nSide, int* pMain, int* pOut)
{
  std::vector<AUChannelInfo> layouts(16);
  UInt32 size = (UInt32)(layouts.size() * sizeof(AUChannelInfo));
  if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, layouts.data(), &size))
    size = 0;
  layouts.resize(size / sizeof(AUChannelInfo));
  // As many outputs as main inputs when a layout has that, else the first that takes the inputs.
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
    fputs(kUsage, stderr);
    return 2;
  }
  if (o.block <= 0 || o.block > 1 << 16) Fail("the block size must be 1 to 65536 frames");
  if (o.repeat < 1 || o.repeat > 10000) Fail("--repeat takes 1 to 10000");

  // ----- Input -----
  std::string err;
  kvtool::AudioBuffer input, side;
  std::string inputName;
  if (!o.input.empty())
  {
    if (!kvtool::ReadAudioFile(o.input, &input, &err)) Fail(err);
    inputName = o.input;
    if (o.rate > 0.0 && o.rate != input.sampleRate) Fail("the input runs at a different rate than --rate");
  }
  const double rate = o.rate > 0.0 ? o.rate : (input.NumChannels() ? input.sampleRate : 44100.0);
  if (rate < 8000.0 || rate > 768000.0) Fail("the sample rate must be 8000 to 768000 Hz");
  if (o.input.empty())
  {
    input = kvtool::MakeDefaultSignal(rate, 2);
    inputName = "built-in signal";
  }
  if (!o.sidechain.empty())
  {
    if (!kvtool::ReadAudioFile(o.sidechain, &side, &err)) Fail(err);
    if (side.sampleRate != rate) Fail("the side chain runs at a different rate than the input");
  }

  // ----- Unit -----
  kvau::ComponentEntry entry;
  const std::string bundle = BundleFolder(o.plugin);
  Component component = kvau::RegisterBundleComponent(bundle, &entry, &err);
  if (!component) Fail(bundle + ": " + err);
  kvau::AUHostedUnit unit;
  if (!unit.Open(component, &err)) Fail(err);
  const int nSide = side.NumChannels() ? std::min(side.NumChannels(), 2) : 0;
  int nMain = 2, nOut = 2;
  ChooseLayout(unit, input.NumChannels(), nSide, &nMain, &nOut);
  if (unit.Prepare(rate, (UInt32)o.block, nMain, nSide, nOut, o.inputs, &err)) Fail(err);

  const ComponentResult version = CallComponentSelector(unit.Unit(), kComponentVersionSelect);
  printf("Audio Unit: %s\n", bundle.c_str());
  printf("  \"%s\" '%s' '%s' '%s', version 0x%08x, bundle %s, entered through %s\n", entry.name.c_str(),
         kvau::FourCC(entry.description.componentType).c_str(), kvau::FourCC(entry.description.componentSubType).c_str(),
         kvau::FourCC(entry.description.componentManufacturer).c_str(), (unsigned)version, entry.identifier.c_str(),
         entry.entryName.c_str());
  const std::vector<kvau::ParamInfo> params = unit.Parameters();
  const std::vector<std::string> programs = unit.FactoryPresets();
  Float64 latency = 0.0;
  UInt32 size = sizeof(latency);
  AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &latency, &size);
  const char* kinds[] = { "render callback", "source unit, fast render procedure", "source unit, AudioUnitRender" };
  printf("  %d main and %d side-chain input channels, %d outputs, %zu parameters, %zu programs, latency %g s\n", nMain,
         nSide, nOut, params.size(), programs.size(), latency);
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
  if (!o.program.empty()) ChooseProgram(unit, o.program);
  for (const std::string& p : o.params)
  {
    kvtool::ParamAssignment a;
    if (!kvtool::ParseParamAssignment(p, &a, &err)) Fail(err);
    std::string shown;
    if (!unit.SetParameterByDisplay(a.name, a.value, &shown, &err)) Fail(err);
    if (!o.quiet) printf("Set %s to %s\n", a.name.c_str(), shown.c_str());
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
    const OSStatus r = unit.Process(input, nSide ? &side : nullptr, o.block, &output, &passCpu);
    if (r) Fail("render failed (" + std::to_string(r) + ")");
    cpu += passCpu;
  }
  const int nFrames = input.NumFrames();
  printf("Input: %s, %.2f s, %d channels, %.0f Hz\n", inputName.c_str(), input.Seconds(), input.NumChannels(), rate);
  printf("Processed: %d frames in %d renders of up to %d", nFrames, (nFrames + o.block - 1) / o.block * o.repeat, o.block);
  printf(o.repeat > 1 ? ", %d times (the output holds the last)\n" : "\n", o.repeat);
  printf("Levels:\n  input   %s\n  output  %s\n", LevelsText(kvtool::MeasureLevels(input)).c_str(),
         LevelsText(kvtool::MeasureLevels(output)).c_str());
  if (o.input.empty() && !o.quiet)
  {
    printf("  RMS by passage, input -> output:\n");
    for (const auto& p : kvtool::kDefaultSignalPassages)
    {
      const int first = (int)(p.start * rate), count = (int)((p.end - p.start) * rate);
      printf("    %-16s %9s -> %s\n", p.name,
             kvtool::FormatDb(kvtool::MeasureLevels(input.channels[0], first, count).rmsDb).c_str(),
             kvtool::FormatDb(kvtool::MeasureLevels(output.channels[0], first, count).rmsDb).c_str());
    }
  }
  const double seconds = input.Seconds() * o.repeat;
  printf("CPU: %.4f ms per second of audio (%.4f%% of one core), %.2f ms in all\n",
         seconds > 0 ? 1000.0 * cpu / seconds : 0.0, seconds > 0 ? 100.0 * cpu / seconds : 0.0, 1000.0 * cpu);

  if (!o.output.empty())
  {
    if (!kvtool::WriteWavFile(o.output, output, o.format, &err)) Fail(err);
    printf("Output: %s (%d channels)\n", o.output.c_str(), output.NumChannels());
  }
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
