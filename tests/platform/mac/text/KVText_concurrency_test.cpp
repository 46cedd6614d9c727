// The engine called from several threads at once: resolving names, laying out and drawing into
// each thread's own bitmap give what one thread alone gives.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "text_fixtures.h"

namespace
{
std::vector<uint8_t> Render(const std::string& family, double size, int variant)
{
  KVText::Face face;
  KVText::Style style;
  style.face = KVText::ResolveFace(family.c_str(), &face) ? &face : nullptr;
  style.size = size;
  style.deviceMetrics = variant % 2 == 0;
  style.antialias = variant % 3 != 0;
  CGCanvas cv(120, 30, kCGImageAlphaNoneSkipFirst);
  cv.FlipToMemoryRows();
  const std::string text = "Threshold -18.5 dB";
  KVText::Layout l;
  KVText::LayoutLine(style, text.data(), text.size(), CGRectMake(2, 2, 116, 26), KVText::kAlignCenter, true,
                     CGContextGetCTM(cv.Ctx()), &l);
  const CGFloat white[4] = {1, 1, 1, 1};
  EXPECT_TRUE(KVText::DrawLine(cv.Ctx(), style, l, true, white));
  return cv.Snapshot();
}
}  // namespace

TEST(KVTextConcurrency, ThreadsLayOutAndDrawAsOneThreadDoes)
{
  const std::vector<std::string> families = {"Arial", "DejaVu Sans", "Times New Roman", "NoSuchFont Qwerty"};
  std::vector<std::vector<uint8_t>> expected;
  for (size_t i = 0; i < families.size(); ++i) expected.push_back(Render(families[i], 9 + (double)i, (int)i));
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 40; ++round)
      {
        const size_t i = (size_t)(t + round) % families.size();
        if (Render(families[i], 9 + (double)i, (int)i) != expected[i]) ++mismatches[(size_t)t];
      }
    });
  for (std::thread& th : threads) th.join();
  for (int m : mismatches) EXPECT_EQ(m, 0);
}
