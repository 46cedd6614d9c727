#include <memory>

#include "pix_transform.h"

#include "GuiFixture.h"

namespace
{
// Two plug-in instances with their own surfaces, reading PNG files a test writes.
class CacheTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    IGraphicsPix::FreeBitmapCache();
    for (int i = 0; i < 2; ++i)
    {
      mGraphics[i] = new TestGraphics(&mPlug[i], 32, 32);
      mGraphics[i]->mImageDir = mDir.Path();
      mPlug[i].AttachGraphics(mGraphics[i]);
    }
    ASSERT_TRUE(mDir.Write("knob.png", MakeTestStrip(4, 3, 5, 1)));
    ASSERT_TRUE(mDir.Write("other.png", MakeTestOpaque(6, 2)));
  }
  void TearDown() override { IGraphicsPix::FreeBitmapCache(); }

  int Reads() const
  {
    int n = 0;
    for (TestGraphics* g : mGraphics)
      for (auto& [name, count] : g->mLoads) n += count;
    return n;
  }

  TestImageDir mDir;
  FakePlug mPlug[2];
  TestGraphics* mGraphics[2];
};
}  // namespace

TEST_F(CacheTest, OneLoadPerIDAcrossInstances)
{
  IBitmap a = mGraphics[0]->LoadIBitmap(7001, "knob.png", 5);
  ASSERT_NE(a.mData, nullptr);
  EXPECT_EQ(a.W, 4);
  EXPECT_EQ(a.H, 15);
  EXPECT_EQ(a.N, 5);
  std::unique_ptr<PIX_MemBitmap> written(MakeTestStrip(4, 3, 5, 1));
  EXPECT_EQ(PIX_BitmapCmp(a.mData, written.get()), 0);

  // The second instance, another name and another frame count: the first image, from the cache.
  IBitmap b = mGraphics[1]->LoadIBitmap(7001, "other.png", 3);
  EXPECT_EQ(b.mData, a.mData);
  EXPECT_EQ(b.N, 3);
  EXPECT_EQ(b.W, 4);
  EXPECT_EQ(Reads(), 1);

  IBitmap c = mGraphics[1]->LoadIBitmap(7002, "other.png");
  EXPECT_NE(c.mData, a.mData);
  EXPECT_EQ(c.N, 1);
  EXPECT_EQ(Reads(), 2);
  ASSERT_EQ(IGraphicsPix::CacheSize(), 2);
  EXPECT_EQ(IGraphicsPix::CacheID(0), 7001);
  EXPECT_EQ(IGraphicsPix::CacheID(1), 7002);
  EXPECT_EQ(IGraphicsPix::CacheBitmap(1), c.mData);
}

TEST_F(CacheTest, CroppedAndScaledCopiesAreCacheEntries)
{
  IBitmap src = mGraphics[0]->LoadIBitmap(7010, "knob.png", 5);
  IRECT r(1, 3, 4, 9);
  IBitmap crop = mGraphics[0]->CropBitmap(&src, &r);
  EXPECT_EQ(crop.W, 3);
  EXPECT_EQ(crop.H, 6);
  EXPECT_EQ(crop.N, 5);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(PIX_GetPixel(crop.mData, x, y), PIX_GetPixel(src.mData, x + 1, y + 3));

  IBitmap scaled = mGraphics[1]->ScaleBitmap(&src, 8, 30);
  EXPECT_EQ(scaled.W, 8);
  EXPECT_EQ(scaled.H, 30);
  EXPECT_EQ(scaled.N, 5);
  EXPECT_EQ(scaled.mData->getWidth(), 8);
  PIX_MemBitmap expected(8, 30);
  PIX_ScaledBlit(&expected, src.mData, 0, 0, 8, 30, 0, 0, 4, 15, 1.0f, PIX_MODE_FILTERBILINEAR);
  EXPECT_EQ(PIX_BitmapCmp(scaled.mData, &expected), 0);
  EXPECT_EQ(PIX_GetPixel(scaled.mData, 0, 0), PIX_GetPixel(src.mData, 0, 0));  // a corner keeps its colour

  ASSERT_EQ(IGraphicsPix::CacheSize(), 3);
  EXPECT_EQ(IGraphicsPix::CacheID(1), -1);
  EXPECT_EQ(IGraphicsPix::CacheBitmap(1), crop.mData);
  EXPECT_EQ(IGraphicsPix::CacheID(2), -1);
  EXPECT_EQ(IGraphicsPix::CacheBitmap(2), scaled.mData);

  // Releasing removes and deletes (the sanitizer build sees a double free or a leak); a bitmap
  // the cache does not hold is left alone.
  mGraphics[0]->ReleaseBitmap(&crop);
  ASSERT_EQ(IGraphicsPix::CacheSize(), 2);
  EXPECT_EQ(IGraphicsPix::CacheBitmap(1), scaled.mData);
  PIX_MemBitmap stranger(2, 2);
  IBitmap notCached(&stranger, 2, 2, 1);
  mGraphics[0]->ReleaseBitmap(&notCached);
  EXPECT_EQ(IGraphicsPix::CacheSize(), 2);

  // A retained bitmap belongs to the cache, and goes with it.
  IBitmap retained(new PIX_MemBitmap(3, 3), 3, 3, 1);
  mGraphics[1]->RetainBitmap(&retained);
  EXPECT_EQ(IGraphicsPix::CacheSize(), 3);
  IGraphicsPix::FreeBitmapCache();
  EXPECT_EQ(IGraphicsPix::CacheSize(), 0);
}

TEST_F(CacheTest, DeletingASurfaceKeepsTheImages)
{
  IBitmap a = mGraphics[0]->LoadIBitmap(7020, "knob.png", 5);
  mGraphics[0]->AttachControl(new IKnobMultiControl(&mPlug[0], 0, 0, -1, &a));
  mPlug[0].AttachGraphics(new TestGraphics(&mPlug[0], 32, 32));  // replaces and deletes the first surface
  EXPECT_EQ(IGraphicsPix::CacheSize(), 1);
  EXPECT_EQ(IGraphicsPix::CacheBitmap(0), a.mData);
  EXPECT_EQ(a.mData->getWidth(), 4);
}

// A missing or unreadable image is reported and the surface carries on without it: the product
// then goes without an editor instead of taking the host down.
TEST_F(CacheTest, AnImageThatCannotBeLoadedIsReportedAndCounted)
{
  testing::internal::CaptureStderr();
  IBitmap missing = mGraphics[0]->LoadIBitmap(7030, "missing.png");
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(mGraphics[0]->ImagesMissing(), 1);
  mGraphics[0]->mLoader = nullptr;
  mGraphics[0]->AttachBackground(7031, "knob.png");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Assertion failed: (imgResourceFound), file kit/IFx/IGraphicsPix, line"), std::string::npos) << err;
  EXPECT_EQ(mGraphics[0]->ImagesMissing(), 2);
  EXPECT_EQ(IGraphicsPix::CacheSize(), 0) << "nothing cached for a miss: a later load may find it";
  IRECT all(0, 0, 32, 32);
  EXPECT_TRUE(mGraphics[0]->Draw(&all)) << "an empty image draws nothing";
}
