#include "AUHostedUnit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cpu_time.h"
#include "param_options.h"

namespace kvau
{
namespace
{
std::string UTF8(CFTypeRef s)
{
  if (CFGetTypeID(s) != CFStringGetTypeID()) return std::string();
  const char* p = CFStringGetCStringPtr((CFStringRef)s, kCFStringEncodingUTF8);
  return p ? std::string(p) : std::string();
}

UInt32 CodeOf(CFTypeRef s)
{
  const std::string text = UTF8(s);
  if (text.size() != 4) return 0;
  return ((UInt32)(unsigned char)text[0] << 24) | ((UInt32)(unsigned char)text[1] << 16) |
         ((UInt32)(unsigned char)text[2] << 8) | (UInt32)(unsigned char)text[3];
}

const ComponentDescription kSourceDesc = { kAudioUnitType_Generator, 0x6B767372 /* 'kvsr' */, 0x6B766874 /* 'kvht' */, 0, 0 };
}  // namespace

std::string FourCC(UInt32 code)
{
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = (char)((code >> shift) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

AudioStreamBasicDescription FloatFormat(double sampleRate, UInt32 nChannels)
{
  AudioStreamBasicDescription f = {};
  f.mSampleRate = sampleRate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  f.mBytesPerPacket = f.mBytesPerFrame = 4;
  f.mFramesPerPacket = 1;
  f.mBitsPerChannel = 32;
  f.mChannelsPerFrame = nChannels;
  return f;
}

Component RegisterBundleComponent(const std::string& bundlePath, ComponentEntry* pEntry, std::string* pError)
{
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)bundlePath.data(), (CFIndex)bundlePath.size(), true);
  CFBundleRef bundle = CFBundleCreate(nullptr, url);
  CFRelease(url);
  if (!bundle)
  {
    *pError = "no bundle at " + bundlePath;
    return nullptr;
  }
  CFTypeRef components = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("AudioComponents"));
  CFTypeRef first = CFGetTypeID(components) == CFArrayGetTypeID() ? CFArrayGetValueAtIndex((CFArrayRef)components, 0) : nullptr;
  if (CFGetTypeID(first) != CFDictionaryGetTypeID())
  {
    *pError = "the bundle's Info.plist describes no audio component";
    return nullptr;
  }
  CFDictionaryRef d = (CFDictionaryRef)first;
  ComponentEntry e;
  e.bundlePath = bundlePath;
  e.identifier = UTF8(CFBundleGetIdentifier(bundle));
  e.name = UTF8(CFDictionaryGetValue(d, CFSTR("name")));
  e.entryName = UTF8(CFDictionaryGetValue(d, CFSTR("factoryFunction")));
  e.description = { CodeOf(CFDictionaryGetValue(d, CFSTR("type"))), CodeOf(CFDictionaryGetValue(d, CFSTR("subtype"))),
                    CodeOf(CFDictionaryGetValue(d, CFSTR("manufacturer"))), 0, 0 };
  SInt32 version = 0;
  CFNumberGetValue((CFNumberRef)CFDictionaryGetValue(d, CFSTR("version")), kCFNumberSInt32Type, &version);
  e.version = version;
  if (!e.description.componentType || e.entryName.empty())
  {
    *pError = "the component description is incomplete";
    return nullptr;
  }
  CFStringRef entryName = CFStringCreateWithCString(nullptr, e.entryName.c_str(), kCFStringEncodingUTF8);
  ComponentRoutineProcPtr entry = (ComponentRoutineProcPtr)CFBundleGetFunctionPointerForName(bundle, entryName);
  CFRelease(entryName);
  if (!entry)
  {
    *pError = "the module does not export " + e.entryName + (CFBundleIsExecutableLoaded(bundle) ? "" : " (it did not load)");
    return nullptr;
  }
  if (pEntry) *pEntry = e;
  return RegisterComponent(&e.description, entry, 0, e.name.c_str());
}

// ----- Feeding the inputs -----

