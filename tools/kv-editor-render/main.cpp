// kv-editor-render: shows the plug-in's editor headless and writes what a user would see as a PNG.
// The VST build of the product runs in process with the images of a built bundle; a factory
// program, parameters and meter values are set as a host and the audio thread would set them,
// then scripted gestures act on the controls. Prints every edit the host was told of and the
// display of every parameter.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <AppKit/testkit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/testkit.h>

#include "EditorGesture.h"
#include "IControl.h"
#include "IGraphicsMac.h"
#include "Kestrovane.h"
#include "WindowPicture.h"
#include "host_cli.h"
#include "param_options.h"
#include "resource.h"

namespace
{
constexpr const char* kTool = "kv-editor-render";

const char* kUsage =
  "usage: kv-editor-render [options] -o OUT.png\n"
  "Opens the plug-in's editor headless, sets it up and acts on it as given, writes the window\n"
  "(800 x 400) as an RGB PNG and prints, one a line, what the host was told (\"begin 4\",\n"
  "\"automate 4 0.5123\", \"end 4\") and then every parameter's display (\"Attack = 12.00 mS\").\n"
  "  -o, --output FILE        the picture to write\n"
  "      --bundle PATH        the VST bundle folder whose images the editor shows\n"
  "                           (default: " KV_DEFAULT_VST_BUNDLE ")\n"
  "      --program N|NAME     a factory program by number (from 0) or name, chosen as a host does\n"
  "  -p, --param NAME=VALUE   a parameter by name and value, as kv-vsthost takes it (see its --help),\n"
  "                           e.g. -p Threshold=-20, -p Oversample=On\n"
  "      --meter in|out|gr=V  a meter's value, 0 to 1, as the audio thread leaves it after a block\n"
  "Gestures on the control of a parameter, in the order given, after the settings above:\n"
  "      --drag NAME=DY       press its centre, drag DY pixels up (down when negative), release\n"
  "      --dblclick NAME      double-click it\n"
  "      --wheel NAME=STEPS   turn the mouse wheel STEPS steps over it (up when positive)\n"
  "Errors (a bad option, an unknown parameter or program, a value the parameter does not show,\n"
  "a bundle without the editor's images) print a message and exit with status 2, writing nothing.\n";

constexpr double kFrameSeconds = 1.0 / GUI_FPS;
constexpr int kSettleFrames = 4;  // enough for every dirty control to be painted

struct Options
{
  std::string output, bundle = KV_DEFAULT_VST_BUNDLE, program;
  std::vector<std::string> params, meters;
  std::vector<EditorGesture> gestures;
};

// What the host was told, in order.
std::vector<std::string> sHostLog;

VstIntPtr VSTCALLBACK HostCallback(AEffect*, VstInt32 opCode, VstInt32 idx, VstIntPtr, void*, float opt)
{
  char line[64];
  switch (opCode)
  {
    case audioMasterVersion: return kVstVersion;
    case audioMasterAutomate: snprintf(line, sizeof(line), "automate %d %.4f", idx, opt); break;
    case audioMasterBeginEdit: snprintf(line, sizeof(line), "begin %d", idx); break;
    case audioMasterEndEdit: snprintf(line, sizeof(line), "end %d", idx); break;
    default: return 0;
  }
  sHostLog.push_back(line);
  return 0;
}

// A request the tool cannot carry out. Thrown rather than exiting on the spot, so the plug-in and
// its window are closed as a host closes them however the run ends.
struct RenderFailure
{
  std::string mMessage;
};

[[noreturn]] void Fail(const std::string& message)
{
  throw RenderFailure{ message };
}

Options ParseOptions(int argc, char** argv)
{
  Options o;
  for (int i = 1; i < argc; ++i)
  {
    const std::string a = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail(a + " needs a value (see --help)");
      return argv[++i];
    };
    const auto gesture = [&](EditorGesture::EKind kind) {
      EditorGesture g;
      std::string err;
      if (!ParseEditorGesture(kind, value(), &g, &err)) Fail(a + ": " + err);
      o.gestures.push_back(g);
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
    else if (a == "--drag") gesture(EditorGesture::kDrag);
    else if (a == "--dblclick") gesture(EditorGesture::kDoubleClick);
    else if (a == "--wheel") gesture(EditorGesture::kWheel);
    else Fail("unknown option " + a + " (see --help)");
  }
  if (o.output.empty()) Fail("no picture to write: give -o FILE (see --help)");
  return o;
}

// ----- The plug-in, as a host reaches it -----

VstIntPtr Dispatch(AEffect* e, VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr)
{
  return e->dispatcher(e, opCode, idx, value, ptr, 0.0f);
}

std::string EffectText(AEffect* e, VstInt32 opCode, VstInt32 idx)
{
  char text[256] = {};
  Dispatch(e, opCode, idx, 0, text);
  text[sizeof(text) - 1] = 0;
  return text;
}

int FindParam(AEffect* e, const std::string& name)
{
  std::string names;
  for (int i = 0; i < e->numParams; ++i)
  {
    const std::string n = EffectText(e, effGetParamName, i);
    if (kvtool::SameText(n, name)) return i;
    names += (i ? ", " : "") + n;
  }
  Fail("no parameter \"" + name + "\"; the parameters are: " + names);
}

void ChooseProgram(AEffect* e, const std::string& which)
{
  std::vector<std::string> names;
  for (int i = 0; i < e->numPrograms; ++i) names.push_back(EffectText(e, effGetProgramNameIndexed, i));
  const int idx = kvtool::FindProgram(names, which, kVstMaxProgNameLen - 1);
  if (idx < 0) Fail("no program \"" + which + "\" (by number 0 to " + std::to_string(e->numPrograms - 1) + " or name)");
  Dispatch(e, effSetProgram, 0, idx);
}

void SetParameter(AEffect* e, const std::string& option)
{
  kvtool::ParamAssignment a;
  std::string err;
  if (!kvtool::ParseParamAssignment(option, &a, &err)) Fail(err);
  const int idx = FindParam(e, a.name);
  const auto displayAt = [e, idx](double n) {
    e->setParameter(e, idx, (float)n);
    return EffectText(e, effGetParamDisplay, idx);
  };
  double normalized = 0.0;
  if (!kvtool::FindNormalizedForValue(EffectText(e, effGetParamName, idx), EffectText(e, effGetParamLabel, idx), displayAt,
                                      a.value, &normalized, &err))
    Fail(err);
  e->setParameter(e, idx, (float)normalized);
}

void SetMeter(Kestrovane* plug, const std::string& option)
{
  kvtool::ParamAssignment a;
  std::string err;
  double v = 0.0;
  if (!kvtool::ParseParamAssignment(option, &a, &err)) Fail("--meter: " + err);
  const struct
  {
    const char* name;
    Kestrovane::EMeter meter;
  } meters[] = { { "in", Kestrovane::kInputMeter },
                 { "out", Kestrovane::kOutputMeter },
                 { "gr", Kestrovane::kGainReductionMeter } };
  const Kestrovane::EMeter* pMeter = nullptr;
  for (const auto& m : meters)
    if (kvtool::SameText(m.name, a.name)) pMeter = &m.meter;
  if (!pMeter) Fail("--meter: the meters are in, out and gr, not \"" + a.name + "\"");
  char* end = nullptr;
  v = strtod(a.value.c_str(), &end);
  if (*end != 0 || !(v >= 0.0 && v <= 1.0)) Fail("--meter: a meter's value is a number from 0 to 1, not \"" + a.value + "\"");
  plug->GetMeterControl(*pMeter)->SetValueFromPlug(v);
}

// Registers the bundle folder, so that the product's identifier resolves to it.
void RegisterBundle(const std::string& path)
{
  CFURLRef url =
    CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)path.c_str(), (CFIndex)path.size(), true);
  CFBundleRef bundle = url ? CFBundleCreate(nullptr, url) : nullptr;
  if (url) CFRelease(url);
  if (!bundle) Fail("no bundle at " + path);
  char id[256] = {};
  CFStringRef bundleID = CFBundleGetIdentifier(bundle);
  if (!bundleID || !CFStringGetCString(bundleID, id, sizeof(id), kCFStringEncodingUTF8) ||
      std::string(id) != PLUG_BUNDLE_ID_VST)
    Fail(path + " is not the plug-in's bundle: its Info.plist names " + (id[0] ? id : "no identifier") +
         ", not " PLUG_BUNDLE_ID_VST);
}

