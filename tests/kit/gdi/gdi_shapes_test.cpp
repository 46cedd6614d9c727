// Lines, shapes and pixels drawn with the selected pen and brush, checked by the pixels of small
// memory contexts (white backgrounds, y downwards from the top-left).

#include <gtest/gtest.h>

#include "gdi_canvas.h"

namespace
{
constexpr uint32_t kRed = 0xff0000, kBlue = 0x0000ff, kGreen = 0x00ff00, kWhite = 0xffffff;

// A canvas with a pen and a brush of its own (either may be left out).
struct Scene
{
  GdiCanvas c;
  HGDIOBJ pen = nullptr, brush = nullptr;
  Scene(int penWidth, uint32_t penColor, bool withBrush, uint32_t brushColor = kBlue, int size = 16) : c(size, size)
  {
    if (penWidth >= 0)
    {
      pen = CreatePen(0, penWidth, (int)penColor);
      SelectObject(c.DC(), pen);
    }
    if (withBrush)
    {
      brush = CreateSolidBrush((int)brushColor);
      SelectObject(c.DC(), brush);
    }
  }
  ~Scene()
  {
    SelectObject(c.DC(), GDI_NO_PEN);
    SelectObject(c.DC(), GDI_NO_BRUSH);
    if (pen) DeleteObject(pen);
    if (brush) DeleteObject(brush);
  }
};

// Rows [y0, y1) hold all the ink there is.
void ExpectInkOnlyInRows(const GdiCanvas& c, int y0, int y1)
{
  EXPECT_GT(c.Inked(0, y0, c.W(), y1), 0);
  EXPECT_EQ(c.Inked(0, 0, c.W(), y0), 0);
  EXPECT_EQ(c.Inked(0, y1, c.W(), c.H()), 0);
}
}  // namespace

TEST(GdiShapes, LinesStrokeWithThePensWidthFromTheCurrentPosition)
{
  {
    Scene s(0, kRed, false);  // width 0 strokes 1 unit wide: half of rows 4 and 5
    POINT old = {-1, -1};
    MoveToEx(s.c.DC(), 2, 5, &old);
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
    GDI_LineTo(s.c.DC(), 13, 5);
    ExpectInkOnlyInRows(s.c, 4, 6);
    EXPECT_EQ(s.c.Inked(0, 0, 1, 16), 0) << "nothing left of the start";
    EXPECT_EQ(s.c.Exactly(kRed, 0, 0, 16, 16), 0);
    EXPECT_EQ(s.c.Ctx()->lastpos_x, 13.0f);
    MoveToEx(s.c.DC(), 0, 0, &old);
    EXPECT_EQ(old.x, 13);
    EXPECT_EQ(old.y, 5);
  }
  {
    Scene s(3, kRed, false);  // rows 3.5 to 6.5: rows 4 and 5 wholly red
    MoveToEx(s.c.DC(), 2, 5, nullptr);
    GDI_LineTo(s.c.DC(), 13, 5);
    ExpectInkOnlyInRows(s.c, 3, 7);
    EXPECT_EQ(s.c.At(7, 4), kRed);
    EXPECT_EQ(s.c.At(7, 5), kRed);
  }
  {
    GdiCanvas c(16, 16);  // no pen selected: nothing, and the position stays
    MoveToEx(c.DC(), 2, 5, nullptr);
    GDI_LineTo(c.DC(), 13, 5);
    EXPECT_EQ(c.Inked(), 0);
    EXPECT_EQ(c.Ctx()->lastpos_x, 2.0f);
  }
  MoveToEx(nullptr, 1, 1, nullptr);
  GDI_LineTo(nullptr, 1, 1);
}