// One input bus's source: planar audio read at the render's sample time, and memory for source
// units, which supply their own buffers.
struct AUHostedUnit::Feed
{
  const kvtool::AudioBuffer* mAudio = nullptr;
  int mNChannels = 0;
  bool mFastProc = true;
  double mSampleRate = 44100.0;
  std::vector<float> mMemory;
  UInt32 mMaxFrames = 0;

  void Fill(const AudioTimeStamp* ts, UInt32 nFrames, AudioBufferList* io, bool supplyMemory)
  {
    const int64_t start = ts ? (int64_t)ts->mSampleTime : 0;
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
    {
      float* dest = (float*)io->mBuffers[c].mData;
      if (supplyMemory || !dest)
      {
        dest = mMemory.data() + (size_t)std::min<UInt32>(c, 3) * mMaxFrames;
        io->mBuffers[c].mData = dest;
        io->mBuffers[c].mDataByteSize = nFrames * 4;
      }
      const std::vector<float>* src = nullptr;
      if (mAudio && (int)c < mAudio->NumChannels()) src = &mAudio->channels[c];
      else if (mAudio && c == 1 && mAudio->NumChannels() == 1) src = &mAudio->channels[0];
      for (UInt32 i = 0; i < nFrames; ++i)
      {
        const int64_t pos = start + i;
        dest[i] = (src && pos >= 0 && pos < (int64_t)src->size()) ? (*src)[(size_t)pos] : 0.0f;
      }
    }
  }
};

OSStatus AUHostedUnit::InputCallback(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32,
                                     UInt32 nFrames, AudioBufferList* ioData)
{
  ((Feed*)refCon)->Fill(ts, nFrames, ioData, false);
  return noErr;
}


// A source unit inside this host: a generator whose output bus 0 plays its feed.
static ComponentResult SourceEntry(ComponentParameters* cp, void* storage);

static ComponentResult SourceFill(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32,
                                  UInt32 nFrames, AudioBufferList* io);

AUHostedUnit::~AUHostedUnit()
{
  Close();
}

bool AUHostedUnit::Open(Component component, std::string* pError)
{
  Close();
  const OSErr err = OpenAComponent(component, &mUnit);
  if (err != noErr)
  {
    *pError = "the component refused to open (" + std::to_string(err) + ")";
    mUnit = nullptr;
    return false;
  }
  return true;
}

void AUHostedUnit::Close()
{
  if (mUnit)
  {
    AudioUnitUninitialize(mUnit);
    CloseComponent(mUnit);
    mUnit = nullptr;
  }
  for (AudioUnit s : mSources) CloseComponent(s);
  mSources.clear();
  for (Feed* f : mFeeds) delete f;
  mFeeds.clear();
}

OSStatus AUHostedUnit::Prepare(double sampleRate, UInt32 maxFrames, int nMain, int nSide, int nOut, InputKind kind,
                               std::string* pError)
{
  mKind = kind;
  mNMain = nMain;
  mNSide = nSide;
  mNOut = nOut;
  const auto fail = [&](const std::string& what, OSStatus r) {
    *pError = what + " was refused (" + std::to_string(r) + ")";
    return r;
  };
  OSStatus r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &maxFrames,
                                    sizeof(maxFrames));
  if (r) return fail("the block size", r);
  r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &sampleRate, sizeof(sampleRate));
  if (r) return fail("the sample rate", r);

  const int busChannels[2] = { nMain, nSide };
  for (UInt32 bus = 0; bus < 2; ++bus)
  {
    const int n = busChannels[bus];
    if (n <= 0) continue;
    Feed* feed = new Feed;
    feed->mNChannels = n;
    feed->mMaxFrames = maxFrames;
    feed->mMemory.assign((size_t)maxFrames * 4, 0.0f);
    feed->mFastProc = kind == InputKind::kSourceFastProc;
    feed->mSampleRate = sampleRate;
    mFeeds.push_back(feed);

    const AudioStreamBasicDescription f = FloatFormat(sampleRate, (UInt32)n);
    if (kind == InputKind::kRenderCallback)
    {
      r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, bus, &f, sizeof(f));
      if (r) return fail("an input format of " + std::to_string(n) + " channels on bus " + std::to_string(bus), r);
      AURenderCallbackStruct cb = { InputCallback, feed };
      r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, bus, &cb, sizeof(cb));
      if (r) return fail("the render callback", r);
    }
    else
    {
      static Component s_source = RegisterComponent(&kSourceDesc, SourceEntry, 0, "kv-auhost: source");
      AudioUnit source = OpenComponent(s_source);
      if (!source) return fail("the source unit", badComponentInstance);
      SetComponentInstanceStorage(source, (Handle)feed);
      mSources.push_back(source);
      AudioUnitConnection conn = { source, 0, bus };
      r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &conn, sizeof(conn));
      if (r) return fail("the connection to the source unit on bus " + std::to_string(bus), r);
    }
  }
  const AudioStreamBasicDescription out = FloatFormat(sampleRate, (UInt32)nOut);
  r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &out, sizeof(out));
  if (r) return fail("an output format of " + std::to_string(nOut) + " channels", r);
  r = AudioUnitInitialize(mUnit);
  if (r) return fail("Initialize", r);
  return noErr;
}

