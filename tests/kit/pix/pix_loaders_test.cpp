// The PNG and JPEG loaders on fixtures written at test time: every PNG colour type and bit depth,
// interlaced or not, with and without transparency; grey, RGB and CMYK JPEGs; truncated, corrupt,
// non-image and huge-header files; destinations; the loader list and extension checks.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include <zlib.h>

#include "TestBitmaps.h"
#include "gdi-misc.h"
#include "image_fixtures.h"
#include "pix.h"
#include "pix_loaders.h"

using fixtures::PngSpec;

namespace
{
struct Argb
{
  unsigned a, r, g, b;
};

unsigned To8(unsigned v, int depth)
{
  if (depth == 16) return v >> 8;
  if (depth == 8) return v;
  return v * 255 / ((1u << depth) - 1);
}

// A pattern that touches many sample values, and the pixel the loader must make of it.
PngSpec MakeSpec(int colorType, int depth, bool interlace, bool trns)
{
  PngSpec s;
  s.width = 7;
  s.height = 5;
  s.colorType = colorType;
  s.depth = depth;
  s.interlace = interlace;
  const int ch = fixtures::Channels(colorType);
  const unsigned range = colorType == PNG_COLOR_TYPE_PALETTE ? std::min(1u << depth, 20u) : (1u << depth);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      for (int c = 0; c < ch; ++c) s.samples.push_back((unsigned)(x * 37 + y * 91 + c * 53 + 7) * (depth == 16 ? 257u : 1u) % range);
  if (colorType == PNG_COLOR_TYPE_PALETTE)
  {
    for (unsigned i = 0; i < range; ++i) s.palette.push_back(png_color{(png_byte)(i * 11), (png_byte)(255 - i * 7), (png_byte)(i * 3 + 1)});
    if (trns)
      for (unsigned i = 0; i + 1 < range; ++i) s.paletteAlpha.push_back((png_byte)(i * 40 + 5));  // the last entry stays opaque
  }
  else if (trns)
  {
    s.hasTrnsColor = true;
    if (colorType == PNG_COLOR_TYPE_GRAY) s.trnsColor.gray = (png_uint_16)s.samples[0];
    else
    {
      s.trnsColor.red = (png_uint_16)s.samples[0];
      s.trnsColor.green = (png_uint_16)s.samples[1];
      s.trnsColor.blue = (png_uint_16)s.samples[2];
    }
  }
  return s;
}

Argb Expected(const PngSpec& s, int x, int y)
{
  const int ch = fixtures::Channels(s.colorType);
  const unsigned* v = &s.samples[((size_t)y * s.width + x) * ch];
  switch (s.colorType)
  {
    case PNG_COLOR_TYPE_GRAY:
    {
      const unsigned g = To8(v[0], s.depth);
      return Argb{s.hasTrnsColor && v[0] == s.trnsColor.gray ? 0u : 255u, g, g, g};
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA:
    {
      const unsigned g = To8(v[0], s.depth);
      return Argb{To8(v[1], s.depth), g, g, g};
    }
    case PNG_COLOR_TYPE_RGB:
    {
      const bool clear = s.hasTrnsColor && v[0] == s.trnsColor.red && v[1] == s.trnsColor.green && v[2] == s.trnsColor.blue;
      return Argb{clear ? 0u : 255u, To8(v[0], s.depth), To8(v[1], s.depth), To8(v[2], s.depth)};
    }
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return Argb{To8(v[3], s.depth), To8(v[0], s.depth), To8(v[1], s.depth), To8(v[2], s.depth)};
    default:
    {
      const png_color& c = s.palette[v[0]];
      return Argb{v[0] < s.paletteAlpha.size() ? s.paletteAlpha[v[0]] : 255u, c.red, c.green, c.blue};
    }
  }
}

Argb At(PIX_IBitmap* bm, int x, int y)
{
  const unsigned char* p = (const unsigned char*)(bm->getBits() + (size_t)y * bm->getRowSpan() + x);
  return Argb{p[0], p[1], p[2], p[3]};
}

std::vector<unsigned char> Gradient(int w, int h, int comps)
{
  std::vector<unsigned char> v;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < comps; ++c) v.push_back((unsigned char)(x * 8 + y * 4 + c * 60));
  return v;
}
}  // namespace

