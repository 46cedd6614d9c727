#pragma once
// An editor surface that records what the core asks of it, and its own deletion, into a log
// that outlives it. Everything else is the headless test surface's.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TestGraphics.h"

class FakeGraphics : public TestGraphics
{
public:
  explicit FakeGraphics(std::shared_ptr<std::vector<std::string>> log, int w = 800, int h = 400)
    : TestGraphics(nullptr, w, h), mLog(std::move(log)) {}
  ~FakeGraphics() override { mLog->push_back("deleted"); }

  void PrepDraw() override
  {
    mLog->push_back("prepdraw");
    TestGraphics::PrepDraw();
  }
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override
  {
    char s[96];
    snprintf(s, sizeof(s), "set %d %g %s", paramIdx, value, normalized ? "norm" : "plain");
    mLog->push_back(s);
    TestGraphics::SetParameterFromPlug(paramIdx, value, normalized);
  }
  void* OpenWindow(void* pParent) override
  {
    mLog->push_back("open");
    TestGraphics::OpenWindow(pParent);
    return pParent;
  }
  void CloseWindow() override
  {
    mLog->push_back("close");
    TestGraphics::CloseWindow();
  }

private:
  std::shared_ptr<std::vector<std::string>> mLog;
};
