#include "VstHostedPlugin.h"

#include <dlfcn.h>

#include <cstring>

#include "param_options.h"

namespace
{
// The instance being created: the plug-in may call its host before the entry point returns and
// before the host could put itself into the record's user field.
VstHostedPlugin* sCreating = nullptr;

constexpr const char* kHostProduct = "kv-vsthost";
constexpr const char* kHostVendor = "Kestrovane tools";
constexpr VstIntPtr kHostVersion = 10000;  // 1.0.0
constexpr double kTempo = 120.0;
}  // namespace

VstHostedPlugin::~VstHostedPlugin()
{
  if (mEffect)
  {
    if (mProcessing) Stop();
    Dispatch(effClose);
    mEffect = nullptr;
  }
  if (mModule) dlclose(mModule);
}

bool VstHostedPlugin::Load(const std::string& path, std::string* pError)
{
  // A path without a slash would make dlopen search the library path instead of the file.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  mModule = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mModule)
  {
    *pError = std::string("cannot load the module: ") + dlerror();
    return false;
  }
  typedef AEffect* (*EntryProc)(audioMasterCallback);
  EntryProc entry = (EntryProc)dlsym(mModule, "VSTPluginMain");
  mEntryName = "VSTPluginMain";
  if (!entry)
  {
    entry = (EntryProc)dlsym(mModule, "main");
    mEntryName = "main";
  }
  if (!entry)
  {
    *pError = "the module exports neither VSTPluginMain nor main";
    return false;
  }
  sCreating = this;
  mEffect = entry(HostCallback);
  sCreating = nullptr;
  if (!mEffect)
  {
    *pError = "the plug-in made no instance";
    return false;
  }
  if (mEffect->magic != kEffectMagic)
  {
    *pError = "the entry point returned something other than a VST effect";
    mEffect = nullptr;
    return false;
  }
  mEffect->user = this;
  return true;
}

void VstHostedPlugin::Open(double sampleRate, int blockSize)
{
  mSampleRate = sampleRate;
  mBlockSize = blockSize;
  memset(&mTimeInfo, 0, sizeof(mTimeInfo));
  mTimeInfo.sampleRate = sampleRate;
  mTimeInfo.tempo = kTempo;
  mTimeInfo.timeSigNumerator = 4;
  mTimeInfo.timeSigDenominator = 4;
  mTimeInfo.flags = kVstTransportPlaying | kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid | kVstBarsValid;
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, (float)sampleRate);
  Dispatch(effSetBlockSize, 0, blockSize);
}

VstIntPtr VstHostedPlugin::Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt) const
{
  return mEffect->dispatcher(mEffect, opCode, idx, value, ptr, opt);
}

// Text replies get a generous, zeroed buffer: plug-ins often write more than the interface's
// published field sizes.
std::string VstHostedPlugin::DispatchText(VstInt32 opCode, VstInt32 idx) const
{
  char text[512];
  memset(text, 0, sizeof(text));
  Dispatch(opCode, idx, 0, text);
  text[sizeof(text) - 1] = 0;
  return text;
}

std::string VstHostedPlugin::EffectName() const { return DispatchText(effGetEffectName, 0); }
std::string VstHostedPlugin::VendorString() const { return DispatchText(effGetVendorString, 0); }
std::string VstHostedPlugin::ProductString() const { return DispatchText(effGetProductString, 0); }
std::string VstHostedPlugin::ParamName(int idx) const { return DispatchText(effGetParamName, idx); }
std::string VstHostedPlugin::ParamLabel(int idx) const { return DispatchText(effGetParamLabel, idx); }
std::string VstHostedPlugin::ParamDisplay(int idx) const { return DispatchText(effGetParamDisplay, idx); }
std::string VstHostedPlugin::ProgramName(int idx) const { return DispatchText(effGetProgramNameIndexed, idx); }

float VstHostedPlugin::GetParam(int idx) const
{
  return mEffect->getParameter(mEffect, idx);
}

void VstHostedPlugin::SetParam(int idx, float normalized)
{
  mEffect->setParameter(mEffect, idx, normalized);
}

int VstHostedPlugin::FindParam(const std::string& name) const
{
  for (int i = 0; i < NumParams(); ++i)
    if (kvtool::SameText(ParamName(i), name)) return i;
  return -1;
}

int VstHostedPlugin::CurrentProgram() const
{
  return (int)Dispatch(effGetProgram);
}

void VstHostedPlugin::SetProgram(int idx)
{
  Dispatch(effBeginSetProgram);
  Dispatch(effSetProgram, 0, idx);
  Dispatch(effEndSetProgram);
}

std::vector<unsigned char> VstHostedPlugin::GetStateChunk() const
{
  void* pData = nullptr;
  const VstIntPtr n = Dispatch(effGetChunk, 0, 0, &pData);
  if (n <= 0 || !pData) return {};
  const unsigned char* p = (const unsigned char*)pData;
  return std::vector<unsigned char>(p, p + n);
}

bool VstHostedPlugin::SetStateChunk(const std::vector<unsigned char>& bytes)
{
  std::vector<unsigned char> copy = bytes;  // the plug-in gets memory it may read while we hold it
  return Dispatch(effSetChunk, 0, (VstIntPtr)copy.size(), copy.data()) != 0;
}