OSStatus AUHostedUnit::Process(const kvtool::AudioBuffer& main, const kvtool::AudioBuffer* side, int block,
                               kvtool::AudioBuffer* pOut, double* pCpuSeconds)
{
  if (mFeeds.size() > 0) mFeeds[0]->mAudio = &main;
  if (mFeeds.size() > 1) mFeeds[1]->mAudio = side;
  const int nFrames = main.NumFrames();
  pOut->sampleRate = main.sampleRate;
  pOut->Resize(mNOut, nFrames);

  std::vector<float> memory((size_t)block * mNOut);
  std::vector<unsigned char> listBytes(sizeof(AudioBufferList) + sizeof(AudioBuffer) * (size_t)mNOut);
  AudioBufferList* list = (AudioBufferList*)listBytes.data();
  AudioTimeStamp ts = {};
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  double cpu = 0.0;
  for (int pos = 0; pos < nFrames; pos += block)
  {
    const UInt32 n = (UInt32)std::min(block, nFrames - pos);
    list->mNumberBuffers = (UInt32)mNOut;
    for (int c = 0; c < mNOut; ++c) list->mBuffers[c] = { 1, n * 4, memory.data() + (size_t)c * block };
    ts.mSampleTime = pos;
    AudioUnitRenderActionFlags flags = 0;
    const double t0 = kvtool::ThreadCpuSeconds();
    const OSStatus r = AudioUnitRender(mUnit, &flags, &ts, 0, n, list);
    cpu += kvtool::ThreadCpuSeconds() - t0;
    if (r) return r;
    for (int c = 0; c < mNOut; ++c)
      memcpy(pOut->channels[(size_t)c].data() + pos, list->mBuffers[c].mData, n * sizeof(float));
  }
  if (pCpuSeconds) *pCpuSeconds = cpu;
  return noErr;
}

// ----- Parameters and presets -----

std::vector<ParamInfo> AUHostedUnit::Parameters()
{
  std::vector<ParamInfo> out;
  UInt32 size = 0;
  if (AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size, nullptr)) return out;
  std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
  if (ids.empty() ||
      AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, ids.data(), &size))
    return out;
  for (AudioUnitParameterID id : ids)
  {
    AudioUnitParameterInfo info = {};
    UInt32 infoSize = sizeof(info);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info, &infoSize)) continue;
    ParamInfo p = { id, info.cfNameString ? UTF8(info.cfNameString) : info.name, UTF8(info.unitName), info.unit,
                    info.minValue, info.maxValue, info.defaultValue, info.flags, {} };
    if (info.flags & kAudioUnitParameterFlag_CFNameRelease)
    {
      CFRelease(info.cfNameString);
      CFRelease(info.unitName);
    }
    CFArrayRef strings = nullptr;
    UInt32 sSize = sizeof(strings);
    if (!AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, id, &strings, &sSize))
    {
      for (CFIndex i = 0; i < CFArrayGetCount(strings); ++i) p.valueStrings.push_back(UTF8(CFArrayGetValueAtIndex(strings, i)));
      CFRelease(strings);
    }
    out.push_back(p);
  }
  return out;
}

