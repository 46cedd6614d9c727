// Windows: the backing store, the content view, the first responder, and the registry of window
// numbers that events and each thread's run-loop pass look windows up in.

#include <AppKit/NSWindow.h>

#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <thread>

#include <Foundation/FoundationPrivate.h>

namespace
{
constexpr double kMaxBackingSide = 16384;

struct WindowEntry
{
  NSWindow* mWindow;
  std::thread::id mThread;
};

struct Windows
{
  std::mutex mLock;
  std::map<NSInteger, WindowEntry> mByNumber;
};

Windows& TheWindows()
{
  static Windows* sWindows = new Windows;
  return *sWindows;
}

std::atomic<NSInteger> sNextWindowNumber{1};

// The backing store's size in pixels for a content size: whole pixels covering it, at least one.
bool BackingSize(NSSize size, int* width, int* height)
{
  if (!(size.width > 0 && size.width <= kMaxBackingSide && size.height > 0 && size.height <= kMaxBackingSide))
    return false;
  *width = (int)std::ceil(size.width);
  *height = (int)std::ceil(size.height);
  return true;
}

bool ViewsNeedDisplay(const NSView* view)
{
  if (view->needsDisplay()) return true;
  for (const NSView* v : view->subviews())
  {
    if (ViewsNeedDisplay(v)) return true;
  }
  return false;
}
}  // namespace

NSWindow* NSWindow::initWithContentRect(NSRect contentRect, NSUInteger, NSBackingStoreType, BOOL)
{
  int width = 0, height = 0;
  if (!BackingSize(contentRect.size, &width, &height))
  {
    release();
    return nil;
  }
  return initWithContentRect(contentRect, NSNewMemoryWindowBackend(width, height));
}

NSWindow* NSWindow::initWithContentRect(NSRect contentRect, NSWindowBackend* backend)
{
  if (!backend)
  {
    release();
    return nil;
  }
  if (mBackend)
  {
    delete backend;  // made already
    return this;
  }
  mBackend = backend;
  mContentSize = NSMakeSize(contentRect.size.width > 0 ? contentRect.size.width : 0,
                            contentRect.size.height > 0 ? contentRect.size.height : 0);
  mFirstResponder = this;
  mWindowNumber = sNextWindowNumber.fetch_add(1);
  {
    Windows& w = TheWindows();
    std::lock_guard<std::mutex> lock(w.mLock);
    w.mByNumber[mWindowNumber] = WindowEntry{this, std::this_thread::get_id()};
  }
  NSView* content = (new NSView)->initWithFrame(NSMakeRect(0, 0, mContentSize.width, mContentSize.height));
  setContentView(content);
  content->release();
  // The thread's run loop displays its windows at the end of each pass.
  KVFoundation::SetRunLoopPassHook(&NSWindow::DisplayThreadWindows);
  KVFoundation::InstallRunLoopPass();
  return this;
}

NSWindow::~NSWindow()
{
  if (mWindowNumber)
  {
    Windows& w = TheWindows();
    std::lock_guard<std::mutex> lock(w.mLock);
    w.mByNumber.erase(mWindowNumber);
  }
  if (NSView* content = mContentView)
  {
    mContentView = nil;
    content->setWindowRecursively(nil);
    content->setNextResponder(nil);
    content->release();
  }
  for (NSView*& pressed : mMouseViews)
  {
    if (pressed) pressed->release();
    pressed = nil;
  }
  delete mBackend;
}

void NSWindow::setContentView(NSView* view)
{
  if (view == mContentView) return;
  if (view)
  {
    view->retain();
    if (view->superview()) view->removeFromSuperview();
  }
  NSView* old = mContentView;
  if (old)
  {
    mContentView = nil;
    old->setWindowRecursively(nil);
    old->setNextResponder(nil);
  }
  if (view)
  {
    mContentView = view;
    view->setFrame(NSMakeRect(0, 0, mContentSize.width, mContentSize.height));
    view->setNextResponder(this);
    view->setWindowRecursively(this);
  }
  if (old) old->release();
}

void NSWindow::setContentSize(NSSize size)
{
  int width = 0, height = 0;
  if (!mBackend || !BackingSize(size, &width, &height) || !mBackend->resize(width, height)) return;
  mContentSize = size;
  if (mContentView)
  {
    mContentView->setFrameSize(size);
    mContentView->setSubtreeNeedsDisplay();  // the new backing store starts blank
  }
}

BOOL NSWindow::makeFirstResponder(NSResponder* responder)
{
  if (!responder) responder = this;
  if (responder == mFirstResponder) return YES;
  if (responder != this)
  {
    NSView* view = dynamic_cast<NSView*>(responder);
    if ((view && view->window() != this) || !responder->acceptsFirstResponder()) return NO;
  }
  if (mFirstResponder && mFirstResponder != this && !mFirstResponder->resignFirstResponder()) return NO;
  // A responder that accepted but then refuses to become first leaves the window first.
  mFirstResponder = responder->becomeFirstResponder() ? responder : this;
  return mFirstResponder == responder;
}

void NSWindow::viewWillLeaveWindow(NSView* view)
{
  if (NSView* first = dynamic_cast<NSView*>(mFirstResponder))
  {
    if (first->isDescendantOf(view))
    {
      mFirstResponder = this;
      first->resignFirstResponder();
    }
  }
  for (NSView*& slot : mMouseViews)
  {
    if (slot && slot->isDescendantOf(view))
    {
      NSView* pressed = slot;
      slot = nil;
      pressed->release();
    }
  }
}

BOOL NSWindow::viewsNeedDisplay() const
{
  return mContentView && ViewsNeedDisplay(mContentView);
}

NSWindow* NSWindow::windowWithNumber(NSInteger number)
{
  Windows& w = TheWindows();
  std::lock_guard<std::mutex> lock(w.mLock);
  auto it = w.mByNumber.find(number);
  return it == w.mByNumber.end() ? nil : it->second.mWindow;
}

void NSWindow::DisplayThreadWindows()
{
  std::vector<NSWindow*> mine;
  {
    // A window is made, used and freed on its own thread, so none of these is being freed now.
    Windows& w = TheWindows();
    const std::thread::id self = std::this_thread::get_id();
    std::lock_guard<std::mutex> lock(w.mLock);
    for (auto& e : w.mByNumber)
    {
      if (e.second.mThread != self) continue;
      e.second.mWindow->retain();
      mine.push_back(e.second.mWindow);
    }
  }
  for (NSWindow* window : mine)
  {
    if (window->mBackend) window->mBackend->pumpEvents(window);
    window->display();
    window->release();
  }
}
