// IFxVST: the dispatcher, the host's requests by opcode. Every call holds the instance mutex;
// opcodes not handled here answer 0.

#include <cstdio>
#include <cstring>

#include "IFxVST.h"

namespace
{
// 'NvEf', the answer to effIdentify.
constexpr VstIntPtr kIdentity = 0x4E764566;
// The answer to the vendor-specific request for the display of a given normalised value.
constexpr VstIntPtr kVendorSpecificDone = 0xBEEF;
constexpr VstInt32 kVendorSpecificDisplayIdx = 7;

// Copies a text into the host's buffer, cut to size; 1 when there was a buffer.
VstIntPtr CopyOut(void* ptr, const char* text, size_t size)
{
  if (!ptr) return 0;
  KIT_strlcpy((char*)ptr, text, size);
  return 1;
}

// A pointer-sized index or count from the host, or -1 when it is outside [0, n).
int IndexIn(VstIntPtr value, int n)
{
  return (value >= 0 && value < (VstIntPtr)n) ? (int)value : -1;
}
}  // namespace

VstIntPtr IFxVST::VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
  IFxVST* _this = pEffect ? (IFxVST*)pEffect->object : nullptr;
  if (!_this) return 0;

  if (opCode == effClose)
  {
    // Waits for a call in progress on another thread, then lets go before the mutex goes too.
    _this->GetMutex()->Enter();
    _this->GetMutex()->Leave();
    delete _this;
    return 0;
  }

  KIT_MutexScope lock(_this->GetMutex());
  return _this->Dispatch(opCode, idx, value, ptr, opt);
}

