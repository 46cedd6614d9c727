// IFxBase: presets, the parameter state body and the preset bank, and the parameter flow
// between the editor, the host and the product.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "IFxBase.h"
#include "IFxCheck.h"

namespace
{
const double kUnusedPresetParam = 9.999e-8;  // marks a parameter a factory preset does not name

bool IsIntegralKind(const IParam* pParam)
{
  return pParam->Type() == IParam::kTypeBool || pParam->Type() == IParam::kTypeInt ||
         pParam->Type() == IParam::kTypeEnum;
}

// A factory value for a bool, int or enum parameter is read as an int: truncated toward zero.
double PresetValueFor(const IParam* pParam, double value)
{
  return IsIntegralKind(pParam) ? std::trunc(value) : value;
}

IPreset* FirstUninitialized(const KIT_PtrList<IPreset>& presets)
{
  for (int i = 0; i < presets.GetSize(); ++i)
    if (!presets.Get(i)->mInitialized) return presets.Get(i);
  return nullptr;
}
}  // namespace

// ----- Preset makers -----

void IFxBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int i = 0; i < nPresets; ++i)
  {
    IPreset* pPreset = FirstUninitialized(mPresets);
    if (!pPreset) return;
    pPreset->mInitialized = true;
    KIT_strlcpy(pPreset->mName, name ? name : "Default", sizeof(pPreset->mName));
    SerializeParams(&pPreset->mChunk);
  }
}

void IFxBase::MakePresetFromNamedParams(const char* name, const IPresetParam* params, int nParamsNamed)
{
  IPreset* pPreset = FirstUninitialized(mPresets);
  if (!pPreset) return;
  pPreset->mInitialized = true;
  KIT_strlcpy(pPreset->mName, name, sizeof(pPreset->mName));

  const int n = NParams();
  std::vector<double> values((size_t)n, kUnusedPresetParam);
  for (int i = 0; i < nParamsNamed; ++i)
  {
    const int paramIdx = params[i].mIdx;
    IFX_CHECK(paramIdx >= 0 && paramIdx < n, "kit/IFx/IFxBase", 470);
    values[(size_t)paramIdx] = PresetValueFor(GetParam(paramIdx), params[i].mValue);
  }
  for (int i = 0; i < n; ++i)
  {
    double v = values[(size_t)i];
    if (v == kUnusedPresetParam) v = GetParam(i)->Value();
    pPreset->mChunk.Put(&v);
  }
}

void IFxBase::MakePresetFromValues(const char* name, const double* values, int nValues)
{
  IPreset* pPreset = FirstUninitialized(mPresets);
  if (!pPreset) return;
  pPreset->mInitialized = true;
  KIT_strlcpy(pPreset->mName, name, sizeof(pPreset->mName));
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* pParam = GetParam(i);
    const double v = i < nValues ? PresetValueFor(pParam, values[i]) : pParam->Value();
    pPreset->mChunk.Put(&v);
  }
}

void IFxBase::EnsureDefaultPreset()
{
  if (NPresets()) return;
  IPreset* pPreset = new IPreset;
  snprintf(pPreset->mName, sizeof(pPreset->mName), "- %d -", 1);
  mPresets.Add(pPreset);
  MakeDefaultPreset("Default", 1);
}

void IFxBase::PruneUninitializedPresets()
{
  for (int i = 0; i < mPresets.GetSize();)
  {
    if (mPresets.Get(i)->mInitialized) ++i;
    else mPresets.Delete(i, true);
  }
}

// ----- Using presets -----

const char* IFxBase::GetPresetName(int idx) const
{
  const IPreset* pPreset = mPresets.Get(idx);
  return pPreset ? pPreset->mName : "";
}

bool IFxBase::RestorePreset(int idx)
{
  IPreset* pPreset = mPresets.Get(idx);
  if (!pPreset) return false;

  bool restored;
  if (pPreset->mInitialized)
  {
    restored = UnserializeParams(&pPreset->mChunk, 0) > 0;
  }
  else
  {
    int nUserPresets = 0;
    for (int i = 0; i < NPresets(); ++i)
      if (strstr(mPresets.Get(i)->mName, "user preset")) ++nUserPresets;
    pPreset->mInitialized = true;
    snprintf(pPreset->mName, sizeof(pPreset->mName), "%s %d", "user preset", nUserPresets + 1);
    restored = SerializeParams(&pPreset->mChunk);
  }

  if (restored)
  {
    mCurrentPresetIdx = idx;
    RedrawParamControls();
  }
  return restored;
}

bool IFxBase::RestorePreset(const char* name)
{
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (!strcmp(mPresets.Get(i)->mName, name)) return RestorePreset(i);
  return false;
}

void IFxBase::ModifyCurrentPreset(const char* name)
{
  IPreset* pPreset = mPresets.Get(mCurrentPresetIdx);
  if (!pPreset) return;
  pPreset->mChunk.Clear();
  SerializeParams(&pPreset->mChunk);
  if (name && name[0]) KIT_strlcpy(pPreset->mName, name, sizeof(pPreset->mName));
}

bool IFxBase::DumpPresetSrcCode(const char* filename, const char* paramEnumNames[])
{
  static bool s_dumped = false;
  if (s_dumped) return false;
  FILE* fp = fopen(filename, "w");
  if (!fp) return false;
  s_dumped = true;

  const int n = NParams();
  fprintf(fp, "  MakePresetFromNamedParams(\"name\", %d", n);
  for (int i = 0; i < n; ++i)
  {
    const IParam* pParam = GetParam(i);
    char valueStr[32];
    switch (pParam->Type())
    {
      case IParam::kTypeBool: snprintf(valueStr, sizeof(valueStr), "%s", pParam->Value() >= 0.5 ? "true" : "false"); break;
      case IParam::kTypeInt:
      case IParam::kTypeEnum: snprintf(valueStr, sizeof(valueStr), "%d", pParam->Int()); break;
      default: snprintf(valueStr, sizeof(valueStr), "%.2f", pParam->Value()); break;
    }
    fprintf(fp, ",\n    %s, %s", paramEnumNames[i], valueStr);
  }
  fprintf(fp, ");\n");
  fclose(fp);
  return true;
}

