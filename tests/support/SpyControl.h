#pragma once
// A control that logs every call the editor surface makes on it as a short text ("down A 10 5",
// "drag A 3 -2", "up A", "dbl A", "wheel A 2", "key A 65", "over A", "out A") into a log it is
// given, usually the FakePlug's, so that control calls and host notifications read in one order;
// its deletion logs "delete A" when mLogDelete is set (only while the log still exists).
// It may react as real controls do: jump to a value on the press, move with a drag.

#include <string>
#include <vector>

#include "IControl.h"
#include "IGraphics.h"

class SpyControl : public IControl
{
public:
  SpyControl(IFxBase* pPlug, const IRECT& r, int paramIdx, std::vector<std::string>* pLog, const char* name)
    : IControl(pPlug, r, paramIdx), mLog(pLog), mName(name) {}

  ~SpyControl() override
  {
    if (mLogDelete) Log("delete " + mName);
  }

  bool mLogDelete = false;
  double mValueOnDown = -1.0;  // when 0 or more, a press sets this value and sends it
  double mDragScale = 0.0;     // when not 0, a drag moves the value by dY * scale and sends it
  int mDraws = 0, mCleans = 0, mIdles = 0;

  void OnMouseDown(int x, int y, IMouseMod* pMod) override
  {
    Log("down " + mName + " " + std::to_string(x) + " " + std::to_string(y));
    IControl::OnMouseDown(x, y, pMod);
    if (mValueOnDown >= 0.0)
    {
      SetValue(mValueOnDown);
      SetDirty(true);
    }
  }
  void OnMouseUp(int, int, IMouseMod*) override { Log("up " + mName); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override
  {
    Log("drag " + mName + " " + std::to_string(dX) + " " + std::to_string(dY));
    if (mDragScale != 0.0)
    {
      SetValue(GetValue() + dY * mDragScale);
      SetDirty(true);
    }
  }
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override
  {
    Log("dbl " + mName);
    IControl::OnMouseDblClick(x, y, pMod);
  }
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override
  {
    Log("wheel " + mName + " " + std::to_string(d));
    IControl::OnMouseWheel(x, y, pMod, d);
  }
  void OnKeyDown(int, int, int key) override { Log("key " + mName + " " + std::to_string(key)); }
  void OnMouseOver(int, int, IMouseMod*) override { Log("over " + mName); }
  void OnMouseOut() override { Log("out " + mName); }
  void OnGUIIdle() override { ++mIdles; }
  bool Draw(IGraphics*) override
  {
    ++mDraws;
    return true;
  }
  void SetClean() override
  {
    ++mCleans;
    IControl::SetClean();
  }

  using IControl::SetValue;

private:
  void Log(const std::string& s)
  {
    if (mLog) mLog->push_back(s);
  }

  std::vector<std::string>* mLog;
  std::string mName;
};
