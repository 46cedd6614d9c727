#pragma once
// An editor surface that only records what the core asks of it, and its own deletion, into a log
// that outlives it.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "IGraphics.h"

class FakeGraphics : public IGraphics
{
public:
  explicit FakeGraphics(std::shared_ptr<std::vector<std::string>> log, int w = 800, int h = 400)
    : mLog(std::move(log)), mW(w), mH(h) {}
  ~FakeGraphics() override { mLog->push_back("deleted"); }

  void PrepDraw() override { mLog->push_back("prepdraw"); }
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override
  {
    char s[96];
    snprintf(s, sizeof(s), "set %d %g %s", paramIdx, value, normalized ? "norm" : "plain");
    mLog->push_back(s);
  }
  void* OpenWindow(void* pParent) override
  {
    mLog->push_back("open");
    return pParent;
  }
  void CloseWindow() override { mLog->push_back("close"); }
  int Width() override { return mW; }
  int Height() override { return mH; }

private:
  std::shared_ptr<std::vector<std::string>> mLog;
  int mW, mH;
};
