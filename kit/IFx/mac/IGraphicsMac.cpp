// IGraphicsMac: opening and closing the editor's view or pane, the screen copy, paths, URLs and
// the system version.

#include "IGraphicsMac.h"

#include <Cocoa/Cocoa.h>
#include <CoreServices/CoreServices.h>

#include "IFxDebug.h"
#include "IGraphicsCarbon.h"
#include "IGraphicsCocoa.h"
#include "gdi-draw.h"
#include "pix_bitmap.h"

IGraphicsMac::IGraphicsMac(IFxBase* pPlug, int w, int h, int refreshFPS) : IGraphicsPix(pPlug, w, h, refreshFPS)
{
  NSApplicationLoad();
}

IGraphicsMac::~IGraphicsMac()
{
  // The plug-in is going (it deletes the surface): a press still held is not told to its host.
  CloseHost();
  if (mTxtAttrs) mTxtAttrs->release();
}

// ----- Opening and closing -----

namespace
{
// A host's pointer is looked up among our live objects, never read.
NSView* ParentView(void* pParent)
{
  id parent = objc_objectForPointer(pParent);
  return parent && parent->isKindOfClass<NSView>() ? static_cast<NSView*>(parent) : nil;
}
}  // namespace

void* IGraphicsMac::OpenWindow(void* pParent)
{
  if (pParent && !ParentView(pParent)) return OpenCarbonWindow(pParent, nullptr);
  return OpenCocoaWindow(pParent);
}

void* IGraphicsMac::OpenWindow(void* pWindow, void* pControl)
{
  return OpenCarbonWindow(pWindow, pControl);
}

void* IGraphicsMac::OpenCocoaWindow(void* pParentView)
{
  NSView* parent = ParentView(pParentView);
  if (pParentView && !parent) return nullptr;
  CloseWindow();
  // A parent adopted from a host's window let go when the old view left it: adopted afresh.
  if (pParentView) parent = ParentView(pParentView);
  if (pParentView && !parent) return nullptr;
  mGraphicsCocoa = (new IGraphicsCocoa_v1002)->initWithIGraphics(this);
  if (parent) parent->addSubview(mGraphicsCocoa);
  return mGraphicsCocoa;
}

void* IGraphicsMac::OpenCarbonWindow(void* pWindow, void* pControl)
{
  // Neither a view nor a window of ours: foreign, never dereferenced, and nothing changes. Nor
  // does a surface too large for a control's 16-bit size.
  WindowRef pCarbonWindow = (WindowRef)pWindow;
  if (!IsValidWindowPtr(pCarbonWindow) || !CarbonPaneSizeFits(Width(), Height())) return nullptr;
  CloseWindow();
  mGraphicsCarbon = new IGraphicsCarbon(this, pCarbonWindow, (ControlRef)pControl);
  return mGraphicsCarbon->GetView();
}

void IGraphicsMac::CloseWindow()
{
  ReleaseMouseOnClose();
  CloseHost();
}

void IGraphicsMac::CloseHost()
{
  if (mGraphicsCarbon)
  {
    delete mGraphicsCarbon;
    mGraphicsCarbon = nullptr;
  }
  else if (mGraphicsCocoa)
  {
    IGraphicsCocoa_v1002* view = mGraphicsCocoa;
    mGraphicsCocoa = nullptr;
    view->killTimer();
    if (view->mGraphics == this)
    {
      // Closed from the wrapper: the view leaves its parent, then our reference goes.
      view->mGraphics = nullptr;
      view->removeFromSuperview();
      view->release();
    }
    else
    {
      // Closed by the view's own removal, which is still under way: the view goes once it has
      // left its parent, when the pool drains.
      view->autorelease();
    }
  }
}

void IGraphicsMac::OnHostIdle()
{
  // A host that runs no loop of ours turns it here: pending input, due timers, the paint.
  if (WindowIsOpen()) CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0, false);
}

bool IGraphicsMac::WindowIsOpen()
{
  return mGraphicsCarbon || mGraphicsCocoa;
}

void* IGraphicsMac::GetWindow()
{
  return mGraphicsCocoa;
}

void IGraphicsMac::Resize(int w, int h)
{
  // A size the pane's window cannot take is refused before the controls and the buffer change.
  if (mGraphicsCarbon && !mGraphicsCarbon->SizeFits(w, h)) return;
  IGraphics::Resize(w, h);
  if (mDrawBitmap) mDrawBitmap->resize(w, h);
  if (mGraphicsCarbon)
    mGraphicsCarbon->Resize(w, h);
  else if (mGraphicsCocoa)
    mGraphicsCocoa->setFrameSize(NSMakeSize(w, h));
}

// ----- Screen copy -----

bool IGraphicsMac::DrawScreen(IRECT*)
{
  CGContextRef pCGC = nullptr;
  if (mGraphicsCocoa)
  {
    NSGraphicsContext* current = NSGraphicsContext::currentContext();
    pCGC = current ? (CGContextRef)current->graphicsPort() : nullptr;
  }
  else if (mGraphicsCarbon)
  {
    pCGC = mGraphicsCarbon->GetCGContext();
  }
  GDP_CTX* pDC = mDrawBitmap ? (GDP_CTX*)mDrawBitmap->getDC() : nullptr;
  if (!pCGC || !pDC || !pDC->ctx) return false;

  // The back buffer's pixels at their own size, their top row at the editor's top: a buffer that
  // a resize left larger or smaller than the surface is never stretched over the view.
  const CGFloat bw = (CGFloat)CGBitmapContextGetWidth(pDC->ctx), bh = (CGFloat)CGBitmapContextGetHeight(pDC->ctx);
  CGRect r = CGRectMake(0, Height() - bh, bw, bh);
  if (!mGraphicsCocoa) mGraphicsCarbon->OffsetContentRect(&r);

  CGImageRef img = CGBitmapContextCreateImage(pDC->ctx);
  if (!img) return false;
  CGContextDrawImage(pCGC, r, img);
  CGImageRelease(img);
  return true;
}

// ----- Paths, prompts, URLs, system -----

void IGraphicsMac::HostPath(KIT_String* pPath)
{
  NSBundle* pBundle = NSBundle::bundleWithIdentifier(ToNSString(GetBundleID()));
  NSString* exe = pBundle ? pBundle->executablePath() : nil;
  if (exe) pPath->Set(exe->UTF8String());
}

void IGraphicsMac::PluginPath(KIT_String* pPath)
{
  NSBundle* pBundle = NSBundle::bundleWithIdentifier(ToNSString(GetBundleID()));
  if (!pBundle) return;
  NSString* folder = pBundle->bundlePath()->stringByDeletingLastPathComponent();
  pPath->Set(folder->UTF8String());
  pPath->Append("/");
}

void IGraphicsMac::PromptUserInput(IControl*, IParam*) {}

void IGraphicsMac::PromptForFile(KIT_String*, EFileAction, const char*, const char*) {}

bool IGraphicsMac::PromptForColor(IColor*, const char*)
{
  return false;
}

bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*)
{
  if (!url) return false;
  NSString* text = ToNSString(url);
  NSURL* pURL = strstr(url, "http") ? NSURL::URLWithString(text) : NSURL::fileURLWithPath(text);
  // Nothing can be opened when no URL can be made of the text.
  if (!pURL) return false;
  return NSWorkspace::sharedWorkspace()->openURL(pURL);
}

NSString* ToNSString(const char* cStr)
{
  return NSString::stringWithCString(cStr);
}