void RunFrame()
{
  FoundationTestKit::RunFor(kFrameSeconds);
}

// The plug-in as the host holds it, and the editor's window once one is open.
class OpenPlugin
{
public:
  explicit OpenPlugin(Kestrovane* plug) : mPlug(plug), mEffect(plug->GetAEffect()) {}
  ~OpenPlugin()
  {
    if (mWindow)
    {
      Dispatch(mEffect, effEditClose);
      mWindow->release();
    }
    Dispatch(mEffect, effClose);  // deletes the plug-in
    FoundationTestKit::DrainImplicitPool();
  }
  OpenPlugin(const OpenPlugin&) = delete;
  OpenPlugin& operator=(const OpenPlugin&) = delete;

  Kestrovane* mPlug;
  AEffect* mEffect;
  NSWindow* mWindow = nullptr;
};

void Render(const Options& o)
{
  RegisterBundle(o.bundle);
  IFxInstanceInfo info;
  info.mVSTHostCallback = HostCallback;
  OpenPlugin open(new Kestrovane(info));
  Kestrovane* plug = open.mPlug;
  AEffect* e = open.mEffect;
  IGraphicsMac* pGraphics = static_cast<IGraphicsMac*>(plug->GetGUI());
  if (!pGraphics) Fail("no editor: the images are missing from " + o.bundle + "/Contents/Resources");
  Dispatch(e, effOpen);

  // Every name is checked before anything is shown, so a mistake anywhere writes nothing.
  std::vector<IControl*> targets;
  for (const EditorGesture& g : o.gestures)
  {
    const int idx = FindParam(e, g.mParam);
    IControl* pControl = FindParamControl(pGraphics, idx);
    if (!pControl) Fail("no control in the editor sets \"" + g.mParam + "\"");
    targets.push_back(pControl);
  }
  if (!o.program.empty()) ChooseProgram(e, o.program);
  for (const std::string& p : o.params) SetParameter(e, p);
  for (const std::string& m : o.meters) SetMeter(plug, m);

  NSWindow* window = open.mWindow = AppKitTestKit::NewWindow(pGraphics->Width(), pGraphics->Height());
  if (Dispatch(e, effEditOpen, 0, 0, window->contentView()) != 1) Fail("the editor did not open");
  for (int i = 0; i < kSettleFrames; ++i) RunFrame();
  for (size_t i = 0; i < o.gestures.size(); ++i)
    PerformEditorGesture(window, pGraphics->Height(), targets[i], o.gestures[i], RunFrame);
  for (int i = 0; i < kSettleFrames; ++i) RunFrame();

  std::string err;
  if (!WriteWindowPicture(window, o.output, &err)) Fail(err);

  for (const std::string& line : sHostLog) printf("%s\n", line.c_str());
  for (int i = 0; i < e->numParams; ++i)
  {
    const std::string label = EffectText(e, effGetParamLabel, i);
    printf("%s = %s%s\n", EffectText(e, effGetParamName, i).c_str(), EffectText(e, effGetParamDisplay, i).c_str(),
           label.empty() ? "" : (" " + label).c_str());
  }
}
}  // namespace

int main(int argc, char** argv)
{
  try
  {
    Render(ParseOptions(argc, argv));
    return 0;
  }
  catch (const RenderFailure& failure)
  {
    fflush(stdout);
    fprintf(stderr, "%s: %s\n", kTool, failure.mMessage.c_str());
    return 2;
  }
}
