// Coordinates at the ends of the int range (and current positions past it as floats): every
// shape, clip, image and text call computes without overflow and draws what the rectangle
// holds of the canvas, no more and no less. Under UBSan an overflow or an out-of-range
// conversion in any case aborts the run.

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "gdi_canvas.h"
#include "kit/pix/image_fixtures.h"

namespace
{
constexpr uint32_t kBlue = 0x0000ff, kRed = 0xff0000;
constexpr int kSide = 16, kAll = kSide * kSide;

// A canvas with a blue brush and, when asked, a red pen.
struct Scene
{
  GdiCanvas c{kSide, kSide};
  HGDIOBJ brush = CreateSolidBrush((int)kBlue), pen = nullptr;
  explicit Scene(bool withPen)
  {
    SelectObject(c.DC(), brush);
    if (withPen)
    {
      pen = CreatePen(0, 1, (int)kRed);
      SelectObject(c.DC(), pen);
    }
  }
  ~Scene()
  {
    SelectObject(c.DC(), GDI_NO_BRUSH);
    SelectObject(c.DC(), GDI_NO_PEN);
    DeleteObject(brush);
    if (pen) DeleteObject(pen);
  }
};
}  // namespace

TEST(GdiExtremes, ShapesAndClipsAtTheEndsOfTheIntRange)
{
  struct Case
  {
    const char* what;
    bool withPen;
    std::function<void(Scene&)> draw;
    int blue, inked;  // pixels exactly blue, pixels drawn at all
  } cases[] = {
    {"Rectangle over all of the range", false, [](Scene& s) { Rectangle(s.c.DC(), INT_MIN, INT_MIN, INT_MAX, INT_MAX); },
     kAll, kAll},
    {"Rectangle from INT_MIN to a column", false, [](Scene& s) { Rectangle(s.c.DC(), INT_MIN, 2, 4, 6); }, 16, 16},
    {"Rectangle outlined, its outline far outside", true,
     [](Scene& s) { Rectangle(s.c.DC(), INT_MIN, INT_MIN, INT_MAX, INT_MAX); }, kAll, kAll},
    {"Rectangle wholly past INT_MAX's side", false,
     [](Scene& s) { Rectangle(s.c.DC(), INT_MAX - 4, INT_MAX - 4, INT_MAX, INT_MAX); }, 0, 0},
    // Our CoreGraphics draws no path with a point past 2^21 device pixels (fills of rectangles
    // are not paths): the ellipse and the round rectangle draw nothing, never a wrapped shape.
    {"Ellipse over all of the range", false, [](Scene& s) { Ellipse(s.c.DC(), INT_MIN, INT_MIN, INT_MAX, INT_MAX); },
     0, 0},
    {"GDI_FillRect of a row across the range", false,
     [](Scene& s) {
       const RECT r = {INT_MIN, 0, INT_MAX, 1};
       GDI_FillRect(s.c.DC(), &r, s.brush);
     },
     kSide, kSide},
    {"RoundRect whose corner cuts pass the ends", false,
     [](Scene& s) { RoundRect(s.c.DC(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, -6, -6); }, 0, 0},
    {"RoundRect with corners of INT_MIN", false,
     [](Scene& s) { RoundRect(s.c.DC(), INT_MAX - 2, INT_MAX - 2, INT_MAX, INT_MAX, INT_MIN, INT_MIN); }, 0, 0},
    {"a clip over all of the range", false,
     [](Scene& s) {
       const RECT clip = {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, fill = {0, 0, kSide, kSide};
       GDI_SetClipRegion(s.c.DC(), &clip);
       GDI_FillRect(s.c.DC(), &fill, s.brush);
     },
     kAll, kAll},
    {"a clip from INT_MIN to a row", false,
     [](Scene& s) {
       const RECT clip = {0, INT_MIN, kSide, 3}, fill = {0, 0, kSide, kSide};
       GDI_SetClipRegion(s.c.DC(), &clip);
       GDI_FillRect(s.c.DC(), &fill, s.brush);
     },
     3 * kSide, 3 * kSide},
  };
  for (Case& k : cases)
  {
    Scene s(k.withPen);
    k.draw(s);
    EXPECT_EQ(s.c.Exactly(kBlue, 0, 0, kSide, kSide), k.blue) << k.what;
    EXPECT_EQ(s.c.Inked(), k.inked) << k.what;
  }
}

TEST(GdiExtremes, CurrentPositionsPastTheIntRangeReadBackHeld)
{
  Scene s(true);
  POINT old = {0, 0};
  MoveToEx(s.c.DC(), INT_MAX, INT_MIN, nullptr);
  MoveToEx(s.c.DC(), 0, 0, &old);  // INT_MAX as a float is 2^31, one past the range
  EXPECT_EQ(old.x, INT_MAX);
  EXPECT_EQ(old.y, INT_MIN);

  // A Bezier run ending there leaves the same position.
  const POINT pts[3] = {{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}};
  PolyBezierTo(s.c.DC(), pts, 3);
  MoveToEx(s.c.DC(), 0, 0, &old);
  EXPECT_EQ(old.x, INT_MAX);
  EXPECT_EQ(old.y, INT_MAX);

  // Floats far past the range, and one that is no number.
  for (float f : {1e30f, -1e30f, INFINITY, -INFINITY, NAN})
  {
    s.c.Ctx()->lastpos_x = f;
    s.c.Ctx()->lastpos_y = -f;
    MoveToEx(s.c.DC(), 0, 0, &old);
    EXPECT_EQ(old.x, f != f ? 0 : f > 0 ? INT_MAX : INT_MIN) << f;
    EXPECT_EQ(old.y, f != f ? 0 : f > 0 ? INT_MIN : INT_MAX) << f;
  }
}

TEST(GdiExtremes, ImagesAndTextInRectanglesAtTheEndsOfTheRange)
{
  fixtures::ScratchDir dir;
  fixtures::PngSpec spec;
  spec.width = 2;
  spec.height = 2;
  spec.colorType = PNG_COLOR_TYPE_RGB;
  spec.samples.assign(12, 0);
  const std::string path = dir.file("black.png");
  ASSERT_TRUE(fixtures::WritePng(path, spec));
  HGDIOBJ image = LoadNamedImage(path.c_str(), false);
  ASSERT_NE(image, nullptr);
  {
    // Flipped about top + bottom, which is past INT_MAX: wholly below the canvas.
    GdiCanvas c(kSide, kSide);
    const RECT r = {0, INT_MAX - 8, 8, INT_MAX};
    DrawImageInRect(c.DC(), image, &r);
    EXPECT_EQ(c.Inked(), 0);
  }
  DeleteObject(image);

  HGDIOBJ font = CreateFont(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  {
    // Measured from a left and a top at INT_MAX: right and bottom stay INT_MAX.
    GdiCanvas c(kSide, kSide);
    SelectObject(c.DC(), font);
    RECT r = {INT_MAX - 2, INT_MAX, 0, 0};
    const int h = GDI_DrawText(c.DC(), "Wide text", -1, &r, DT_CALCRECT);
    EXPECT_GT(h, 0);
    EXPECT_EQ(r.right, INT_MAX);
    EXPECT_EQ(r.bottom, INT_MAX);
    SelectObject(c.DC(), GDI_NO_FONT);
  }
  {
    // Centred in a rectangle across the whole range, clipped to it: centred on the origin.
    GdiCanvas c(kSide, 40), whole(kSide, 40);
    SetTextColor(c.DC(), 0);
    SetTextColor(whole.DC(), 0);
    SelectObject(c.DC(), font);
    SelectObject(whole.DC(), font);
    RECT r = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    GDI_DrawText(c.DC(), "WWWW", -1, &r, DT_CENTER | DT_VCENTER);
    RECT n = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    GDI_DrawText(whole.DC(), "WWWW", -1, &n, DT_CENTER | DT_VCENTER | DT_NOCLIP);
    EXPECT_GT(c.Inked(), 0);
    EXPECT_EQ(c.Inked(), whole.Inked()) << "the clip takes nothing from the canvas";
    // The same from (1, 1): left + right and top + bottom are past INT_MAX.
    GdiCanvas far(kSide, 40);
    SelectObject(far.DC(), font);
    RECT f = {1, 1, INT_MAX, INT_MAX};
    GDI_DrawText(far.DC(), "WWWW", -1, &f, DT_CENTER | DT_VCENTER);
    EXPECT_EQ(far.Inked(), 0) << "centred a billion pixels away";
    for (GdiCanvas* k : {&c, &whole, &far}) SelectObject(k->DC(), GDI_NO_FONT);
  }
  DeleteObject(font);
}
