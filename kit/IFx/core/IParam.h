#pragma once
// One automatable parameter: kind, plain value, range, step, the shape of its normalised mapping,
// its name and unit label for the host, and its display texts.

#include "heapbuf.h"

class IParam
{
public:
  enum EValueKind { kTypeNone = 0, kTypeBool, kTypeInt, kTypeEnum, kTypeDouble };

  enum { kNameLen = 32, kLabelLen = 32, kDisplayTextLen = 32 };

  IParam() = default;
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  void InitBool(const char* name, bool defaultVal, const char* label = "");
  void InitEnum(const char* name, int defaultVal, int nEnums);
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step, const char* label = "");

  // The plain value; the setter clamps into [min, max].
  void Set(double value);
  double Value() const { return mValue; }
  bool Bool() const { return mValue >= 0.5; }
  int Int() const { return (int)mValue; }
  double DBToAmp() const;

  void SetNormalized(double normalizedValue);
  double GetNormalized() const;
  double GetNormalized(double nonNormalizedValue) const;
  // Plain value for a normalised one, through the shape; neither rounded nor clamped.
  double GetNonNormalized(double normalizedValue) const;

  void SetShape(double shape);
  void SetDisplayText(int value, const char* text);

  void GetDisplayForHost(double value, bool normalized, char* str) const;
  void GetDisplayForHost(char* str) const { GetDisplayForHost(mValue, false, str); }
  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const { return mLabel; }

  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  const char* GetDisplayText(int value) const;
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const;
  bool MapDisplayText(const char* str, int* value) const;

  EValueKind Type() const { return mType; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  int GetPrecision() const { return mDisplayPrecision; }
  void GetBounds(double* minVal, double* maxVal) const { *minVal = mMin; *maxVal = mMax; }
  bool GetNegateDisplay() const { return mNegateDisplay; }

  // The plain value rounded to the step for every kind but double (bool, int, enum, none),
  // then clamped into [min, max].
  double Quantize(double value) const;

private:
  struct DisplayTextEntry
  {
    int mValue;
    char mText[kDisplayTextLen];
  };

  EValueKind mType = kTypeNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  int mDisplayPrecision = 0;
  char mName[kNameLen] = {};
  char mLabel[kLabelLen] = {};
  bool mNegateDisplay = false;
  KIT_TypedBuf<DisplayTextEntry> mDisplayTexts;
};
