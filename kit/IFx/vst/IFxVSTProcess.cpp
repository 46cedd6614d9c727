// IFxVST: the audio and parameter callbacks of the effect record. Each holds the instance mutex
// for its whole run; frame counts beyond the block size are processed in sub-blocks by the core.

#include <cmath>

#include "IFxVST.h"

template <class T>
void IFxVST::VSTPrepProcess(T** inputs, T** outputs, VstInt32 nFrames)
{
  if (mDoesMidi) HostCallback(audioMasterWantMidi);
  AttachInputBuffers(0, NInChannels(), inputs, nFrames);
  AttachOutputBuffers(0, NOutChannels(), outputs);
}

template <class T, class Process>
void IFxVST::ProcessLocked(AEffect* pEffect, T** inputs, T** outputs, VstInt32 nFrames, Process process)
{
  IFxVST* _this = pEffect ? (IFxVST*)pEffect->object : nullptr;
  if (!_this) return;
  KIT_MutexScope lock(_this->GetMutex());
  _this->VSTPrepProcess(inputs, outputs, nFrames);
  process(_this, nFrames);
}

void IFxVST::VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames)
{
  ProcessLocked(pEffect, inputs, outputs, nFrames, [](IFxVST* p, int n) { p->ProcessBuffersAccumulating(0.0f, n); });
}

void IFxVST::VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames)
{
  ProcessLocked(pEffect, inputs, outputs, nFrames, [](IFxVST* p, int n) { p->ProcessBuffers(0.0f, n); });
}

void IFxVST::VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs, VstInt32 nFrames)
{
  ProcessLocked(pEffect, inputs, outputs, nFrames, [](IFxVST* p, int n) { p->ProcessBuffers(0.0, n); });
}

float IFxVST::VSTGetParameter(AEffect* pEffect, VstInt32 idx)
{
  IFxVST* _this = pEffect ? (IFxVST*)pEffect->object : nullptr;
  if (!_this) return 0.0f;
  KIT_MutexScope lock(_this->GetMutex());
  if (idx < 0 || idx >= _this->NParams()) return 0.0f;
  return (float)_this->GetParam(idx)->GetNormalized();
}

void IFxVST::VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value)
{
  IFxVST* _this = pEffect ? (IFxVST*)pEffect->object : nullptr;
  if (!_this) return;
  KIT_MutexScope lock(_this->GetMutex());
  if (idx < 0 || idx >= _this->NParams() || std::isnan(value)) return;
  // The editor and the parameter see the same value, held to the normalised range.
  const double normalized = value < 0.0f ? 0.0 : value > 1.0f ? 1.0 : (double)value;
  if (IGraphics* pGraphics = _this->GetGUI()) pGraphics->SetParameterFromPlug(idx, normalized, true);
  _this->GetParam(idx)->SetNormalized(normalized);
  _this->OnParamChange(idx);
}