TEST(GdiShapes, RectanglesFillWithTheBrushAndOutlineWithThePen)
{
  Scene s(1, kRed, true);
  Rectangle(s.c.DC(), 2, 2, 12, 12);
  EXPECT_EQ(s.c.At(6, 6), kBlue);
  EXPECT_EQ(s.c.At(2, 6) == kBlue || s.c.At(2, 6) == kWhite, false) << "the outline lies over the edge";
  EXPECT_GT(RedOf(s.c.At(2, 6)), 0);
  EXPECT_EQ(s.c.Inked(0, 0, 16, 1), 0);
  EXPECT_EQ(s.c.Inked(13, 0, 16, 16), 0);

  // A brush alone fills exactly the pixels whose centres lie inside.
  Scene f(-1, 0, true, kGreen);
  Rectangle(f.c.DC(), 3, 4, 9, 7);
  EXPECT_EQ(f.c.Exactly(kGreen, 3, 4, 9, 7), 18);
  EXPECT_EQ(f.c.Inked(), 18);

  // GDI_FillRect takes a usable brush object only.
  GdiCanvas c(8, 8);
  HGDIOBJ brush = CreateSolidBrush((int)kBlue);
  const RECT r = {1, 1, 4, 3};
  GDI_FillRect(c.DC(), &r, brush);
  EXPECT_EQ(c.Exactly(kBlue, 1, 1, 4, 3), 6);
  EXPECT_EQ(c.Inked(), 6);
  c.Fill(kWhite);
  HGDIOBJ pen = CreatePen(0, 1, (int)kRed);
  for (HGDIOBJ notABrush : {GDI_NO_BRUSH, GetStockObject(2), pen, (HGDIOBJ) nullptr}) GDI_FillRect(c.DC(), &r, notABrush);
  EXPECT_EQ(c.Inked(), 0);
  DeleteObject(brush);
  DeleteObject(pen);
}

TEST(GdiShapes, EllipsesPolygonsAndRoundRectangles)
{
  {
    Scene s(-1, 0, true, kGreen);
    Ellipse(s.c.DC(), 2, 2, 14, 14);
    EXPECT_EQ(s.c.At(8, 8), kGreen);
    EXPECT_EQ(s.c.At(2, 2), kWhite);
    EXPECT_EQ(s.c.At(13, 13), kWhite);
    EXPECT_EQ(s.c.At(8, 2) != kWhite, true) << "the top of the ellipse";
  }
  {
    Scene s(1, kRed, false);  // outline only: the middle stays clear
    Ellipse(s.c.DC(), 2, 2, 14, 14);
    EXPECT_EQ(s.c.At(8, 8), kWhite);
    EXPECT_GT(RedOf(s.c.At(8, 2)), BlueOf(s.c.At(8, 2)) - 1);
    EXPECT_GT(s.c.Inked(), 20);
  }
  {
    // The outline takes the context's line width, which the last stroke left (5 here), not
    // the pen's: 5 wide, a circle of radius 6 covers 3.5 to 8.5 from its centre; 1 wide, 5.5 to 6.5.
    Scene s(5, kRed, false, kBlue, 24);
    MoveToEx(s.c.DC(), 0, 0, nullptr);
    GDI_LineTo(s.c.DC(), 0, 0);
    HGDIOBJ thin = CreatePen(0, 1, (int)kRed);
    SelectObject(s.c.DC(), thin);
    s.c.Fill(kWhite);
    Ellipse(s.c.DC(), 6, 6, 18, 18);  // centre (12, 12), radius 6
    EXPECT_EQ(s.c.At(12, 7), kRed) << "4 to 5 from the centre";
    EXPECT_EQ(s.c.At(12, 16), kRed);
    EXPECT_EQ(s.c.At(12, 12), kWhite);
    SelectObject(s.c.DC(), GDI_NO_PEN);
    DeleteObject(thin);
  }
  const POINT tri[3] = {{2, 2}, {14, 2}, {2, 14}};
  {
    Scene s(-1, 0, true);  // mode 0: fill only
    GDI_Polygon(s.c.DC(), tri, 3);
    EXPECT_EQ(s.c.At(4, 4), kBlue);
    EXPECT_EQ(s.c.At(12, 12), kWhite);
  }
  {
    Scene s(3, kRed, false);  // mode 2: stroke only, the path left open
    GDI_Polygon(s.c.DC(), tri, 3);
    EXPECT_EQ(s.c.At(5, 5), kWhite);
    EXPECT_EQ(s.c.At(7, 2), kRed);
    EXPECT_EQ(s.c.At(2, 7), kWhite) << "the closing edge is not stroked";
  }
  {
    Scene s(3, kRed, true);  // mode 3: both
    GDI_Polygon(s.c.DC(), tri, 3);
    EXPECT_EQ(s.c.At(5, 5), kBlue);
    EXPECT_EQ(s.c.At(7, 2), kRed);
    GDI_Polygon(s.c.DC(), tri, 1);  // one point or none: nothing more
    GDI_Polygon(s.c.DC(), nullptr, 3);
  }
  {
    // Corners cut by 12 / 3 = 4: the cut runs x + y = 8 (a half would make it x + y = 10).
    Scene s(-1, 0, true);
    RoundRect(s.c.DC(), 2, 2, 14, 14, 12, 12);
    EXPECT_EQ(s.c.At(4, 4), kBlue) << "centre (4.5, 4.5) inside the cut";
    EXPECT_EQ(s.c.At(3, 3), kWhite) << "centre (3.5, 3.5) outside it";
    EXPECT_EQ(s.c.At(11, 11), kBlue);
    EXPECT_EQ(s.c.At(12, 12), kWhite);
  }
  {
    Scene s(-1, 0, true);
    RoundRect(s.c.DC(), 2, 2, 14, 14, 6, 6);  // corners cut by 6 / 3 = 2
    EXPECT_EQ(s.c.At(8, 8), kBlue);
    EXPECT_EQ(s.c.At(2, 2), kWhite);
    EXPECT_EQ(s.c.At(13, 13), kWhite);
    EXPECT_EQ(s.c.At(3, 8), kBlue);
  }
}

