#pragma once
// An object that reports when it is freed, for tests of ownership.

#include <functional>
#include <vector>

#include <Foundation/Foundation.h>

class FreedProbe : public NSObject
{
public:
  explicit FreedProbe(int tag = 0, std::vector<int>* freed = nullptr) : mTag(tag), mFreed(freed) {}
  // Run by the destructor (before the probe reports itself freed).
  std::function<void()> mOnFree;
  const char* className() const override { return "FreedProbe"; }

protected:
  ~FreedProbe() override
  {
    if (mOnFree) mOnFree();
    if (mFreed) mFreed->push_back(mTag);
  }

private:
  int mTag;
  std::vector<int>* mFreed;
};
