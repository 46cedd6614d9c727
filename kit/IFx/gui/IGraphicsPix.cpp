// Drawing into the back buffer through the raster library.

#include "IGraphicsPix.h"

#include <climits>

#include "pix.h"
#include "pix_arc.h"
#include "pix_circle.h"
#include "pix_line.h"
#include "pix_transform.h"
#include "pix_rows.h"

namespace
{
// Float coordinates become ints only when finite; far ones are held where no line's course
// through the surface changes visibly and no integer arithmetic downstream can overflow.
bool ToCoord(float v, int* pOut)
{
  if (!(v == v) || v - v != 0.0f) return false;
  const float kFar = 16777216.0f;
  *pOut = (int)(v < -kFar ? -kFar : (v > kFar ? kFar : v));
  return true;
}

int ClampInt(int v, int lo, int hi)
{
  return v < lo ? lo : (v > hi ? hi : v);
}

// An extent R - L held to the int range.
int Extent(int lo, int hi)
{
  const long long d = (long long)hi - (long long)lo;
  return (int)(d > INT_MAX ? INT_MAX : (d < INT_MIN ? INT_MIN : d));
}
}  // namespace

IGraphicsPix::IGraphicsPix(IFxBase* pPlug, int width, int height, int fps) : IGraphics(pPlug, width, height, fps)
{
}

IGraphicsPix::~IGraphicsPix()
{
  delete mDrawBitmap;
  delete mTmpBitmap;
}

void IGraphicsPix::PrepDraw()
{
  // A second call replaces the buffers instead of leaking them.
  delete mDrawBitmap;
  delete mTmpBitmap;
  mDrawBitmap = new PIX_SysBitmap(mWidth, mHeight);
  mTmpBitmap = new PIX_MemBitmap(0, 0);
}

void* IGraphicsPix::GetBits()
{
  return mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
}

int IGraphicsPix::BlendMode(const IChannelBlend* pBlend, bool rotated, float* pWeight)
{
  *pWeight = pBlend ? pBlend->mWeight : 1.0f;
  const int filter = rotated ? PIX_MODE_FILTERBILINEAR : 0;
  switch (pBlend ? pBlend->mMethod : IChannelBlend::kBlendNone)
  {
    case IChannelBlend::kBlendClobber: return PIX_MODE_COPY | filter;
    case IChannelBlend::kBlendAdd: return PIX_MODE_SOURCEALPHA | PIX_MODE_ADD | filter;
    case IChannelBlend::kBlendColorDodge: return PIX_MODE_SOURCEALPHA | PIX_MODE_COLORDODGE | filter;
    default: return PIX_MODE_SOURCEALPHA | PIX_MODE_COPY | filter;
  }
}

bool IGraphicsPix::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend)
{
  if (!pBitmap || !pDest) return false;
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  const IRECT r = pDest->Intersect(mDrawRECT);
  PIX_Blit(mDrawBitmap, pBitmap->mData, r.L, r.T, srcX + r.L - pDest->L, srcY + r.T - pDest->T, r.W(), r.H(),
           weight, mode);
  return true;
}

bool IGraphicsPix::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg,
                                     const IChannelBlend* pBlend)
{
  if (!pBitmap) return false;
  float weight;
  const int mode = BlendMode(pBlend, true, &weight);
  const int W = pBitmap->W, H = pBitmap->H;
  PIX_RotatedBlit(mDrawBitmap, pBitmap->mData, destCtrX - W / 2, destCtrY - H / 2, W, H, 0.0f, 0.0f, (float)W,
                  (float)H, (float)angle, false, weight, mode, 0.0f, (float)yOffsetZeroDeg);
  return true;
}