VstHostedPlugin::ProcessKind VstHostedPlugin::BestProcessKind(bool wantDouble) const
{
  if (wantDouble && (mEffect->flags & effFlagsCanDoubleReplacing) && mEffect->processDoubleReplacing)
    return ProcessKind::kDouble;
  if ((mEffect->flags & effFlagsCanReplacing) && mEffect->processReplacing) return ProcessKind::kReplacing;
  return ProcessKind::kAccumulating;
}

void VstHostedPlugin::Start()
{
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  mProcessing = true;
}

void VstHostedPlugin::Stop()
{
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
  mProcessing = false;
}

void VstHostedPlugin::ProcessBlock(ProcessKind kind, float** in, float** out, double** dIn, double** dOut, int nFrames)
{
  switch (kind)
  {
    case ProcessKind::kDouble: mEffect->processDoubleReplacing(mEffect, dIn, dOut, nFrames); break;
    case ProcessKind::kReplacing: mEffect->processReplacing(mEffect, in, out, nFrames); break;
    case ProcessKind::kAccumulating:
      for (int c = 0; c < mEffect->numOutputs; ++c) memset(out[c], 0, (size_t)nFrames * sizeof(float));
      mEffect->process(mEffect, in, out, nFrames);
      break;
  }
  mTimeInfo.samplePos += nFrames;
  mTimeInfo.nanoSeconds = mTimeInfo.samplePos / mSampleRate * 1e9;
  mTimeInfo.ppqPos = mTimeInfo.samplePos / mSampleRate * kTempo / 60.0;
  mTimeInfo.barStartPos = 4.0 * (double)(long long)(mTimeInfo.ppqPos / 4.0);
}

VstIntPtr VstHostedPlugin::HostCallback(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr,
                                        float opt)
{
  VstHostedPlugin* pHost = (pEffect && pEffect->user) ? (VstHostedPlugin*)pEffect->user : sCreating;
  if (opCode == audioMasterVersion) return kVstVersion;
  return pHost ? pHost->Answer(opCode, idx, value, ptr, opt) : 0;
}

VstIntPtr VstHostedPlugin::Answer(VstInt32 opCode, VstInt32 idx, VstIntPtr /*value*/, void* ptr, float opt)
{
  switch (opCode)
  {
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    {
      char line[64];
      if (opCode == audioMasterAutomate)
      {
        ++mAutomations;
        snprintf(line, sizeof(line), "automate %d %.4f", idx, opt);
      }
      else
      {
        snprintf(line, sizeof(line), "%s %d", opCode == audioMasterBeginEdit ? "begin" : "end", idx);
      }
      std::lock_guard<std::mutex> lock(mEditLogMutex);
      // Bounded: a tool that never reads the log does not grow without end.
      if (mEditLog.size() < 100000) mEditLog.push_back(line);
      return opCode == audioMasterAutomate ? 0 : 1;
    }
    case audioMasterGetTime: return (VstIntPtr)&mTimeInfo;
    case audioMasterProcessEvents:
      if (ptr) mEventsReceived += ((const VstEvents*)ptr)->numEvents;
      return 1;
    case audioMasterGetSampleRate: return (VstIntPtr)mSampleRate;
    case audioMasterGetBlockSize: return mBlockSize;
    case audioMasterGetCurrentProcessLevel: return mProcessing ? kVstProcessLevelRealtime : kVstProcessLevelUser;
    case audioMasterGetAutomationState: return 1;  // automation off
    case audioMasterGetVendorString:
      if (ptr) snprintf((char*)ptr, kVstMaxVendorStrLen, "%s", kHostVendor);
      return 1;
    case audioMasterGetProductString:
      if (ptr) snprintf((char*)ptr, kVstMaxProductStrLen, "%s", kHostProduct);
      return 1;
    case audioMasterGetVendorVersion: return kHostVersion;
    case audioMasterCanDo:
      if (ptr)
      {
        const char* q = (const char*)ptr;
        for (const char* yes : { "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents",
                                 "receiveVstMidiEvent", "startStopProcess" })
          if (!strcmp(q, yes)) return 1;
      }
      return 0;
    case audioMasterGetLanguage: return 1;  // English
    default: return 0;
  }
}

bool VstHostedPlugin::EditorSize(int* pWidth, int* pHeight) const
{
  if (!HasEditor()) return false;
  ERect* r = nullptr;
  if (!Dispatch(effEditGetRect, 0, 0, &r) || !r) return false;
  const int w = r->right - r->left, h = r->bottom - r->top;
  if (w <= 0 || h <= 0) return false;
  *pWidth = w;
  *pHeight = h;
  return true;
}

bool VstHostedPlugin::OpenEditor(uintptr_t parentWindow)
{
  return Dispatch(effEditOpen, 0, 0, (void*)parentWindow) != 0;
}

void VstHostedPlugin::IdleEditor()
{
  Dispatch(effEditIdle);
}

void VstHostedPlugin::CloseEditor()
{
  Dispatch(effEditClose);
}

std::vector<std::string> VstHostedPlugin::TakeEditLog()
{
  std::lock_guard<std::mutex> lock(mEditLogMutex);
  std::vector<std::string> out;
  out.swap(mEditLog);
  return out;
}
