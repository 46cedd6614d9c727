// Arbitrary bytes loaded as PNG and as JPEG, with and without a destination: every load either
// fails cleanly or yields a bitmap of the size it reports, and nothing leaks.

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "image_fixtures.h"
#include "pix_loaders.h"

namespace
{
// A destination that takes at most 1024 x 1024, so big headers stop early.
class SmallDest : public PIX_MemBitmap
{
public:
  bool resize(int w, int h) override { return (w > 1024 || h > 1024) ? false : PIX_MemBitmap::resize(w, h); }
};

void Check(PIX_IBitmap* bm, PIX_IBitmap* dest)
{
  if (!bm) return;
  const int w = bm->getWidth(), h = bm->getHeight();
  if (w <= 0 || h <= 0 || !bm->getBits()) __builtin_trap();
  volatile uint32_t sum = 0;
  for (int y = 0; y < h; ++y) sum = sum + bm->getBits()[(size_t)y * bm->getRowSpan() + w - 1];
  if (bm != dest) delete bm;
}
}  // namespace

// Seeds the corpus folder (the first argument that is not a flag) with small valid files of each
// kind, so mutations start from real headers and image data.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
  std::string corpus;
  for (int i = 1; i < *argc; ++i)
    if ((*argv)[i][0] != '-') corpus = (*argv)[i];
  if (corpus.empty()) return 0;
  const int types[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_PALETTE, PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY_ALPHA};
  for (int t : types)
  {
    fixtures::PngSpec s;
    s.width = 5;
    s.height = 3;
    s.colorType = t;
    s.depth = t == PNG_COLOR_TYPE_GRAY ? 2 : 8;
    s.interlace = t == PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < 15 * fixtures::Channels(t); ++i) s.samples.push_back((unsigned)(i * 7) % (s.depth == 2 ? 4 : 3));
    if (t == PNG_COLOR_TYPE_PALETTE)
    {
      s.palette = {{1, 2, 3}, {200, 100, 0}, {9, 9, 9}};
      s.paletteAlpha = {128};
    }
    fixtures::WritePng(corpus + "/seed" + std::to_string(t) + ".png", s);
  }
  std::vector<unsigned char> px;
  for (int i = 0; i < 16 * 8 * 3; ++i) px.push_back((unsigned char)(i * 5));
  fixtures::WriteJpeg(corpus + "/seed_rgb.jpg", 16, 8, 3, px, 75);
  fixtures::WriteJpeg(corpus + "/seed_grey.jpg", 24, 8, 1, px, 50);
  return 0;
}

// The scratch file each input is written to, removed when the run ends.
struct ScratchFile
{
  std::string path = "/tmp/kv_pix_fuzz_" + std::to_string(getpid());
  ~ScratchFile() { unlink(path.c_str()); }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static ScratchFile scratch;
  const std::string& path = scratch.path;
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  {
    SmallDest dest;
    Check(PIX_LoadPNG(path.c_str(), &dest), &dest);
    Check(PIX_LoadJPG(path.c_str(), &dest), &dest);
  }
  Check(PIX_LoadPNG(path.c_str(), nullptr), nullptr);
  Check(PIX_LoadJPG(path.c_str(), nullptr), nullptr);
  return 0;
}