int AUHostedUnit::FindParameter(const std::string& name)
{
  for (const ParamInfo& p : Parameters())
    if (kvtool::SameText(p.name, name)) return (int)p.id;
  return -1;
}

int AUHostedUnit::NumInputBuses()
{
  UInt32 n = 0, size = sizeof(n);
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, &n, &size)) return 1;
  return (int)n;
}

float AUHostedUnit::GetParameter(AudioUnitParameterID id)
{
  AudioUnitParameterValue v = 0.0f;
  AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &v);
  return v;
}

OSStatus AUHostedUnit::SetParameter(AudioUnitParameterID id, float value)
{
  return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
}

std::string AUHostedUnit::DisplayText(const ParamInfo& p, float value)
{
  if (!p.valueStrings.empty())
  {
    AudioUnitParameterStringFromValue sfv = { p.id, &value, nullptr };
    UInt32 size = sizeof(sfv);
    std::string text;
    if (!AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &sfv, &size))
    {
      text = UTF8(sfv.outString);
      CFRelease(sfv.outString);
    }
    if (!text.empty()) return text;
  }
  char buf[64];
  snprintf(buf, sizeof(buf), "%.2f", value);
  return buf;
}

bool AUHostedUnit::SetParameterByDisplay(const std::string& name, const std::string& display, std::string* pShown,
                                         std::string* pError, std::string* pName)
{
  const std::vector<ParamInfo> params = Parameters();
  const ParamInfo* p = nullptr;
  for (const ParamInfo& q : params)
    if (kvtool::SameText(q.name, name)) p = &q;
  if (!p)
  {
    std::string names;
    for (const ParamInfo& q : params) names += (names.empty() ? "" : ", ") + q.name;
    *pError = "no parameter \"" + name + "\"; the parameters are: " + names;
    return false;
  }
  kvtool::ParamValues values;
  values.name = p->name;
  values.unit = p->unitName;
  values.texts = p->valueStrings;
  values.numeric = values.texts.empty();
  values.lo = p->minValue;
  values.hi = p->maxValue;
  kvtool::ParamChoice choice;
  if (!kvtool::ChooseParamValue(values, display, &choice, pError)) return false;
  float value = (float)choice.number;
  if (choice.text >= 0)
  {
    // The unit maps its own text to its value; an indexed parameter's values count from its minimum.
    value = p->minValue + (float)choice.text;
    CFStringRef s = CFStringCreateWithCString(nullptr, p->valueStrings[(size_t)choice.text].c_str(), kCFStringEncodingUTF8);
    AudioUnitParameterValueFromString vfs = { p->id, s, NAN };
    UInt32 size = sizeof(vfs);
    if (!AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &vfs, &size) &&
        !std::isnan(vfs.outValue))
      value = vfs.outValue;
    CFRelease(s);
  }
  SetParameter(p->id, value);
  if (pShown) *pShown = DisplayText(*p, GetParameter(p->id));
  if (pName) *pName = p->name;
  return true;
}

std::vector<std::string> AUHostedUnit::FactoryPresets()
{
  std::vector<std::string> names;
  CFArrayRef presets = nullptr;
  UInt32 size = sizeof(presets);
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, &presets, &size)) return names;
  for (CFIndex i = 0; i < CFArrayGetCount(presets); ++i)
    names.push_back(UTF8(((const AUPreset*)CFArrayGetValueAtIndex(presets, i))->presetName));
  CFRelease(presets);
  return names;
}

OSStatus AUHostedUnit::ChoosePreset(int index)
{
  AUPreset preset = { index, nullptr };
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &preset, sizeof(preset));
}

int AUHostedUnit::CurrentPreset(std::string* pName)
{
  AUPreset preset = { -1, nullptr };
  UInt32 size = sizeof(preset);
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &preset, &size)) return -1;
  if (pName) *pName = UTF8(preset.presetName);
  CFRelease(preset.presetName);
  return preset.presetNumber;
}

// ----- State -----

bool AUHostedUnit::SaveState(std::string* pXml, std::string* pError)
{
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof(state);
  const OSStatus r = AudioUnitGetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state, &size);
  if (r)
  {
    *pError = "the unit gave no state (" + std::to_string(r) + ")";
    return false;
  }
  *pXml = PropertyListToXml(state);
  CFRelease(state);
  return true;
}