TEST(PixLoadPNG, EveryColourTypeAndDepthBecomesAlphaRedGreenBlue)
{
  struct Type
  {
    int colorType;
    std::vector<int> depths;
    bool canTrns;
  } types[] = {
    {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}, true},
    {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}, false},
    {PNG_COLOR_TYPE_RGB, {8, 16}, true},
    {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}, false},
    {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}, true},
  };
  fixtures::ScratchDir dir;
  int files = 0;
  for (const Type& t : types)
    for (int depth : t.depths)
      for (bool interlace : {false, true})
        for (bool trns : {false, true})
        {
          if (trns && !t.canTrns) continue;
          const PngSpec spec = MakeSpec(t.colorType, depth, interlace, trns);
          const std::string path = dir.file("t" + std::to_string(files++) + ".png");
          ASSERT_TRUE(fixtures::WritePng(path, spec));
          std::unique_ptr<PIX_IBitmap> bm(PIX_LoadPNG(path.c_str(), nullptr));
          ASSERT_NE(bm, nullptr) << "type " << t.colorType << " depth " << depth;
          ASSERT_EQ(bm->getWidth(), spec.width);
          ASSERT_EQ(bm->getHeight(), spec.height);
          for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x)
            {
              const Argb got = At(bm.get(), x, y), want = Expected(spec, x, y);
              ASSERT_TRUE(got.a == want.a && got.r == want.r && got.g == want.g && got.b == want.b)
                << "type " << t.colorType << " depth " << depth << " interlace " << interlace << " trns " << trns
                << " at " << x << "," << y << ": got " << got.a << " " << got.r << " " << got.g << " " << got.b
                << " want " << want.a << " " << want.r << " " << want.g << " " << want.b;
            }
        }
}

TEST(PixLoadPNG, HandValuesAndDestinations)
{
  fixtures::ScratchDir dir;
  // RGBA red 10, green 20, blue 30, alpha 40 gives the memory bytes 40, 10, 20, 30.
  PngSpec s;
  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.samples = {10, 20, 30, 40};
  const std::string rgba = dir.file("rgba.png");
  ASSERT_TRUE(fixtures::WritePng(rgba, s));
  std::unique_ptr<PIX_IBitmap> bm(PIX_LoadPNG(rgba.c_str(), nullptr));
  ASSERT_NE(bm, nullptr);
  const unsigned char want[4] = {40, 10, 20, 30};
  EXPECT_EQ(memcmp(bm->getBits(), want, 4), 0);

  // Into a destination: it is resized and returned.
  PngSpec big = MakeSpec(PNG_COLOR_TYPE_RGB, 8, false, false);
  big.width = 10;
  big.height = 20;
  big.samples.assign(10 * 20 * 3, 77);
  const std::string p = dir.file("big.png");
  ASSERT_TRUE(fixtures::WritePng(p, big));
  PIX_MemBitmap dest(3, 3);
  EXPECT_EQ(PIX_LoadPNG(p.c_str(), &dest), &dest);
  EXPECT_EQ(dest.getWidth(), 10);
  EXPECT_EQ(dest.getHeight(), 20);
  EXPECT_EQ(dest.getBits()[199], 0x4d4d4dffu);

  // A destination that cannot reach 10 by 20: null.
  CappedBitmap capped(10, 19);
  EXPECT_EQ(PIX_LoadPNG(p.c_str(), &capped), nullptr);

  // A flipped destination of the right size gets row 0 at the bottom of its memory.
  PngSpec rows;
  rows.width = 1;
  rows.height = 3;
  rows.colorType = PNG_COLOR_TYPE_GRAY;
  rows.samples = {10, 20, 30};
  const std::string g = dir.file("rows.png");
  ASSERT_TRUE(fixtures::WritePng(g, rows));
  FlippedBitmap fb(1, 3);
  ASSERT_EQ(PIX_LoadPNG(g.c_str(), &fb), &fb);
  EXPECT_EQ(fb.pixel(0, 0), 0x0a0a0affu);
  EXPECT_EQ(fb.pixel(0, 2), 0x1e1e1effu);
  EXPECT_EQ(fb.getBits()[0], 0x1e1e1effu);
}