VstIntPtr IFxVST::Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
  IParam* pParam = (idx >= 0 && idx < NParams()) ? GetParam(idx) : nullptr;
  char text[256];

  switch (opCode)
  {
    case effOpen:
      HostSpecificInit();
      OnParamReset();
      return 0;

    case effSetProgram:
      if (!DoesStateChunks()) ModifyCurrentPreset();
      {
        const int presetIdx = IndexIn(value, NPresets());
        if (presetIdx >= 0) RestorePreset(presetIdx);
      }
      return 0;

    case effGetProgram:
      return GetCurrentPresetIdx();

    case effSetProgramName:
      if (ptr)
      {
        // The host's name is read no further than the field the interface gives it.
        KIT_strlcpy(text, (const char*)ptr, kVstMaxProgNameLen);
        ModifyCurrentPreset(text);
      }
      return 0;

    case effGetProgramName:
      if (ptr) KIT_strlcpy((char*)ptr, GetPresetName(GetCurrentPresetIdx()), kVstMaxProgNameLen);
      return 0;

    case effGetParamLabel:
      if (pParam && ptr) KIT_strlcpy((char*)ptr, pParam->GetLabelForHost(), kParamTextLen);
      return 0;

    case effGetParamDisplay:
      if (pParam && ptr)
      {
        memset(text, 0, sizeof(text));
        pParam->GetDisplayForHost(pParam->Value(), false, text);
        KIT_strlcpy((char*)ptr, text, kParamTextLen);
      }
      return 0;

    case effGetParamName:
      if (pParam && ptr) KIT_strlcpy((char*)ptr, pParam->GetNameForHost(), kParamTextLen);
      return 0;

    case effSetSampleRate:
      // A rate no filter can run at (zero, negative, not a number) is ignored.
      if (opt > 0.0f && opt < 1.0e7f) SetSampleRate(opt);
      Reset();
      return 0;

    case effSetBlockSize:
      SetBlockSize((value > 0 && value <= kMaxBlockSize) ? (int)value : -1);
      Reset();
      return 0;

    case effMainsChanged:
      OnActivate(value != 0);
      if (!value) Reset();
      return 0;

    case effEditGetRect:
      if (ptr && GetGUI())
      {
        *(ERect**)ptr = &mEditRect;
        return 1;
      }
      return 0;

    case effEditOpen:
      if (GetGUI() && GetGUI()->OpenWindow(ptr))
      {
        OnGUIOpen();
        return 1;
      }
      return 0;

    case effEditClose:
      if (GetGUI())
      {
        OnGUIClose();
        GetGUI()->CloseWindow();
        return 1;
      }
      return 0;

    case effEditIdle:
      OnIdle();
      if (GetGUI()) GetGUI()->OnHostIdle();
      return 0;

    case effIdle:
      OnIdle();
      return 0;

    case effIdentify:
      return kIdentity;

    case effGetChunk:
      return GetChunk((void**)ptr, idx == 0);

    case effSetChunk:
      return SetChunk(ptr, value, idx == 0);

    case effProcessEvents:
      return ProcessEvents((VstEvents*)ptr);

    case effCanBeAutomated:
      return 1;

    case effGetProgramNameIndexed:
      if (ptr)
      {
        KIT_strlcpy((char*)ptr, GetPresetName(idx), kVstMaxProgNameLen);
        return ((const char*)ptr)[0] ? 1 : 0;
      }
      return 0;

    case effGetInputProperties:
      return GetPinProperties(idx, NInChannels(), "Input %d", (VstPinProperties*)ptr) ? 1 : 0;

    case effGetOutputProperties:
      return GetPinProperties(idx, NOutChannels(), "Output %d", (VstPinProperties*)ptr) ? 1 : 0;

    case effGetPlugCategory:
      return kPlugCategEffect;

    case effSetSpeakerArrangement:
      SetSpeakerArrangement((const VstSpeakerArrangement*)value, (const VstSpeakerArrangement*)ptr);
      return 1;

    case effGetEffectName:
      return CopyOut(ptr, GetEffectName(), kVstMaxEffectNameLen);

    case effGetVendorString:
      return CopyOut(ptr, GetMfrName(), kVstMaxVendorStrLen);

    case effGetProductString:
      return CopyOut(ptr, GetProductName(), kVstMaxProductStrLen);

    case effVendorSpecific:
      if (idx == kVendorSpecificDisplayIdx && ptr)
      {
        const int paramIdx = IndexIn(value, NParams());
        if (paramIdx >= 0)
        {
          memset(text, 0, sizeof(text));
          GetParam(paramIdx)->GetDisplayForHost(opt, true, text);
          KIT_strlcpy((char*)ptr, text, kParamTextLen);
        }
        return kVendorSpecificDone;
      }
      return 0;

    case effCanDo:
      if (ptr)
      {
        const char* question = (const char*)ptr;
        if (!strcmp(question, "receiveVstTimeInfo")) return 1;
        if (mDoesMidi && (!strcmp(question, "sendVstEvents") || !strcmp(question, "sendVstMidiEvent") ||
                          !strcmp(question, "receiveVstEvents") || !strcmp(question, "receiveVstMidiEvent")))
          return 1;
      }
      return 0;

    case effGetVstVersion:
      return kVstVersion;

    case effGetMidiKeyName:
      if (ptr)
      {
        MidiKeyName* pKey = (MidiKeyName*)ptr;
        memset(pKey->keyName, 0, sizeof(pKey->keyName));
        memset(text, 0, sizeof(text));
        const bool named = MidiNoteName(pKey->thisKeyNumber, text);
        KIT_strlcpy(pKey->keyName, text, sizeof(pKey->keyName));
        return named ? 1 : 0;
      }
      return 0;

    case effGetSpeakerArrangement:
      if (value) *(VstSpeakerArrangement**)value = &mInputSpkrArr;
      if (ptr) *(VstSpeakerArrangement**)ptr = &mOutputSpkrArr;
      return 1;

    default:
      return 0;
  }
}

bool IFxVST::GetPinProperties(VstInt32 idx, int nChannels, const char* labelFmt, VstPinProperties* pProps)
{
  if (!pProps || idx < 0 || idx >= nChannels) return false;
  pProps->flags = kVstPinIsActive;
  if (idx % 2 == 0) pProps->flags |= kVstPinIsStereo;
  snprintf(pProps->label, sizeof(pProps->label), labelFmt, idx + 1);
  return true;
}

void IFxVST::SetSpeakerArrangement(const VstSpeakerArrangement* pIn, const VstSpeakerArrangement* pOut)
{
  if (pIn)
  {
    const int n = pIn->numChannels < 0 ? 0 : pIn->numChannels > NInChannels() ? NInChannels() : pIn->numChannels;
    SetInputChannelConnections(0, n, true);
    SetInputChannelConnections(n, NInChannels() - n, false);
  }
  if (pOut)
  {
    const int n = pOut->numChannels < 0 ? 0 : pOut->numChannels > NOutChannels() ? NOutChannels() : pOut->numChannels;
    SetOutputChannelConnections(0, n, true);
    SetOutputChannelConnections(n, NOutChannels() - n, false);
  }
}
