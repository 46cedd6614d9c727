// GDI objects: selecting and what it returns, the stock objects, deleting and the pool, GetObject,
// fonts and their styles, system colours.

#include <gtest/gtest.h>

#include <CoreGraphics/testkit.h>

#include <cstring>
#include <string>
#include <vector>

#include "gdi_canvas.h"

namespace
{
GDP_OBJECT* Obj(HGDIOBJ h) { return (GDP_OBJECT*)h; }

bool StyleHas(HGDIOBJ font, ATSUAttributeTag tag)
{
  Boolean b = false;
  return ATSUGetAttribute((ATSUStyle)Obj(font)->fontstyle, tag, sizeof(b), &b, nullptr) == noErr && b;
}

double StyleSize(HGDIOBJ font)
{
  Fixed size = 0;
  ATSUGetAttribute((ATSUStyle)Obj(font)->fontstyle, kATSUSizeTag, sizeof(size), &size, nullptr);
  return Fix2X(size);
}

bool StyleHasFont(HGDIOBJ font)
{
  ATSUFontID id = 0;
  return ATSUGetAttribute((ATSUStyle)Obj(font)->fontstyle, kATSUFontTag, sizeof(id), &id, nullptr) == noErr;
}
}  // namespace

TEST(GdiObjects, SelectReturnsThePreviousObjectOrTheTypeNumber)
{
  GdiCanvas c(4, 4);
  HGDIOBJ pen = CreatePen(0, 1, 0xff0000), pen2 = CreatePen(0, 2, 0x00ff00);
  HGDIOBJ brush = CreateSolidBrush(0x0000ff);
  HGDIOBJ font = CreateFont(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");

  // Empty slots answer their type numbers; a filled slot answers what it held.
  EXPECT_EQ(SelectObject(c.DC(), pen), GDI_NO_PEN);
  EXPECT_EQ(SelectObject(c.DC(), brush), GDI_NO_BRUSH);
  EXPECT_EQ(SelectObject(c.DC(), font), GDI_NO_FONT);
  EXPECT_EQ(SelectObject(c.DC(), pen2), pen);
  EXPECT_EQ(c.Ctx()->curpen, Obj(pen2));
  // Selecting what came back restores the former state, type numbers included.
  EXPECT_EQ(SelectObject(c.DC(), pen), pen2);
  EXPECT_EQ(SelectObject(c.DC(), GDI_NO_PEN), pen);
  EXPECT_EQ(c.Ctx()->curpen, nullptr);
  EXPECT_EQ(SelectObject(c.DC(), GDI_NO_PEN), GDI_NO_PEN);
  EXPECT_EQ(SelectObject(c.DC(), GDI_NO_BRUSH), brush);
  EXPECT_EQ(SelectObject(c.DC(), GDI_NO_FONT), font);

  // Nothing to select into, nothing to select, or no slot for the type: 0 and no change.
  HGDIOBJ bitmap = LoadNamedImage("no-such-image-anywhere", false);
  EXPECT_EQ(bitmap, nullptr);
  GDP_OBJECT other = {};
  other.type = kGdiObjBitmap;
  EXPECT_EQ(SelectObject(c.DC(), &other), nullptr);
  EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
  EXPECT_EQ(SelectObject(c.DC(), nullptr), nullptr);
  EXPECT_EQ(c.Ctx()->curpen, nullptr);

  for (HGDIOBJ o : {pen, pen2, brush, font}) EXPECT_EQ(DeleteObject(o), 1);
}

TEST(GdiObjects, StockObjectsDrawNothingAndSurviveDeletion)
{
  HGDIOBJ pen = GetStockObject(1), brush = GetStockObject(2);
  ASSERT_NE(pen, nullptr);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(Obj(pen)->type, kGdiObjPen);
  EXPECT_EQ(Obj(brush)->type, kGdiObjBrush);
  EXPECT_LT(Obj(pen)->wid, 0);
  EXPECT_LT(Obj(brush)->wid, 0);
  for (int other : {0, 3, 4, -1, 100}) EXPECT_EQ(GetStockObject(other), nullptr) << other;

  const int pooled = GDI_ObjPoolSize();
  EXPECT_EQ(DeleteObject(pen), 1);
  EXPECT_EQ(DeleteObject(brush), 1);
  EXPECT_EQ(GDI_ObjPoolSize(), pooled);
  EXPECT_EQ(GetStockObject(1), pen);

  GdiCanvas c(16, 16);
  SelectObject(c.DC(), pen);
  SelectObject(c.DC(), brush);
  MoveToEx(c.DC(), 1, 1, nullptr);
  GDI_LineTo(c.DC(), 14, 14);
  Rectangle(c.DC(), 2, 2, 12, 12);
  Ellipse(c.DC(), 2, 2, 12, 12);
  const POINT tri[3] = {{1, 1}, {14, 1}, {7, 14}};
  GDI_Polygon(c.DC(), tri, 3);
  GDI_FillRect(c.DC(), nullptr, brush);
  const RECT all = {0, 0, 16, 16};
  GDI_FillRect(c.DC(), &all, brush);
  EXPECT_EQ(c.Inked(), 0);
  // The stock pen leaves the current position where it was.
  EXPECT_EQ(c.Ctx()->lastpos_x, 1.0f);
  EXPECT_EQ(c.Ctx()->lastpos_y, 1.0f);
}

TEST(GdiObjects, DeletingReleasesAndRecyclesAndRefusesWhatIsNotAnObject)
{
  const CGTestKit::LiveCounts before = CGTestKit::Live();
  HGDIOBJ pen = CreatePenAlpha(0, -3, 0x123456, 0.5f);
  ASSERT_NE(pen, nullptr);
  EXPECT_EQ(Obj(pen)->wid, 0);  // a negative width is width 0
  const CGFloat* rgba = CGColorGetComponents(Obj(pen)->color);
  EXPECT_DOUBLE_EQ(rgba[0], 0x12 / 255.0);
  EXPECT_DOUBLE_EQ(rgba[1], 0x34 / 255.0);
  EXPECT_DOUBLE_EQ(rgba[2], 0x56 / 255.0);
  EXPECT_FLOAT_EQ((float)rgba[3], 0.5f);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors + 1);

  const int pooled = GDI_ObjPoolSize();
  EXPECT_EQ(DeleteObject(pen), 1);
  EXPECT_EQ(CGTestKit::Live().colors, before.colors);
  EXPECT_EQ(GDI_ObjPoolSize(), pooled + 1);
  HGDIOBJ again = CreateSolidBrush(0);
  EXPECT_EQ(again, pen) << "the most recently pooled record comes back";
  EXPECT_EQ(Obj(again)->type, kGdiObjBrush);
  EXPECT_EQ(DeleteObject(again), 1);

  // The type numbers SelectObject hands back are not records: nothing is read through them.
  for (HGDIOBJ number : {GDI_NO_PEN, GDI_NO_BRUSH, GDI_NO_FONT})
  {
    EXPECT_EQ(DeleteObject(number), 0);
    int buf[2] = {7, 7};
    EXPECT_EQ(GetObject(number, 8, buf), 0);
    EXPECT_EQ(GetNSImageFromHICON(number), nullptr);
  }
  EXPECT_EQ(DeleteObject(nullptr), 0);
  EXPECT_EQ(GDI_ObjPoolSize(), pooled + 1);
}