TEST(PixLoadPNG, BadFilesGiveNull)
{
  fixtures::ScratchDir dir;
  PngSpec s = MakeSpec(PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false);
  const std::string good = dir.file("good.png");
  ASSERT_TRUE(fixtures::WritePng(good, s));
  const std::vector<unsigned char> bytes = fixtures::ReadBytes(good);

  // Cut short at several places, from inside the header to inside the image data.
  for (size_t cut : {(size_t)0, (size_t)8, (size_t)20, (size_t)40, bytes.size() / 2, bytes.size() - 13})
  {
    const std::string path = dir.file("cut" + std::to_string(cut) + ".png");
    ASSERT_TRUE(fixtures::WriteBytes(path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut)));
    PIX_MemBitmap dest(2, 2);
    EXPECT_EQ(PIX_LoadPNG(path.c_str(), nullptr), nullptr) << cut;
    EXPECT_EQ(PIX_LoadPNG(path.c_str(), &dest), nullptr) << cut;
  }
  // A damaged byte in the image data (its checksum no longer matches).
  std::vector<unsigned char> bad = bytes;
  bad[bad.size() - 20] ^= 0x5a;
  const std::string damaged = dir.file("damaged.png");
  ASSERT_TRUE(fixtures::WriteBytes(damaged, bad));
  EXPECT_EQ(PIX_LoadPNG(damaged.c_str(), nullptr), nullptr);

  // Not an image; no file; no name.
  const std::string text = dir.file("text.png");
  ASSERT_TRUE(fixtures::WriteBytes(text, std::vector<unsigned char>(100, 'x')));
  EXPECT_EQ(PIX_LoadPNG(text.c_str(), nullptr), nullptr);
  EXPECT_EQ(PIX_LoadPNG((dir.file("none") + ".png").c_str(), nullptr), nullptr);
  EXPECT_EQ(PIX_LoadPNG(nullptr, nullptr), nullptr);
}

TEST(PixLoadPNG, HugeHeadersFailWithoutAllocating)
{
  // Headers claiming images beyond the ceiling: a side above 16384, or more than 2^26 pixels
  // (8193 x 8193 would be 256 MiB). A 239-byte file must not cost gigabytes.
  fixtures::ScratchDir dir;
  for (auto wh : {std::pair<unsigned, unsigned>{100000, 100000}, {20000, 20000}, {30000, 20000}, {1000000, 1},
                  {16385, 1}, {1, 16385}, {8193, 8193}})
  {
    PngSpec s;
    s.width = 1;
    s.height = 1;
    s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.samples = {1, 2, 3, 4};
    const std::string path = dir.file("huge" + std::to_string(wh.first) + ".png");
    ASSERT_TRUE(fixtures::WritePng(path, s));
    std::vector<unsigned char> b = fixtures::ReadBytes(path);
    // IHDR data starts at byte 16: width, height (big-endian); then fix its checksum.
    auto put32 = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) b[at + i] = (unsigned char)(v >> (24 - 8 * i));
    };
    put32(16, wh.first);
    put32(20, wh.second);
    put32(29, (uint32_t)crc32(crc32(0, nullptr, 0), &b[12], 17));
    ASSERT_TRUE(fixtures::WriteBytes(path, b));
    EXPECT_EQ(PIX_LoadPNG(path.c_str(), nullptr), nullptr) << wh.first << "x" << wh.second;
  }
}

