// kv-editor-render: shows the plug-in's editor headless and writes what a user would see as a PNG:
// the VST build of the product in process, its images from the built bundle, a factory program,
// parameters and meter values as given, then scripted gestures on the controls; it prints what
// the host was told.

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <AppKit/testkit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/testkit.h>

#include "IControl.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"
#include "host_cli.h"
#include "param_options.h"

namespace
{
constexpr const char* kTool = "kv-editor-render";

const char* kUsage =
  "usage: kv-editor-render [options] -o OUT.png\n"
  "  -o, --output FILE        the picture to write (800 x 400 PNG)\n"
  "      --bundle PATH        the VST bundle folder with the editor images (default: the build's)\n"
  "      --program N|NAME     a factory program, by number or name\n"
  "  -p, --param NAME=VALUE   a parameter by name and display value, e.g. -p Threshold=-20\n"
  "      --meter in|out|gr=V  a meter's value, 0 to 1, as the audio thread would set it\n"
  "      --drag NAME=DY       press the control of parameter NAME, drag DY pixels up (down if negative)\n"
  "      --dblclick NAME      double-click the control of parameter NAME\n"
  "      --wheel NAME=STEPS   turn the wheel STEPS steps over the control of parameter NAME\n"
  "Gestures run in the order given, after the program, parameters and meters. Prints every edit\n"
  "the host was told of and the display of every parameter.\n";

struct Gesture
{
  enum EKind { kDrag, kDoubleClick, kWheel } kind;
  std::string param;
  int amount;
};

struct Options
{
  std::string output, bundle = KV_DEFAULT_VST_BUNDLE, program;
  std::vector<std::string> params, meters;
  std::vector<Gesture> gestures;
};

std::vector<std::string> sHostLog;

VstIntPtr HostCallback(AEffect*, VstInt32 opCode, VstInt32 idx, VstIntPtr, void*, float opt)
{
  char line[64];
  if (opCode == audioMasterAutomate) snprintf(line, sizeof(line), "automate %d %.4f", idx, opt);
  else if (opCode == audioMasterBeginEdit) snprintf(line, sizeof(line), "begin %d", idx);
  else if (opCode == audioMasterEndEdit) snprintf(line, sizeof(line), "end %d", idx);
  else return 0;
  sHostLog.push_back(line);
  return 0;
}

[[noreturn]] void Fail(const std::string& message)
{
  kvtool::HostFail(kTool, message);
}

// "NAME=N" into its name and integer.
Gesture ParseGesture(Gesture::EKind kind, const std::string& arg)
{
  if (kind == Gesture::kDoubleClick) return Gesture{ kind, kvtool::Trim(arg), 0 };
  kvtool::ParamAssignment a;
  std::string err;
  double n = 0.0;
  if (!kvtool::ParseParamAssignment(arg, &a, &err)) Fail(err);
  if (!kvtool::LeadingNumber(a.value, &n)) Fail("not a number: " + a.value);
  return Gesture{ kind, a.name, (int)std::lround(n) };
}

Options ParseOptions(int argc, char** argv)
{
  Options o;
  for (int i = 1; i < argc; ++i)
  {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail(a + " needs a value");
      return argv[++i];
    };
    if (a == "-h" || a == "--help")
    {
      fputs(kUsage, stdout);
      exit(0);
    }
    else if (a == "-o" || a == "--output") o.output = value();
    else if (a == "--bundle") o.bundle = value();
    else if (a == "--program") o.program = value();
    else if (a == "-p" || a == "--param") o.params.push_back(value());
    else if (a == "--meter") o.meters.push_back(value());
    else if (a == "--drag") o.gestures.push_back(ParseGesture(Gesture::kDrag, value()));
    else if (a == "--dblclick") o.gestures.push_back(ParseGesture(Gesture::kDoubleClick, value()));
    else if (a == "--wheel") o.gestures.push_back(ParseGesture(Gesture::kWheel, value()));
    else Fail("unknown option " + a + " (see --help)");
  }
  if (o.output.empty()) Fail("no output picture given (-o FILE)");
  return o;
}

int ParamIndex(Kestrovane* plug, const std::string& name)
{
  for (int i = 0; i < plug->NParams(); ++i)
    if (kvtool::SameText(plug->GetParam(i)->GetNameForHost(), name)) return i;
  Fail("no parameter named \"" + name + "\"");
}

void SetParameter(Kestrovane* plug, AEffect* e, const std::string& option)
{
  kvtool::ParamAssignment a;
  std::string err;
  if (!kvtool::ParseParamAssignment(option, &a, &err)) Fail(err);
  const int idx = ParamIndex(plug, a.name);
  const IParam* p = plug->GetParam(idx);
  double normalized = 0.0;
  const auto displayAt = [p](double v) {
    char text[128];
    p->GetDisplayForHost(v, true, text);
    return std::string(text);
  };
  if (!kvtool::FindNormalizedForDisplay(displayAt, a.value, &normalized))
    Fail("\"" + a.value + "\" is not a value of " + a.name);
  e->setParameter(e, idx, (float)normalized);
}

