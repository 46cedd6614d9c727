// Contexts and objects created and deleted from several threads at once share the pools safely.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "gdi-draw.h"

TEST(GdiPoolsConcurrency, ThreadsCreateAndDeleteContextsAndObjects)
{
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 400; ++i)
      {
        HDC dc = GDI_CreateMemContext(nullptr, 8 + t, 4);
        ASSERT_NE(dc, nullptr);
        ((uint32_t*)GDI_GetCtxFrameBuffer(dc))[0] = (uint32_t)i;
        GDP_OBJECT* obj = GDP_OBJECT_NEW();
        obj->type = kGdiObjPen;
        GDP_OBJECT_FREE(obj);
        GDI_DeleteGfxContext(dc);
      }
    });
  for (std::thread& th : threads) th.join();
  EXPECT_LE(GDI_CtxPoolSize(), kGdiPoolMax);
  EXPECT_GE(GDI_CtxPoolSize(), 1);
}