TEST(PixLoadJPG, GreyRgbAndCmyk)
{
  fixtures::ScratchDir dir;
  const std::string grey = dir.file("grey.jpg");
  ASSERT_TRUE(fixtures::WriteJpeg(grey, 16, 8, 1, Gradient(16, 8, 1)));
  std::unique_ptr<PIX_IBitmap> g(PIX_LoadJPG(grey.c_str(), nullptr));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->getWidth(), 16);
  EXPECT_EQ(g->getHeight(), 8);
  const std::vector<unsigned char> gs = Gradient(16, 8, 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
    {
      const Argb p = At(g.get(), x, y);
      EXPECT_EQ(p.a, 255u);
      EXPECT_EQ(p.r, p.g);
      EXPECT_EQ(p.g, p.b);
      EXPECT_NEAR((int)p.r, gs[y * 16 + x], 3) << x << "," << y;
    }

  // RGB: flat colour blocks come back within a step or two, fully opaque.
  std::vector<unsigned char> rgb;
  for (int i = 0; i < 16 * 16; ++i)
  {
    rgb.push_back(200);
    rgb.push_back(40);
    rgb.push_back(90);
  }
  const std::string colour = dir.file("rgb.jpeg");
  ASSERT_TRUE(fixtures::WriteJpeg(colour, 16, 16, 3, rgb));
  PIX_MemBitmap dest(1, 1);
  ASSERT_EQ(PIX_LoadJPG(colour.c_str(), &dest), &dest);
  ASSERT_EQ(dest.getWidth(), 16);
  for (int i = 0; i < 256; ++i)
  {
    const Argb p = At(&dest, i % 16, i / 16);
    EXPECT_EQ(p.a, 255u);
    EXPECT_NEAR((int)p.r, 200, 2);
    EXPECT_NEAR((int)p.g, 40, 2);
    EXPECT_NEAR((int)p.b, 90, 2);
  }

  // Four components (CMYK): the rows are all zeros.
  const std::string cmyk = dir.file("cmyk.jpg");
  ASSERT_TRUE(fixtures::WriteJpeg(cmyk, 8, 8, 4, Gradient(8, 8, 4)));
  std::unique_ptr<PIX_IBitmap> k(PIX_LoadJPG(cmyk.c_str(), nullptr));
  ASSERT_NE(k, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(k->getBits()[i], 0u);

  // A destination that cannot reach the size.
  CappedBitmap capped(16, 7);
  EXPECT_EQ(PIX_LoadJPG(grey.c_str(), &capped), nullptr);
}

TEST(PixLoadJPG, BadFilesGiveNull)
{
  fixtures::ScratchDir dir;
  const std::string good = dir.file("good.jpg");
  ASSERT_TRUE(fixtures::WriteJpeg(good, 64, 64, 3, Gradient(64, 64, 3), 90));
  const std::vector<unsigned char> bytes = fixtures::ReadBytes(good);
  ASSERT_NE(std::unique_ptr<PIX_IBitmap>(PIX_LoadJPG(good.c_str(), nullptr)), nullptr);

  // Cut short in the headers and in the image data: null, not a half-invented image.
  for (size_t cut : {(size_t)0, (size_t)2, (size_t)100, bytes.size() / 2, bytes.size() - 2})
  {
    const std::string path = dir.file("cut" + std::to_string(cut) + ".jpg");
    ASSERT_TRUE(fixtures::WriteBytes(path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut)));
    EXPECT_EQ(PIX_LoadJPG(path.c_str(), nullptr), nullptr) << cut;
    PIX_MemBitmap dest(1, 1);
    EXPECT_EQ(PIX_LoadJPG(path.c_str(), &dest), nullptr) << cut;
  }
  // A corrupt marker segment: a quantisation table with an invalid precision.
  std::vector<unsigned char> bad = bytes;
  for (size_t i = 2; i + 4 < bad.size(); ++i)
    if (bad[i] == 0xff && bad[i + 1] == 0xdb)
    {
      bad[i + 4] = 0x70;
      break;
    }
  const std::string corrupt = dir.file("corrupt.jpg");
  ASSERT_TRUE(fixtures::WriteBytes(corrupt, bad));
  EXPECT_EQ(PIX_LoadJPG(corrupt.c_str(), nullptr), nullptr);

  // Frame headers claiming images beyond the ceiling (height, width): refused before the
  // decoder allocates for them, whatever the data that follows.
  for (auto hw : {std::pair<unsigned, unsigned>{65000, 65000}, {64759, 6144}, {1, 16385}, {16385, 1}, {8193, 8193}})
  {
    std::vector<unsigned char> huge = bytes;
    for (size_t i = 2; i + 9 < huge.size(); ++i)
      if (huge[i] == 0xff && (huge[i + 1] == 0xc0 || huge[i + 1] == 0xc2))
      {
        huge[i + 5] = (unsigned char)(hw.first >> 8);
        huge[i + 6] = (unsigned char)hw.first;
        huge[i + 7] = (unsigned char)(hw.second >> 8);
        huge[i + 8] = (unsigned char)hw.second;
        break;
      }
    const std::string big = dir.file("huge" + std::to_string(hw.first) + "x" + std::to_string(hw.second) + ".jpg");
    ASSERT_TRUE(fixtures::WriteBytes(big, huge));
    EXPECT_EQ(PIX_LoadJPG(big.c_str(), nullptr), nullptr) << hw.second << " x " << hw.first;
    PIX_MemBitmap dest(1, 1);
    EXPECT_EQ(PIX_LoadJPG(big.c_str(), &dest), nullptr);
    EXPECT_EQ(dest.getWidth(), 1);
  }

  const std::string text = dir.file("text.jpg");
  ASSERT_TRUE(fixtures::WriteBytes(text, std::vector<unsigned char>(300, 'y')));
  EXPECT_EQ(PIX_LoadJPG(text.c_str(), nullptr), nullptr);
  EXPECT_EQ(PIX_LoadJPG((dir.file("none") + ".jpg").c_str(), nullptr), nullptr);
  EXPECT_EQ(PIX_LoadJPG(nullptr, nullptr), nullptr);
}