void SetMeter(Kestrovane* plug, const std::string& option)
{
  kvtool::ParamAssignment a;
  std::string err;
  double v = 0.0;
  if (!kvtool::ParseParamAssignment(option, &a, &err)) Fail(err);
  if (!kvtool::LeadingNumber(a.value, &v) || !(v >= 0.0 && v <= 1.0)) Fail("a meter's value is 0 to 1: " + a.value);
  const Kestrovane::EMeter meter = kvtool::SameText(a.name, "in")    ? Kestrovane::kInputMeter
                                   : kvtool::SameText(a.name, "out") ? Kestrovane::kOutputMeter
                                   : kvtool::SameText(a.name, "gr")  ? Kestrovane::kGainReductionMeter
                                                                     : Kestrovane::kNumMeters;
  if (meter == Kestrovane::kNumMeters) Fail("meters are in, out and gr, not " + a.name);
  plug->GetMeterControl(meter)->SetValueFromPlug(v);
}

void Frame()
{
  FoundationTestKit::RunFor(1.0 / 30.0);
}

// The gesture at the centre of the parameter's control; window coordinates run upwards.
void Perform(Kestrovane* plug, IGraphicsMac* g, NSWindow* w, const Gesture& gesture)
{
  const int idx = ParamIndex(plug, gesture.param);
  IControl* control = nullptr;
  for (int i = 0; i < g->NControls() && !control; ++i)
    if (g->GetControl(i)->ParamIdx() == idx) control = g->GetControl(i);
  if (!control) Fail("no control shows " + gesture.param);
  const IRECT& r = *control->GetRECT();
  const double x = (r.L + r.R) / 2.0, y = g->Height() - (r.T + r.B) / 2.0;
  switch (gesture.kind)
  {
    case Gesture::kDrag:
    {
      AppKitTestKit::MouseDown(w, x, y);
      Frame();
      const int step = gesture.amount >= 0 ? 3 : -3;
      for (int moved = 0; moved != gesture.amount;)
      {
        moved = std::abs(gesture.amount - moved) < 3 ? gesture.amount : moved + step;
        AppKitTestKit::MouseDragged(w, x, y + moved);
        Frame();
      }
      AppKitTestKit::MouseUp(w, x, y + gesture.amount);
      break;
    }
    case Gesture::kDoubleClick:
      AppKitTestKit::MouseDown(w, x, y, 0, 1);
      AppKitTestKit::MouseUp(w, x, y, 0, 1);
      AppKitTestKit::MouseDown(w, x, y, 0, 2);
      AppKitTestKit::MouseUp(w, x, y, 0, 2);
      break;
    case Gesture::kWheel:
      for (int i = 0; i < std::abs(gesture.amount); ++i)
      {
        AppKitTestKit::ScrollWheel(w, x, y, gesture.amount > 0 ? 1.0 : -1.0);
        Frame();
      }
      break;
  }
  Frame();
}

bool WritePicture(const std::string& path, NSWindow* w)
{
  int width, height, rowBytes;
  const uint8_t* px = AppKitTestKit::WindowPixels(w, &width, &height, &rowBytes);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row((size_t)width * 3);
  bool ok = info && !setjmp(png_jmpbuf(png));
  if (ok)
  {
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
    {
      const uint8_t* src = px + (size_t)y * rowBytes;
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c) row[(size_t)x * 3 + c] = src[x * 4 + 1 + c];  // A, R, G, B in memory
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return (fclose(f) == 0) && ok;
}
}  // namespace

int main(int argc, char** argv)
{
  const Options o = ParseOptions(argc, argv);
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)o.bundle.c_str(), (CFIndex)o.bundle.size(), true);
  const bool registered = CFBundleCreate(nullptr, url) != nullptr;
  CFRelease(url);
  if (!registered) Fail("no bundle at " + o.bundle);

  IFxInstanceInfo info;
  info.mVSTHostCallback = HostCallback;
  Kestrovane* plug = new Kestrovane(info);
  AEffect* e = plug->GetAEffect();
  IGraphicsMac* g = static_cast<IGraphicsMac*>(plug->GetGUI());
  if (!g) Fail("no editor: the bundle's images are missing (" + o.bundle + "/Contents/Resources)");
  e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);

  if (!o.program.empty())
  {
    std::vector<std::string> names;
    for (int i = 0; i < plug->NPresets(); ++i) names.push_back(plug->GetPresetName(i));
    const int idx = kvtool::FindProgram(names, o.program);
    if (idx < 0) Fail("no program " + o.program);
    e->dispatcher(e, effSetProgram, 0, idx, nullptr, 0.0f);
  }
  for (const std::string& p : o.params) SetParameter(plug, e, p);
  for (const std::string& m : o.meters) SetMeter(plug, m);

  NSWindow* window = AppKitTestKit::NewWindow(g->Width(), g->Height());
  if (!e->dispatcher(e, effEditOpen, 0, 0, window->contentView(), 0.0f)) Fail("the editor did not open");
  for (int i = 0; i < 3; ++i) Frame();
  for (const Gesture& gesture : o.gestures) Perform(plug, g, window, gesture);
  for (int i = 0; i < 3; ++i) Frame();

  if (!WritePicture(o.output, window)) Fail("cannot write " + o.output);
  for (const std::string& line : sHostLog) printf("%s\n", line.c_str());
  for (int i = 0; i < plug->NParams(); ++i)
  {
    char text[128];
    plug->GetParam(i)->GetDisplayForHost(text);
    printf("%s = %s %s\n", plug->GetParam(i)->GetNameForHost(), text, plug->GetParam(i)->GetLabelForHost());
  }
  e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
  window->release();
  e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
  FoundationTestKit::DrainImplicitPool();
  return 0;
}
