// Threads drawing text into contexts of their own, each in its own colour, with no font selected
// (so all draw with the one default font): no thread's text comes out in another's colour.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "gdi-emulation.h"

namespace
{
// Pixels of the context whose red, green or blue differs from white's in a channel the colour
// leaves at 255 (ink of a colour other than the thread's own, or of its mix with white).
int ForeignInk(HDC dc, int w, int h, uint32_t rgb)
{
  const uint8_t* p = (const uint8_t*)GDI_GetCtxFrameBuffer(dc);
  int n = 0;
  for (int i = 0; i < w * h; ++i, p += 4)
    for (int c = 0; c < 3; ++c)
      if (((rgb >> (16 - 8 * c)) & 0xff) == 0xff && p[1 + c] != 0xff)
      {
        ++n;
        break;
      }
  return n;
}
}  // namespace

TEST(GdiTextConcurrency, ThreadsDrawWithTheDefaultFontInTheirOwnColours)
{
  // Red keeps red at 255 and blue keeps blue: ink of the other colour shows in that channel.
  // Two threads of each colour; a longer line keeps the layout busy between colour and drawing.
  const uint32_t colours[4] = {0xff0000, 0x0000ff, 0xff0000, 0x0000ff};
  constexpr int kW = 64, kH = 16, kRounds = 1000;
  std::atomic<int> foreign{0}, drawn{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (uint32_t rgb : colours)
    threads.emplace_back([&, rgb] {
      HDC dc = GDI_CreateMemContext(nullptr, kW, kH);
      SetTextColor(dc, (int)rgb);
      while (!go) std::this_thread::yield();
      for (int i = 0; i < kRounds; ++i)
      {
        memset(GDI_GetCtxFrameBuffer(dc), 0xff, (size_t)kW * kH * 4);
        RECT r = {0, 0, kW, kH};
        GDI_DrawText(dc, "WMW WMW WMW WMW WMW WMW", -1, &r, 0);
        foreign += ForeignInk(dc, kW, kH, rgb) > 0;
        ++drawn;
      }
      GDI_DeleteGfxContext(dc);
    });
  go = true;
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(drawn.load(), 4 * kRounds);
  EXPECT_EQ(foreign.load(), 0) << "draws in another thread's colour";
}