bool IGraphicsPix::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                                   const IChannelBlend* pBlend)
{
  if (!pBase || !pMask || !pTop) return false;
  const int W = pBase->W, H = pBase->H;
  if (!mTmpBitmap) mTmpBitmap = new PIX_MemBitmap(0, 0);
  // The base's colours with no alpha, the turned mask's alpha added, the turned top laid over.
  PIX_Copy(mTmpBitmap, pBase->mData);
  PIX_ClearRect(mTmpBitmap, 0, 0, W, H, 0xFFFFFF00, 0);
  const float a = (float)(3.141592653589793 * angle / 180.0);
  const float dx = (W % 2) ? -0.5f : 0.0f;
  PIX_RotatedBlit(mTmpBitmap, pMask->mData, 0, 0, W, H, 0.0f, 0.0f, (float)W, (float)H, a, true, 1.0f,
                  PIX_MODE_SOURCEALPHA | PIX_MODE_FILTERBILINEAR | PIX_MODE_ADD, dx, 0.0f);
  PIX_RotatedBlit(mTmpBitmap, pTop->mData, 0, 0, W, H, 0.0f, 0.0f, (float)W, (float)H, a, true, 1.0f,
                  PIX_MODE_SOURCEALPHA | PIX_MODE_FILTERBILINEAR | PIX_MODE_COPY, dx, 0.0f);
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  const IRECT r = IRECT(x, y, x + W, y + H).Intersect(mDrawRECT);
  PIX_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(), weight, mode);
  return true;
}

bool IGraphicsPix::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend, bool /*antiAlias*/)
{
  int xi, yi;
  if (!pColor || !ToCoord(x + 0.5f, &xi) || !ToCoord(y + 0.5f, &yi)) return true;
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  PIX_PutPixel(mDrawBitmap, xi, yi, IColorToPixel(*pColor), weight, mode);
  return true;
}

bool IGraphicsPix::ForcePixel(const IColor* pColor, int x, int y)
{
  const PIX_Rows rows(mDrawBitmap);
  if (!pColor || !rows.bits || x < 0 || y < 0 || x >= rows.width || y >= rows.height) return true;
  *rows.at(x, y) = IColorToPixel(*pColor);
  return true;
}

bool IGraphicsPix::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend,
                            bool antiAlias)
{
  int ix1, iy1, ix2, iy2;
  if (!pColor || !ToCoord(x1, &ix1) || !ToCoord(y1, &iy1) || !ToCoord(x2, &ix2) || !ToCoord(y2, &iy2)) return true;
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  PIX_Line(mDrawBitmap, ix1, iy1, ix2, iy2, IColorToPixel(*pColor), weight, mode, antiAlias);
  return true;
}

bool IGraphicsPix::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
                           const IChannelBlend* pBlend, bool antiAlias)
{
  if (!pColor) return true;
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  PIX_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, IColorToPixel(*pColor), weight, mode, antiAlias);
  return true;
}

bool IGraphicsPix::DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend,
                              bool antiAlias)
{
  if (!pColor) return true;
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  PIX_Circle(mDrawBitmap, cx, cy, r, IColorToPixel(*pColor), weight, mode, antiAlias);
  return true;
}

bool IGraphicsPix::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend)
{
  if (!pColor || !pR) return true;
  float weight;
  const int mode = BlendMode(pBlend, false, &weight);
  PIX_FillRect(mDrawBitmap, pR->L, pR->T, Extent(pR->L, pR->R), Extent(pR->T, pR->B), IColorToPixel(*pColor), weight,
               mode);
  return true;
}

IColor IGraphicsPix::GetPoint(int x, int y)
{
  return IColorFromPixel(PIX_GetPixel(mDrawBitmap, x, y));
}

bool IGraphicsPix::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi)
{
  const PIX_Rows rows(mDrawBitmap);
  if (!pColor || !rows.bits) return true;
  const PIX_PixelValue pixel = IColorToPixel(*pColor);
  const int x = ClampInt(xi, 0, rows.width - 1);
  const int lo = ClampInt(yLo, 0, rows.height - 1), hi = ClampInt(yHi, 0, rows.height - 1);
  for (int y = lo; y <= hi; ++y) *rows.at(x, y) = pixel;
  return true;
}

bool IGraphicsPix::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi)
{
  const PIX_Rows rows(mDrawBitmap);
  if (!pColor || !rows.bits) return true;
  const PIX_PixelValue pixel = IColorToPixel(*pColor);
  PIX_PixelValue* row = rows.row(ClampInt(yi, 0, rows.height - 1));
  const int lo = ClampInt(xLo, 0, rows.width - 1), hi = ClampInt(xHi, 0, rows.width - 1);
  for (int x = lo; x <= hi; ++x) row[x] = pixel;
  return true;
}