// ----- The parameter state body and the preset bank -----

bool IFxBase::SerializeParams(ByteChunk* pChunk)
{
  KIT_MutexScope lock(&mMutex);
  const int start = pChunk->Size();
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->Value();
    const int before = pChunk->Size();
    if (pChunk->Put(&v) != before + (int)sizeof(double))
    {
      // A failed append leaves no half-written state behind.
      pChunk->Resize(start);
      return false;
    }
  }
  return true;
}

void IFxBase::SetParamFromState(int idx, double value)
{
  IParam* pParam = GetParam(idx);
  pParam->Set(pParam->Quantize(value));
}

// Reads every value before changing any: a body that is short, starts at a negative position or
// holds a NaN changes nothing and returns -1.
int IFxBase::UnserializeParams(ByteChunk* pChunk, int startPos)
{
  KIT_MutexScope lock(&mMutex);
  const int n = NParams();
  int pos = startPos;
  for (int i = 0; i < n && pos >= 0; ++i)
  {
    double v = 0.0;
    pos = pChunk->Get(&v, pos);
    if (pos >= 0 && std::isnan(v)) pos = -1;
  }
  if (pos < 0) return -1;

  pos = startPos;
  for (int i = 0; i < n; ++i)
  {
    double v = 0.0;
    pos = pChunk->Get(&v, pos);
    SetParamFromState(i, v);
  }
  for (int i = 0; i < n; ++i) OnParamChange(i);
  return pos;
}

bool IFxBase::SerializePresets(ByteChunk* pChunk)
{
  const int start = pChunk->Size();
  for (int i = 0; i < NPresets(); ++i)
  {
    const IPreset* pPreset = mPresets.Get(i);
    if (!pPreset) continue;
    const int expected = pChunk->Size() + 4 + (int)strlen(pPreset->mName);
    bool ok = pChunk->PutStr(pPreset->mName) == expected;
    ok = ok && pChunk->PutBool(pPreset->mInitialized) == expected + 1;
    if (ok && pPreset->mInitialized)
      ok = pChunk->PutChunk(&pPreset->mChunk) == expected + 1 + pPreset->mChunk.Size();
    if (!ok)
    {
      pChunk->Resize(start);
      return false;
    }
  }
  return true;
}

// The bank is parsed into temporaries first; only the entries that read whole (a name, the flag
// and, for a filled preset, a readable state body) are applied, in order. A bank that ends early
// or is malformed applies its valid leading entries and returns -1.
int IFxBase::UnserializePresets(ByteChunk* pChunk, int startPos)
{
  struct Entry
  {
    int mNamePos, mNameLen;  // a length of 0 keeps the previous entry's name
    bool mInitialized;
    int mBodyPos;
  };
  std::vector<Entry> entries;
  int pos = startPos;
  const int n = NParams();
  for (int i = 0; i < NPresets() && pos >= 0; ++i)
  {
    Entry e = {};
    int32_t len = 0;
    pos = pChunk->Get(&len, pos);
    if (pos < 0 || len < 0 || (int64_t)pos + len > pChunk->Size()) { pos = -1; break; }
    e.mNamePos = pos;
    e.mNameLen = len;
    pos = pChunk->GetBool(&e.mInitialized, pos + len);
    if (pos < 0) break;
    if (e.mInitialized)
    {
      e.mBodyPos = pos;
      for (int p = 0; p < n && pos >= 0; ++p)
      {
        double v = 0.0;
        pos = pChunk->Get(&v, pos);
        if (pos >= 0 && std::isnan(v)) pos = -1;
      }
      if (pos < 0) break;
    }
    entries.push_back(e);
  }

  KIT_String name;
  for (size_t i = 0; i < entries.size(); ++i)
  {
    const Entry& e = entries[i];
    IPreset* pPreset = mPresets.Get((int)i);
    if (e.mNameLen > 0)
      name.Set((const char*)pChunk->GetBytes() + e.mNamePos, std::min(e.mNameLen, (int)IPreset::kNameLen - 1));
    KIT_strlcpy(pPreset->mName, name.Get(), sizeof(pPreset->mName));
    pPreset->mInitialized = e.mInitialized;
    if (e.mInitialized && UnserializeParams(pChunk, e.mBodyPos) > 0)
    {
      pPreset->mChunk.Clear();
      SerializeParams(&pPreset->mChunk);
    }
  }

  RestorePreset(mCurrentPresetIdx);
  return pos;
}

// ----- Parameter flow -----

void IFxBase::SetParameterFromGUI(int idx, double normalizedValue)
{
  IParam* pParam = GetParam(idx);
  if (!pParam || std::isnan(normalizedValue)) return;
  normalizedValue = std::min(std::max(normalizedValue, 0.0), 1.0);
  KIT_MutexScope lock(&mMutex);
  pParam->SetNormalized(normalizedValue);
  InformHostOfParamChange(idx, normalizedValue);
  OnParamChange(idx);
}

void IFxBase::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics) return;
  KIT_MutexScope lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  pGraphics->PrepDraw();
  if (mGraphics != pGraphics) delete mGraphics;
  mGraphics = pGraphics;
}

void IFxBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

void IFxBase::OnParamReset()
{
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}
