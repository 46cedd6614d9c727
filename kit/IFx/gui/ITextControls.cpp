// Texts, parameter captions, links and the file selector.

#include <cstring>

#include "IControls.h"
#include "IFxBase.h"

// ----- ITextControl -----

ITextControl::ITextControl(IFxBase* pPlug, IRECT* pR, IText* pText, const char* str)
  : IControl(pPlug, pR), mText(*pText), mStr(str)
{
}

void ITextControl::SetTextFromPlug(const char* str)
{
  if (!str) str = "";
  if (!strcmp(mStr.Get(), str)) return;
  mStr.Set(str);
  SetDirty(false);
}

bool ITextControl::Draw(IGraphics* pGraphics)
{
  if (mStr.Get()[0]) pGraphics->DrawIText(&mText, mStr.Get(), &mRECT);
  return true;
}

// ----- ICaptionControl -----

ICaptionControl::ICaptionControl(IFxBase* pPlug, IRECT* pR, int paramIdx, IText* pText, bool showParamLabel)
  : ITextControl(pPlug, pR, pText, ""), mShowParamLabel(showParamLabel)
{
  mParamIdx = paramIdx;
}

bool ICaptionControl::Draw(IGraphics* pGraphics)
{
  if (const IParam* pParam = mPlug ? mPlug->GetParam(mParamIdx) : nullptr)
  {
    char display[128] = {};
    pParam->GetDisplayForHost(display);
    mStr.Set(display);
    if (mShowParamLabel)
    {
      mStr.Append(" ");
      mStr.Append(pParam->GetLabelForHost());
    }
  }
  return ITextControl::Draw(pGraphics);
}

// ----- IURLControl -----

IURLControl::IURLControl(IFxBase* pPlug, IRECT* pR, const char* url, const char* backupURL, const char* errMsg)
  : IControl(pPlug, pR)
{
  KIT_strlcpy(mURL, url, sizeof(mURL));
  KIT_strlcpy(mBackupURL, backupURL, sizeof(mBackupURL));
  KIT_strlcpy(mErrMsg, errMsg, sizeof(mErrMsg));
}

void IURLControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  IGraphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pGraphics) return;
  if (mURL[0] && pGraphics->OpenURL(mURL, mErrMsg, nullptr, nullptr)) return;
  if (mBackupURL[0]) pGraphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}

// ----- IFileSelectorControl -----

IFileSelectorControl::IFileSelectorControl(IFxBase* pPlug, IRECT* pR, int paramIdx, IBitmap* pBitmap,
                                           IGraphics::EFileAction action, const char* dir, const char* extensions)
  : IControl(pPlug, pR, paramIdx), mBitmap(*pBitmap), mDir(dir), mExtensions(extensions), mFileAction(action)
{
}

void IFileSelectorControl::OnMouseDown(int /*x*/, int /*y*/, IMouseMod* /*pMod*/)
{
  IGraphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pGraphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  pGraphics->PromptForFile(&mFile, mFileAction, mDir.Get(), mExtensions.Get());
  SetValue(GetValue() + 1.0);
  if (GetValue() > 1.0) SetValue(0.0);
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* pGraphics)
{
  if (mState == kFSSelecting) pGraphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty()
{
  if (IControl::IsDirty()) return true;
  if (mState != kFSDone) return false;
  mState = kFSNone;
  return true;
}