bool AUHostedUnit::LoadState(const std::string& xml, std::string* pError)
{
  CFDataRef data = CFDataCreate(nullptr, (const UInt8*)xml.data(), (CFIndex)xml.size());
  CFPropertyListRef state = CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr);
  CFRelease(data);
  if (!state)
  {
    *pError = "not a property list";
    return false;
  }
  const OSStatus r = AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state, sizeof(state));
  CFRelease(state);
  if (r)
  {
    *pError = "the unit refused the state (" + std::to_string(r) + ")";
    return false;
  }
  return true;
}

std::vector<std::string> AUHostedUnit::DescribeProperties()
{
  static const struct
  {
    AudioUnitPropertyID id;
    const char* name;
  } kProps[] = { { 0, "ClassInfo" },        { 1, "MakeConnection" },       { 2, "SampleRate" },
                 { 3, "ParameterList" },    { 4, "ParameterInfo" },        { 5, "FastDispatch" },
                 { 8, "StreamFormat" },     { 11, "ElementCount" },        { 12, "Latency" },
                 { 13, "SupportedNumChannels" }, { 14, "MaximumFramesPerSlice" }, { 16, "ParameterValueStrings" },
                 { 18, "GetUIComponentList" }, { 20, "TailTime" },         { 21, "BypassEffect" },
                 { 22, "LastRenderError" }, { 23, "SetRenderCallback" },   { 24, "FactoryPresets" },
                 { 27, "HostCallbacks" },   { 28, "CurrentPreset" },       { 31, "CocoaUI" },
                 { 33, "ParameterStringFromValue" }, { 34, "ParameterIDName" }, { 36, "PresentPreset" },
                 { 38, "ParameterValueFromString" }, { 1000, "InstrumentCount" } };
  static const char* kScopes[] = { "global", "input", "output" };
  std::vector<std::string> lines;
  for (const auto& p : kProps)
    for (AudioUnitScope scope = 0; scope < 3; ++scope)
      for (AudioUnitElement element = 0; element < 2; ++element)
      {
        UInt32 size = 0;
        Boolean writable = false;
        if (AudioUnitGetPropertyInfo(mUnit, p.id, scope, element, &size, &writable)) continue;
        char line[160];
        snprintf(line, sizeof(line), "%4u %-26s %-6s %u  %3u bytes%s", p.id, p.name, kScopes[scope], element, size,
                 writable ? ", writable" : "");
        lines.push_back(line);
      }
  return lines;
}

// ----- XML property lists -----

