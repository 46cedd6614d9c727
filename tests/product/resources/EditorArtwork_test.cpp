// The editor's images as the drawing program writes them: each of the size and frame count its
// control needs, the panel opaque, the strips telling their frames apart, and the same bytes on
// every run.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "pix_loaders.h"

namespace
{
struct Expect
{
  const char* file;
  int width, frameHeight, frames;
};
const Expect kImages[] = {
  { "bg.png", 800, 400, 1 },          { "dial-attack.png", 60, 60, 150 },   { "dial-release.png", 60, 60, 150 },
  { "dial-ratio.png", 60, 60, 150 },  { "dot.png", 26, 26, 151 },           { "fader_io.png", 13, 13, 1 },
  { "fader_gr.png", 13, 10, 1 },      { "fader_comp.png", 16, 22, 1 },      { "oversample.png", 40, 18, 2 },
  { "sidechain.png", 40, 18, 2 },     { "feedback-switch.png", 24, 40, 2 }, { "mode-knob.png", 70, 70, 145 },
  { "vu_green.png", 240, 14, 376 },   { "vu_red.png", 240, 14, 376 },       { "lcd.png", 6, 10, 10 },
  { "lcd_auto.png", 36, 10, 3 },      { "lcd_attack.png", 36, 10, 1 },
};

std::unique_ptr<PIX_IBitmap> Load(const std::string& dir, const char* file)
{
  return std::unique_ptr<PIX_IBitmap>(PIX_LoadPNG((dir + "/" + file).c_str(), nullptr));
}

// Whether frames a and b of a strip differ anywhere.
bool FramesDiffer(PIX_IBitmap* bm, int frameH, int a, int b)
{
  for (int y = 0; y < frameH; ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (bm->getBits()[(a * frameH + y) * bm->getRowSpan() + x] != bm->getBits()[(b * frameH + y) * bm->getRowSpan() + x])
        return true;
  return false;
}

std::string Bytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(EditorArtwork, EveryImageHasItsSizeAndFrames)
{
  for (const Expect& e : kImages)
  {
    std::unique_ptr<PIX_IBitmap> bm = Load(KV_EDITOR_IMAGE_DIR, e.file);
    ASSERT_NE(bm, nullptr) << e.file;
    EXPECT_EQ(bm->getWidth(), e.width) << e.file;
    EXPECT_EQ(bm->getHeight(), e.frameHeight * e.frames) << e.file;
    // Opaque throughout: drawn over the panel they sit on, and the panel itself.
    int transparent = 0;
    for (int y = 0; y < bm->getHeight(); ++y)
      for (int x = 0; x < bm->getWidth(); ++x) transparent += (bm->getBits()[y * bm->getRowSpan() + x] & 0xff) != 0xff;
    EXPECT_EQ(transparent, 0) << e.file;
  }
}

TEST(EditorArtwork, StripsTellTheirFramesApart)
{
  struct Strip
  {
    const char* file;
    int frameH, frames;
  } strips[] = { { "dial-attack.png", 60, 150 }, { "dot.png", 26, 151 }, { "mode-knob.png", 70, 145 },
                 { "vu_green.png", 14, 376 },    { "vu_red.png", 14, 376 }, { "oversample.png", 18, 2 },
                 { "sidechain.png", 18, 2 },     { "feedback-switch.png", 40, 2 }, { "lcd.png", 10, 10 },
                 { "lcd_auto.png", 10, 3 } };
  for (const Strip& s : strips)
  {
    std::unique_ptr<PIX_IBitmap> bm = Load(KV_EDITOR_IMAGE_DIR, s.file);
    ASSERT_NE(bm, nullptr) << s.file;
    for (int f = 1; f < s.frames; ++f) EXPECT_TRUE(FramesDiffer(bm.get(), s.frameH, f - 1, f)) << s.file << " frame " << f;
  }
  // Every digit differs from every other.
  std::unique_ptr<PIX_IBitmap> lcd = Load(KV_EDITOR_IMAGE_DIR, "lcd.png");
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b) EXPECT_TRUE(FramesDiffer(lcd.get(), 10, a, b)) << a << " " << b;
  // The meters: the first frame lights nothing that the last does not, and the last lights the far end.
  std::unique_ptr<PIX_IBitmap> vu = Load(KV_EDITOR_IMAGE_DIR, "vu_green.png");
  const PIX_PixelValue firstEnd = vu->getBits()[7 * 240 + 237], lastEnd = vu->getBits()[(375 * 14 + 7) * 240 + 237];
  EXPECT_NE(firstEnd, lastEnd);
}

TEST(EditorArtwork, TheSameImagesOnEveryRun)
{
  const std::string dir = testing::TempDir() + "kv_artwork_again";
  ASSERT_EQ(system(("mkdir -p '" + dir + "'").c_str()), 0);
  ASSERT_EQ(system(("'" KV_EDITOR_ARTWORK "' '" + dir + "'").c_str()), 0);
  for (const Expect& e : kImages)
    EXPECT_EQ(Bytes(dir + "/" + e.file), Bytes(std::string(KV_EDITOR_IMAGE_DIR) + "/" + e.file)) << e.file;
  EXPECT_NE(system("'" KV_EDITOR_ARTWORK "' /nonexistent/folder 2>/dev/null"), 0) << "a folder it cannot write to fails";
}
