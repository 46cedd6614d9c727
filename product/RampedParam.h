#pragma once
// A smoothed parameter value: each Ramp() call moves the value one step toward its target and
// lands on the target exactly.

class RampedParam
{
public:
  RampedParam(double step, bool multiplicative) : mMultiplicative(multiplicative), mStep(step) {}

  void SetTarget(double t)
  {
    mTarget = t;
    if (t > mValue)
    {
      mRising = true;
      mFalling = false;
      mIncrement = mMultiplicative ? 1.0 + mStep : mStep;
    }
    else if (t < mValue)
    {
      mFalling = true;
      mRising = false;
      mIncrement = mMultiplicative ? 1.0 / (1.0 + mStep) : -mStep;
    }
    else
    {
      mRising = mFalling = false;
    }
  }

  void SetUnramped(double v)
  {
    mValue = mTarget = v;
    mRising = mFalling = false;
  }

  void EndRamp()
  {
    mValue = mTarget;
    mRising = mFalling = false;
  }

  // True while a ramp ran in this call (including the call that reaches the target).
  bool Ramp()
  {
    if (!mRising && !mFalling) return false;
    mValue = mMultiplicative ? mValue * mIncrement : mValue + mIncrement;
    if (mRising ? mValue < mTarget : mValue > mTarget) return true;
    EndRamp();
    return true;
  }

  double Value() const { return mValue; }
  double Target() const { return mTarget; }
  bool IsRamping() const { return mRising || mFalling; }

private:
  bool mMultiplicative;
  bool mRising = false;
  bool mFalling = false;
  double mValue = 0.0;
  double mTarget = 0.0;
  double mStep;
  double mIncrement = 0.0;
};