namespace
{
void AppendEscaped(std::string* out, const std::string& s)
{
  for (char c : s)
  {
    switch (c)
    {
      case '<': *out += "&lt;"; break;
      case '>': *out += "&gt;"; break;
      case '&': *out += "&amp;"; break;
      default: *out += c;
    }
  }
}

std::string Base64(const UInt8* p, CFIndex n)
{
  static const char kTable[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (CFIndex i = 0; i < n; i += 3)
  {
    const UInt32 b = (UInt32)p[i] << 16 | (i + 1 < n ? (UInt32)p[i + 1] << 8 : 0) | (i + 2 < n ? p[i + 2] : 0);
    out += kTable[(b >> 18) & 63];
    out += kTable[(b >> 12) & 63];
    out += i + 1 < n ? kTable[(b >> 6) & 63] : '=';
    out += i + 2 < n ? kTable[b & 63] : '=';
  }
  return out;
}

void Write(CFTypeRef v, std::string* out, int depth)
{
  const std::string indent((size_t)depth * 2, ' ');
  const CFTypeID t = CFGetTypeID(v);
  if (t == CFDictionaryGetTypeID())
  {
    const CFIndex n = CFDictionaryGetCount((CFDictionaryRef)v);
    std::vector<const void*> keys((size_t)n), values((size_t)n);
    CFDictionaryGetKeysAndValues((CFDictionaryRef)v, keys.data(), values.data());
    *out += indent + "<dict>\n";
    for (CFIndex i = 0; i < n; ++i)
    {
      *out += indent + "  <key>";
      AppendEscaped(out, UTF8(keys[(size_t)i]));
      *out += "</key>\n";
      Write(values[(size_t)i], out, depth + 1);
    }
    *out += indent + "</dict>\n";
  }
  else if (t == CFArrayGetTypeID())
  {
    *out += indent + "<array>\n";
    for (CFIndex i = 0; i < CFArrayGetCount((CFArrayRef)v); ++i) Write(CFArrayGetValueAtIndex((CFArrayRef)v, i), out, depth + 1);
    *out += indent + "</array>\n";
  }
  else if (t == CFStringGetTypeID())
  {
    *out += indent + "<string>";
    AppendEscaped(out, UTF8(v));
    *out += "</string>\n";
  }
  else if (t == CFNumberGetTypeID())
  {
    char buf[64];
    if (CFNumberIsFloatType((CFNumberRef)v))
    {
      double d = 0;
      CFNumberGetValue((CFNumberRef)v, kCFNumberFloat64Type, &d);
      snprintf(buf, sizeof(buf), "<real>%.17g</real>", d);
    }
    else
    {
      SInt64 i = 0;
      CFNumberGetValue((CFNumberRef)v, kCFNumberSInt64Type, &i);
      snprintf(buf, sizeof(buf), "<integer>%lld</integer>", (long long)i);
    }
    *out += indent + buf + "\n";
  }
  else if (t == CFBooleanGetTypeID())
  {
    *out += indent + (CFBooleanGetValue((CFBooleanRef)v) ? "<true/>\n" : "<false/>\n");
  }
  else if (t == CFDataGetTypeID())
  {
    *out += indent + "<data>" + Base64(CFDataGetBytePtr((CFDataRef)v), CFDataGetLength((CFDataRef)v)) + "</data>\n";
  }
}
}  // namespace

std::string PropertyListToXml(CFPropertyListRef plist)
{
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
  Write(plist, &out, 0);
  out += "</plist>\n";
  return out;
}

// ----- The source unit -----

static ComponentResult SourceFill(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32,
                                  UInt32 nFrames, AudioBufferList* io)
{
  auto* feed = (AUHostedUnit::Feed*)storage;
  if (!feed || !io || nFrames > feed->mMaxFrames) return kAudioUnitErr_InvalidPropertyValue;
  feed->Fill(ts, nFrames, io, true);
  return noErr;
}

static ComponentResult SourceEntry(ComponentParameters* cp, void* storage)
{
  auto* feed = (AUHostedUnit::Feed*)storage;
  switch (cp->what)
  {
    case kComponentOpenSelect:
    case kComponentCloseSelect: return noErr;
    case kAudioUnitGetPropertySelect:
    {
      const UInt32 id = ComponentParamAt<UInt32>(cp, 1);
      void* data = ComponentParamAt<void*>(cp, 4);
      UInt32* size = ComponentParamAt<UInt32*>(cp, 5);
      if (!feed || !data || !size) return kAudioUnitErr_InvalidProperty;
      if (id == kAudioUnitProperty_StreamFormat && *size >= sizeof(AudioStreamBasicDescription))
      {
        const AudioStreamBasicDescription f = FloatFormat(feed->mSampleRate, (UInt32)feed->mNChannels);
        memcpy(data, &f, sizeof(f));
        *size = sizeof(f);
        return noErr;
      }
      if (id == kAudioUnitProperty_FastDispatch && feed->mFastProc && *size >= sizeof(void*) &&
          ComponentParamAt<UInt32>(cp, 3) == kAudioUnitRenderSelect)
      {
        *(AudioUnitRenderProc*)data = SourceFill;
        *size = sizeof(void*);
        return noErr;
      }
      return kAudioUnitErr_InvalidProperty;
    }
    case kAudioUnitRenderSelect:
      return SourceFill(storage, nullptr, ComponentParamAt<const AudioTimeStamp*>(cp, 2), 0, ComponentParamAt<UInt32>(cp, 4),
                        ComponentParamAt<AudioBufferList*>(cp, 5));
    default: return badComponentSelector;
  }
}

}  // namespace kvau
