// Named images: files and the bundle's resources, the magenta colour key, ownership, their size
// through GetObject, and drawing one upright into a rectangle.

#include <gtest/gtest.h>

#include <Foundation/testkit.h>

#include <string>

#include "gdi_canvas.h"
#include "gdi-misc.h"
#include "kit/pix/image_fixtures.h"

namespace
{
constexpr uint32_t kMagenta = 0xff00ff;

// A 4 x 2 opaque PNG: the top row red, red, magenta, red; the bottom row blue.
fixtures::PngSpec TwoRows()
{
  fixtures::PngSpec s;
  s.width = 4;
  s.height = 2;
  s.colorType = PNG_COLOR_TYPE_RGB;
  s.samples = {255, 0, 0, 255, 0, 0, 255, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255};
  return s;
}

// The image drawn into (2, 2, 6, 4) of a white canvas: what each of its 4 x 2 pixels shows.
std::vector<uint32_t> Drawn(HGDIOBJ bitmap)
{
  GdiCanvas c(8, 8);
  const RECT r = {2, 2, 6, 4};
  DrawImageInRect(c.DC(), bitmap, &r);
  std::vector<uint32_t> out;
  for (int y = 2; y < 4; ++y)
    for (int x = 2; x < 6; ++x) out.push_back(c.At(x, y));
  EXPECT_EQ(c.Inked(0, 0, 8, 2) + c.Inked(0, 4, 8, 8) + c.Inked(0, 0, 2, 8) + c.Inked(6, 0, 8, 8), 0);
  return out;
}
}  // namespace

TEST(GdiImages, AFileWithAndWithoutTheColourKey)
{
  fixtures::ScratchDir dir;
  const std::string path = dir.file("two_rows.png");
  ASSERT_TRUE(fixtures::WritePng(path, TwoRows()));

  HGDIOBJ plain = LoadNamedImage(path.c_str(), false);
  ASSERT_NE(plain, nullptr);
  const GDP_OBJECT* obj = (const GDP_OBJECT*)plain;
  EXPECT_EQ(obj->type, kGdiObjBitmap);
  EXPECT_EQ(obj->wid, 1) << "loaded from its file: owned";
  EXPECT_NE(GetNSImageFromHICON(plain), nullptr);
  int wh[2] = {0, 0};
  EXPECT_EQ(GetObject(plain, 8, wh), 1);
  EXPECT_EQ(wh[0], 4);
  EXPECT_EQ(wh[1], 2);
  int four[4] = {1, 1, 1, 1};
  EXPECT_EQ(GetObject(plain, sizeof(four), four), 0) << "only a size of 8 answers";
  EXPECT_EQ(four[0], 0);
  EXPECT_EQ(Drawn(plain), (std::vector<uint32_t>{0xff0000, 0xff0000, kMagenta, 0xff0000, 0xff, 0xff, 0xff, 0xff}))
    << "upright: the top row on top";

  HGDIOBJ keyed = LoadNamedImage(path.c_str(), true);
  ASSERT_NE(keyed, nullptr);
  EXPECT_EQ(((const GDP_OBJECT*)keyed)->wid, 1);
  EXPECT_EQ(Drawn(keyed), (std::vector<uint32_t>{0xff0000, 0xff0000, 0xffffff, 0xff0000, 0xff, 0xff, 0xff, 0xff}))
    << "the magenta pixel is transparent";

  const long live = FoundationTestKit::LiveObjectCount();
  EXPECT_EQ(DeleteObject(plain), 1);
  EXPECT_EQ(DeleteObject(keyed), 1);
  FoundationTestKit::DrainImplicitPool();
  EXPECT_LT(FoundationTestKit::LiveObjectCount(), live) << "owned images are released with their objects";

  // A path that names no file falls back to the name; neither finds an image.
  EXPECT_EQ(LoadNamedImage(dir.file("missing.png").c_str(), false), nullptr);
  EXPECT_EQ(LoadNamedImage(nullptr, false), nullptr);
  EXPECT_EQ(LoadNamedImage("", true), nullptr);
  DrawImageInRect(nullptr, keyed, nullptr);
}

TEST(GdiImages, ANameFromTheBundlesResourcesIsNotOwned)
{
  // The main bundle of a test program is the folder it runs from.
  char module[2048];
  ASSERT_GT(GetModuleFileName(nullptr, module, sizeof(module)), 0);
  const std::string res = std::string(module) + "/Contents/Resources";
  ASSERT_EQ(system(("mkdir -p '" + res + "'").c_str()), 0);
  const std::string path = res + "/kv_gdi_named.png";
  ASSERT_TRUE(fixtures::WritePng(path, TwoRows()));

  HGDIOBJ named = LoadNamedImage("kv_gdi_named", false);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(((const GDP_OBJECT*)named)->wid, 0) << "the system's cache keeps it";
  HGDIOBJ again = LoadNamedImage("kv_gdi_named", false);
  EXPECT_EQ(GetNSImageFromHICON(again), GetNSImageFromHICON(named));
  EXPECT_EQ(DeleteObject(named), 1);
  EXPECT_EQ(Drawn(again)[4], 0xffu);
  // Keyed, the copy is the object's own.
  HGDIOBJ keyed = LoadNamedImage("kv_gdi_named", true);
  ASSERT_NE(keyed, nullptr);
  EXPECT_EQ(((const GDP_OBJECT*)keyed)->wid, 1);
  EXPECT_NE(GetNSImageFromHICON(keyed), GetNSImageFromHICON(again));
  EXPECT_EQ(Drawn(keyed)[2], 0xffffffu);
  DeleteObject(again);
  DeleteObject(keyed);
  EXPECT_EQ(LoadNamedImage("kv_gdi_no_such_name", false), nullptr);
  unlink(path.c_str());
  FoundationTestKit::DrainImplicitPool();
}