TEST(GdiObjects, AnObjectStillSelectedIsNotDeleted)
{
  HGDIOBJ pen = CreatePen(0, 1, 0xff0000);
  HDC a = GDI_CreateMemContext(nullptr, 8, 8), b = GDI_CreateMemContext(nullptr, 8, 8);
  SelectObject(a, pen);
  SelectObject(b, pen);
  EXPECT_EQ(DeleteObject(pen), 0) << "selected in two contexts";
  SelectObject(a, GDI_NO_PEN);
  EXPECT_EQ(DeleteObject(pen), 0) << "still selected in one";
  // A context going away lets go of what it had selected, without deleting it.
  GDI_DeleteGfxContext(b);
  EXPECT_EQ(Obj(pen)->type, kGdiObjPen);
  EXPECT_EQ(DeleteObject(pen), 1);
  GDI_DeleteGfxContext(a);
}

TEST(GdiObjects, GetObjectFillsWhatItIsAskedToAndNoMore)
{
  unsigned char buf[16];
  memset(buf, 0xee, sizeof(buf));
  HGDIOBJ pen = CreatePen(0, 1, 0);
  EXPECT_EQ(GetObject(pen, 12, buf), 0);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(buf[i], 0) << i;
  for (int i = 12; i < 16; ++i) EXPECT_EQ(buf[i], 0xee) << i;

  memset(buf, 0xee, sizeof(buf));
  EXPECT_EQ(GetObject(pen, -4, buf), 0) << "a negative size is refused";
  for (unsigned char b : buf) EXPECT_EQ(b, 0xee);
  EXPECT_EQ(GetObject(pen, 8, nullptr), 0);
  EXPECT_EQ(GetObject(nullptr, 4, buf), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(buf[i], 0);
  EXPECT_EQ(GetNSImageFromHICON(pen), nullptr);
  DeleteObject(pen);
}

TEST(GdiObjects, FontsTakeSizeStyleRotationAndFace)
{
  struct Case
  {
    long height, width, orientation, weight;
    char italic, underline;
    const char* face;
    double size;
    bool bold, hasFont;
    float rotation;
  } cases[] = {
    {12, 0, 0, 400, 0, 0, "Arial", 12, false, true, 0},
    {-12, 0, 0, 400, 0, 0, "Arial", 12, false, true, 0},
    {0, -14, 0, 400, 0, 0, "Arial", 14, false, true, 0},   // height 0: the width's magnitude
    {1, 0, 0, 400, 0, 0, "Arial", 10, false, true, 0},     // below 2
    {9000, 0, 0, 400, 0, 0, "Arial", 10, false, true, 0},  // above 8192
    {8192, 0, 0, 400, 0, 0, "Arial", 8192, false, true, 0},
    {12, 0, 900, 700, 0, 0, "Arial", 12, true, true, 90},
    {12, 0, -450, 699, 1, 1, "Arial", 12, false, true, -45},
    {12, 0, 0, 400, 0, 0, "No Such Face At All", 12, false, false, 0},
    {12, 0, 0, 400, 0, 0, "", 12, false, false, 0},
    {12, 0, 0, 400, 0, 0, nullptr, 12, false, false, 0},
  };
  for (const Case& k : cases)
  {
    HGDIOBJ f = CreateFont(k.height, k.width, 0, k.orientation, k.weight, k.italic, k.underline, 0, 0, 0, 0, 0, 0,
                           k.face);
    ASSERT_NE(f, nullptr);
    const std::string what = std::to_string(k.height) + "/" + std::to_string(k.width) + " " + (k.face ? k.face : "null");
    EXPECT_EQ(Obj(f)->type, kGdiObjFont) << what;
    ASSERT_NE(Obj(f)->fontstyle, nullptr) << what;
    EXPECT_DOUBLE_EQ(StyleSize(f), k.size) << what;
    EXPECT_EQ(StyleHas(f, kATSUQDBoldfaceTag), k.bold) << what;
    EXPECT_EQ(StyleHas(f, kATSUQDItalicTag), k.italic != 0) << what;
    EXPECT_EQ(StyleHas(f, kATSUQDUnderlineTag), k.underline != 0) << what;
    EXPECT_EQ(StyleHasFont(f), k.hasFont) << what;
    EXPECT_FLOAT_EQ(Obj(f)->font_rotation, k.rotation) << what;
    EXPECT_EQ(DeleteObject(f), 1);
  }

  // A face name far longer than any font's, and a record whose inline name has no NUL: looked
  // up no further than the text goes.
  const std::string longName(10000, 'A');
  HGDIOBJ f = CreateFont(12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, longName.c_str());
  EXPECT_FALSE(StyleHasFont(f));
  DeleteObject(f);
  LOGFONT* lf = new LOGFONT;
  memset(lf, 0, sizeof(*lf));
  lf->lfHeight = 20;
  lf->lfWeight = 700;
  memset(lf->lfFaceName, 'Z', LF_FACESIZE);
  f = CreateFontIndirect(lf);
  ASSERT_NE(f, nullptr);
  EXPECT_DOUBLE_EQ(StyleSize(f), 20);
  EXPECT_TRUE(StyleHas(f, kATSUQDBoldfaceTag));
  EXPECT_FALSE(StyleHasFont(f));
  DeleteObject(f);
  memcpy(lf->lfFaceName, "Arial", 6);
  f = CreateFontIndirect(lf);
  EXPECT_TRUE(StyleHasFont(f));
  DeleteObject(f);
  delete lf;
  EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(GdiObjects, SystemColours)
{
  const std::vector<std::pair<int, int>> table = {{0, 0x606060}, {1, 0xE0E0E0}, {2, 0xC0C0C0}, {3, 0},
                                                  {4, 0xC0C0C0}, {5, 0x202020}, {6, 0x303030}, {7, 0xC0C0C0},
                                                  {8, 0xFFF0C8}, {9, 0},        {-1, 0}};
  for (const auto& [index, rgb] : table) EXPECT_EQ(GetSysColor(index), rgb) << index;
}

TEST(GdiObjects, ThePoolKeepsAtMostItsLimit)
{
  std::vector<HGDIOBJ> pens;
  for (int i = 0; i < kGdiPoolMax + 200; ++i) pens.push_back(CreatePen(0, 1, i));
  for (HGDIOBJ p : pens) EXPECT_EQ(DeleteObject(p), 1);
  EXPECT_EQ(GDI_ObjPoolSize(), kGdiPoolMax);
}