TEST(PixImageLoaders, ListAndExtensionChecks)
{
  ASSERT_EQ(PIX_ImageLoader_list, &PIX_pngldr.rec);
  ASSERT_EQ(PIX_pngldr.rec._next, &PIX_jpgldr.rec);
  EXPECT_STREQ(PIX_pngldr.rec.get_extlist(), "PNG files (*.PNG)");
  EXPECT_STREQ(PIX_jpgldr.rec.get_extlist(), "JPEG files (*.JPG;*.JPEG;*.JFIF)");

  const char* const png[] = {".png"};
  struct Case
  {
    const char* name;
    bool pass;
  } cases[] = {
    {"a.png", true},  {"dir/B.PNG", true}, {"png", false},       {"x.png/file", false},
    {"", false},      {"x.pngx", false},   {"dir\\y.Png", true}, {"a.jpg", false},
  };
  for (const Case& c : cases) EXPECT_EQ(PIX_HasExtension(c.name, png, 1), c.pass) << c.name;
  EXPECT_FALSE(PIX_HasExtension(nullptr, png, 1));

  fixtures::ScratchDir dir;
  const std::string jfif = dir.file("photo.JFIF"), gif = dir.file("photo.gif"), fake = dir.file("fake.gif");
  ASSERT_TRUE(fixtures::WriteJpeg(jfif, 4, 4, 1, Gradient(4, 4, 1)));
  ASSERT_TRUE(fixtures::WriteJpeg(gif, 4, 4, 1, Gradient(4, 4, 1)));
  ASSERT_TRUE(fixtures::WriteBytes(fake, {'G', 'I', 'F', '8', '9', 'a', 0, 0}));
  std::unique_ptr<PIX_IBitmap> a(PIX_jpgldr.rec.loadfunc(jfif.c_str(), true, nullptr));
  EXPECT_NE(a, nullptr);
  EXPECT_EQ(PIX_jpgldr.rec.loadfunc(gif.c_str(), true, nullptr), nullptr);  // refused by name
  std::unique_ptr<PIX_IBitmap> b(PIX_jpgldr.rec.loadfunc(gif.c_str(), false, nullptr));
  EXPECT_NE(b, nullptr);  // decoded as JPEG when the name is not checked
  EXPECT_EQ(PIX_jpgldr.rec.loadfunc(fake.c_str(), false, nullptr), nullptr);
  EXPECT_EQ(PIX_pngldr.rec.loadfunc(jfif.c_str(), true, nullptr), nullptr);
  EXPECT_EQ(PIX_pngldr.rec.loadfunc(jfif.c_str(), false, nullptr), nullptr);

  EXPECT_EQ(PIX_LoadPNGFromResource(nullptr, 101, nullptr), nullptr);
  EXPECT_EQ(PIX_LoadJPGFromResource(nullptr, 101, nullptr), nullptr);
}

TEST(PixImageLoaders, NamedResourceFromTheMainBundle)
{
  // The main bundle of a test program is the folder it runs from.
  char module[2048];
  ASSERT_GT(GetModuleFileName(nullptr, module, sizeof(module)), 0);
  const std::string res = std::string(module) + "/Contents/Resources";
  ASSERT_EQ(system(("mkdir -p '" + res + "'").c_str()), 0);
  PngSpec s;
  s.colorType = PNG_COLOR_TYPE_GRAY;
  s.samples = {99};
  const std::string path = res + "/kv_named_resource.png";
  ASSERT_TRUE(fixtures::WritePng(path, s));
  std::unique_ptr<PIX_IBitmap> bm(PIX_LoadPNGFromNamedResource("kv_named_resource.png", nullptr));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getBits()[0], 0x636363ffu);
  EXPECT_EQ(PIX_LoadPNGFromNamedResource("kv_missing.png", nullptr), nullptr);
  // A name too long for the path buffer is refused rather than cut into another name.
  const std::string longName = std::string(3000, 'n') + ".png";
  EXPECT_EQ(PIX_LoadPNGFromNamedResource(longName.c_str(), nullptr), nullptr);
  EXPECT_EQ(PIX_LoadPNGFromNamedResource(nullptr, nullptr), nullptr);
  unlink(path.c_str());
}