TEST(GdiShapes, BezierRunsAndPolylines)
{
  {
    Scene s(1, kRed, false);
    MoveToEx(s.c.DC(), 2, 14, nullptr);
    // One cubic; the extra point short of a second is left alone.
    const POINT pts[5] = {{2, 2}, {14, 2}, {14, 14}, {1, 1}, {1, 1}};
    PolyBezierTo(s.c.DC(), pts, 5);
    EXPECT_GT(s.c.Inked(7, 4, 10, 7), 0) << "through the curve's middle (8, 5)";
    EXPECT_EQ(s.c.At(8, 11), kWhite);
    EXPECT_EQ(s.c.Inked(0, 0, 2, 2), 0);
    EXPECT_EQ(s.c.Ctx()->lastpos_x, 14.0f);
    EXPECT_EQ(s.c.Ctx()->lastpos_y, 14.0f);
    PolyBezierTo(s.c.DC(), pts, 2);  // too few: nothing, position kept
    EXPECT_EQ(s.c.Ctx()->lastpos_x, 14.0f);
  }
  {
    Scene s(1, kRed, false);
    const POINT pts[5] = {{1, 3}, {14, 3}, {7, 8}, {1, 12}, {14, 12}};
    const uint32_t counts[4] = {2, 1, 0, 2};  // the run of one point is skipped
    PolyPolyline(s.c.DC(), pts, counts, 4);
    EXPECT_GT(s.c.Inked(0, 2, 16, 4), 0);
    EXPECT_GT(s.c.Inked(0, 11, 16, 13), 0);
    EXPECT_EQ(s.c.Inked(0, 4, 16, 11), 0);
    PolyPolyline(s.c.DC(), pts, counts, 0);
  }
}

TEST(GdiShapes, PixelsClippingAndTheDialogBackground)
{
  GdiCanvas c(12, 12);
  GDI_SetPixel(c.DC(), 5, 5, (int)kRed);
  int x0, y0, x1, y1;
  ASSERT_TRUE(c.InkBox(&x0, &y0, &x1, &y1));
  EXPECT_GE(x0, 4);
  EXPECT_LE(x1, 6);
  EXPECT_GE(y0, 4);
  EXPECT_LE(y1, 6);
  EXPECT_GT(RedOf(c.At(5, 5)), GreenOf(c.At(5, 5)));

  // A clip pushed, narrowed and popped.
  GdiCanvas k(12, 12);
  HGDIOBJ brush = CreateSolidBrush((int)kBlue);
  const RECT all = {0, 0, 12, 12}, part = {4, 4, 8, 8}, inner = {6, 2, 10, 10};
  GDI_PushClipRegion(k.DC());
  GDI_SetClipRegion(k.DC(), &part);
  GDI_SetClipRegion(k.DC(), &inner);  // clips intersect
  GDI_FillRect(k.DC(), &all, brush);
  EXPECT_EQ(k.Exactly(kBlue, 6, 4, 8, 8), 8);
  EXPECT_EQ(k.Inked(), 8);
  GDI_PopClipRegion(k.DC());
  GDI_FillRect(k.DC(), &all, brush);
  EXPECT_EQ(k.Exactly(kBlue, 0, 0, 12, 12), 144);
  DeleteObject(brush);

  GdiCanvas d(6, 6, 0);
  GDI_FillDialogBackground(d.DC(), &all, 0);
  EXPECT_EQ(d.Exactly(0xE8E8E8, 0, 0, 6, 6), 36);
}
