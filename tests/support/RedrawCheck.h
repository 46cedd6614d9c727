#pragma once
// The redraw invariant of an editor surface: once the platform's timer has run twice with nothing
// changing in between, no control is dirty and the back buffer holds exactly what a redraw of the
// whole editor from scratch draws. The redraw property test and the editor fuzz target check it.

#include "IGraphicsPix.h"
#include "pix.h"

namespace redraw_check
{
// No control asks for a repaint. (IsDirty counts clean calls; every 21st runs the idle handlers.)
inline bool Clean(IGraphics* pGraphics)
{
  IRECT none;
  return !pGraphics->IsDirty(&none);
}

// Keeps the back buffer in *pIncremental, redraws the whole editor into the back buffer cleared to
// a colour no control draws and keeps that in *pScratch; true when the two are the same. The back
// buffer holds the redraw from scratch afterwards.
inline bool MatchesRedrawFromScratch(IGraphicsPix* pGraphics, PIX_MemBitmap* pIncremental, PIX_MemBitmap* pScratch)
{
  PIX_SysBitmap* back = pGraphics->GetDrawBitmap();
  PIX_Copy(pIncremental, back);
  PIX_Clear(back, 0xDEADBEEF);
  IRECT all(0, 0, pGraphics->Width(), pGraphics->Height());
  pGraphics->Draw(&all);
  PIX_Copy(pScratch, back);
  return PIX_BitmapCmp(pIncremental, pScratch) == 0;
}
}  // namespace redraw_check
