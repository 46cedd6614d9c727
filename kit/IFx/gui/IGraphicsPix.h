#pragma once
// The editor surface on the raster library: it owns the back buffer every control draws into,
// turns each drawing primitive into one raster or vector call, composites rotating knob images,
// and loads, shares, scales and crops images through the process-wide bitmap cache. The platform
// surface below it supplies the screen copy, text, window, prompts and the reading of an image.

#include "IGraphics.h"

class PIX_IBitmap;
class PIX_MemBitmap;
class PIX_SysBitmap;

class IGraphicsPix : public IGraphics
{
public:
  IGraphicsPix(IFxBase* pPlug, int width, int height, int fps = 0);
  // Deletes the back buffer and the scratch bitmap, then the controls; cached images stay.
  ~IGraphicsPix() override;

  using IGraphics::DrawBitmap;
  using IGraphics::DrawHorizontalLine;
  using IGraphics::DrawVerticalLine;

  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override
  {
    SetControlsFromPlug(paramIdx, value, normalized);
  }
  // Creates the back buffer of the editor's size and an empty scratch bitmap.
  void PrepDraw() override;
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend = nullptr) override;
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* pBlend = nullptr) override;
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend = nullptr) override;
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr,
                 bool antiAlias = false) override;
  bool ForcePixel(const IColor* pColor, int x, int y) override;
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend = nullptr,
                bool antiAlias = false) override;
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend = nullptr, bool antiAlias = false) override;
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false) override;
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr) override;
  IColor GetPoint(int x, int y) override;
  void* GetData() override { return GetBits(); }
  // Plain stores into the pixel array, clamped onto the nearest edge.
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi) override;
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi) override;

  // A missing or unreadable image is reported on the standard error stream and gives an empty
  // bitmap (no pixels, nothing drawn); ImagesMissing counts them.
  IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1) override;
  int ImagesMissing() const { return mImagesMissing; }
  IBitmap ScaleBitmap(IBitmap* pBitmap, int destW, int destH) override;
  IBitmap CropBitmap(IBitmap* pBitmap, IRECT* pR) override;
  // The cache takes ownership of the raster bitmap.
  void RetainBitmap(IBitmap* pBitmap) override;
  // Removes the bitmap from the cache and deletes it; one the cache does not hold is left alone.
  void ReleaseBitmap(IBitmap* pBitmap) override;

  // Reads one image resource into a new raster bitmap owned by the caller, or null.
  virtual PIX_IBitmap* OSLoadBitmap(int ID, const char* name) = 0;

  void* GetBits();
  PIX_SysBitmap* GetDrawBitmap() const { return mDrawBitmap; }

  // ----- The bitmap cache, shared by every surface in the process -----
  // Entries in insertion order: the resource ID (-1 for scaled and cropped copies) and the bitmap.
  static int CacheSize();
  static int CacheID(int idx);
  static PIX_IBitmap* CacheBitmap(int idx);
  // Deletes every cached bitmap and entry: what runs at exit; tests call it between cases.
  static void FreeBitmapCache();

  // The raster library's weight and mode for a blend (none given: the default blend).
  static int BlendMode(const IChannelBlend* pBlend, bool rotated, float* pWeight);

protected:
  PIX_SysBitmap* mDrawBitmap = nullptr;
  PIX_MemBitmap* mTmpBitmap = nullptr;
  int mImagesMissing = 0;
};
