#pragma once
// A headless editor surface on the raster library. Images are read from files in a folder the
// test names (PNG and JPEG through the raster library's loaders, or a loader the test gives);
// every screen copy, text, prompt, link and window operation is recorded for the test to read.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "IGraphicsPix.h"
#include "IParam.h"
#include "pix.h"
#include "pix_loaders.h"

class TestGraphics : public IGraphicsPix
{
public:
  struct TextCall
  {
    std::string mStr;
    IRECT mRect;
    IText mText;
  };

  TestGraphics(IFxBase* pPlug, int w = 800, int h = 400, int fps = 30) : IGraphicsPix(pPlug, w, h, fps) {}

  // ----- What the test sets -----
  std::string mImageDir = ".";
  // Reads an image file into a new bitmap, or null.
  std::function<PIX_IBitmap*(const std::string& path)> mLoader = LoadImageFile;
  std::string mNextFile;              // what the file dialog answers
  std::set<std::string> mOpenableURLs;  // links that open; any other fails
  bool mCopyScreen = true;
  std::function<void()> mWhilePromptingForFile;  // runs while the file dialog is up

  // ----- What the surface recorded -----
  int mScreenCopies = 0;
  IRECT mLastScreenRect;
  std::unique_ptr<PIX_MemBitmap> mScreen = std::make_unique<PIX_MemBitmap>();
  std::vector<TextCall> mTexts;
  std::vector<std::string> mPrompts;  // "value <param name>", "file <action> <dir> <extensions>"
  std::vector<std::string> mURLs;
  std::map<std::string, int> mLoads;  // file name -> reads

  bool DrawScreen(IRECT* pR) override
  {
    ++mScreenCopies;
    mLastScreenRect = *pR;
    if (mCopyScreen && mDrawBitmap) PIX_Copy(mScreen.get(), mDrawBitmap);
    return true;
  }

  bool DrawIText(IText* pTxt, const char* str, IRECT* pR) override
  {
    mTexts.push_back({str, *pR, *pTxt});
    return true;
  }

  void PromptUserInput(IControl*, IParam* pParam) override
  {
    mPrompts.push_back(std::string("value ") + (pParam ? pParam->GetNameForHost() : "(none)"));
  }

  void HostPath(KIT_String* pPath) override { pPath->Set("/test/host"); }
  void PluginPath(KIT_String* pPath) override { pPath->Set("/test/plugins/"); }

  void PromptForFile(KIT_String* pFile, EFileAction action, const char* dir, const char* extensions) override
  {
    mPrompts.push_back("file " + std::to_string((int)action) + " " + dir + " " + extensions);
    if (mWhilePromptingForFile) mWhilePromptingForFile();
    pFile->Set(mNextFile.c_str());
  }

  bool PromptForColor(IColor*, const char*) override { return false; }

  bool OpenURL(const char* url, const char*, const char*, const char*) override
  {
    mURLs.push_back(url);
    return mOpenableURLs.count(url) > 0;
  }

  void* OpenWindow(void* pParent) override
  {
    mWindow = pParent ? pParent : this;
    return mWindow;
  }
  void CloseWindow() override { mWindow = nullptr; }
  void* GetWindow() override { return mWindow; }

  PIX_IBitmap* OSLoadBitmap(int, const char* name) override
  {
    ++mLoads[name ? name : ""];
    if (!name || !mLoader) return nullptr;
    return mLoader(mImageDir + "/" + name);
  }

  // A full redraw as the timer and the paint would do it; false when nothing was dirty.
  bool Tick()
  {
    IRECT r;
    if (!IsDirty(&r)) return false;
    Draw(&r);
    return true;
  }

  static PIX_IBitmap* LoadImageFile(const std::string& path)
  {
    const size_t dot = path.rfind('.');
    const std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    if (ext == "jpg" || ext == "JPG") return PIX_LoadJPG(path.c_str(), nullptr);
    return PIX_LoadPNG(path.c_str(), nullptr);
  }

  PIX_PixelValue Pixel(int x, int y) { return PIX_GetPixel(mDrawBitmap, x, y); }
  // The area a drawing pass would set, for drawing outside a pass.
  void SetDrawRECT(const IRECT& r) { mDrawRECT = r; }

private:
  void* mWindow = nullptr;
};

