#include "IParam.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include "kitstring.h"

void IParam::InitBool(const char* name, bool defaultVal, const char* /*label*/)
{
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums)
{
  if (mType == kTypeNone) mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, "");
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label)
{
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, (double)defaultVal, (double)minVal, (double)maxVal, 1.0, label);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step, const char* label)
{
  if (mType == kTypeNone) mType = kTypeDouble;
  KIT_strlcpy(mName, name, sizeof(mName));
  KIT_strlcpy(mLabel, label, sizeof(mLabel));
  mValue = defaultVal;
  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);
  mStep = step;
  mDisplayPrecision = 0;
  for (double s = step; s != std::floor(s) && mDisplayPrecision < 6; s *= 10.0) ++mDisplayPrecision;
}

void IParam::Set(double value)
{
  if (std::isnan(value)) return;
  mValue = std::min(std::max(value, mMin), mMax);
}

double IParam::DBToAmp() const
{
  return std::exp(0.1151292546497 * mValue);
}

double IParam::GetNonNormalized(double normalizedValue) const
{
  return std::pow(normalizedValue, mShape) * (mMax - mMin) + mMin;
}

double IParam::Quantize(double value) const
{
  if (mType != kTypeDouble) value = mStep * std::floor(value / mStep + 0.5);
  return std::min(std::max(value, mMin), mMax);
}

void IParam::SetNormalized(double normalizedValue)
{
  // Hosts can send anything: NaN is ignored, the rest is held to the normalised range.
  if (std::isnan(normalizedValue)) return;
  normalizedValue = std::min(std::max(normalizedValue, 0.0), 1.0);
  double value = GetNonNormalized(normalizedValue);
  if (mType != kTypeDouble) value = mStep * std::floor(value / mStep + 0.5);
  mValue = std::min(value, mMax);
}

double IParam::GetNormalized() const
{
  return GetNormalized(mValue);
}

double IParam::GetNormalized(double nonNormalizedValue) const
{
  const double v = std::min(std::max(nonNormalizedValue, mMin), mMax);
  return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

void IParam::SetShape(double shape)
{
  if (shape != 0.0) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text)
{
  const int n = mDisplayTexts.GetSize();
  mDisplayTexts.Resize(n + 1);
  if (mDisplayTexts.GetSize() != n + 1) return;
  DisplayTextEntry* entry = mDisplayTexts.Get() + n;
  entry->mValue = value;
  KIT_strlcpy(entry->mText, text, sizeof(entry->mText));
}

const char* IParam::GetDisplayText(int value) const
{
  const DisplayTextEntry* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
    if (entries[i].mValue == value) return entries[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* value) const
{
  if (idx < 0 || idx >= mDisplayTexts.GetSize()) return "";
  const DisplayTextEntry* entry = mDisplayTexts.Get() + idx;
  if (value) *value = entry->mValue;
  return entry->mText;
}

bool IParam::MapDisplayText(const char* str, int* value) const
{
  const DisplayTextEntry* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
  {
    if (!strcmp(entries[i].mText, str))
    {
      *value = entries[i].mValue;
      return true;
    }
  }
  return false;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* str) const
{
  if (normalized) value = GetNonNormalized(value);

  // A key outside int's range (or NaN) names no display text.
  if (value > -2147483648.0 && value < 2147483648.0)
  {
    const char* text = GetDisplayText((int)value);
    if (text[0])
    {
      strcpy(str, text);
      return;
    }
  }

  if (mNegateDisplay) value = -value;

  if (value == 0.0)
  {
    strcpy(str, "0");
  }
  else if (mDisplayPrecision == 0)
  {
    const int iv = (value > -2147483648.0 && value < 2147483648.0) ? (int)value : (value > 0 ? INT32_MAX : INT32_MIN);
    sprintf(str, "%d", iv);
  }
  else
  {
    char fmt[16];
    sprintf(fmt, "%%.%df", mDisplayPrecision);
    snprintf(str, kDisplayTextLen, fmt, value);
  }
}
