#pragma once
// Windows on an X11 server, through XCB: the window is a child of a host's X11 window, its pixels
// are copied there after every display (through shared memory where the server offers it), and
// the server's input becomes NSEvents. Every request goes on a connection of the backend's own,
// so errors (a host that destroyed its window first, say) come back to it and nothing is installed
// process-wide.

#include <vector>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <AppKit/NSWindowBackend.h>

class NSX11Backend : public NSWindowBackend
{
public:
  // A w x h child window at the top-left of `parent`, on `conn`, which the backend then owns. Null
  // (and the connection closed) when the parent's visual is not one it can draw (24 or 32-bit
  // true colour) or the window cannot be made.
  static NSX11Backend* Create(xcb_connection_t* conn, xcb_window_t parent, int w, int h);
  ~NSX11Backend() override;

  CGContextRef backingContext() override { return mContext; }
  bool resize(int w, int h) override;
  void flush(NSWindow* window, NSRect area) override;
  void pumpEvents(NSWindow* window) override;

  // Gives back the window, the shared memory and the connection now; the backend keeps only its
  // pixels. Safe twice, and after the server already destroyed the window.
  void shutdown();
  xcb_window_t Window() const { return mWindow; }
  bool IsLive() const { return mConn != nullptr && !mDead; }

private:
  NSX11Backend(xcb_connection_t* conn, xcb_window_t parent, uint8_t depth, xcb_visualid_t visual);
  bool Start(int w, int h);
  bool AttachSharedMemory();
  void DetachSharedMemory();
  // Copies the rectangle (window coordinates, y down) of the backing store to the window.
  void Copy(int x, int y, int w, int h);
  // Waits until the server has read the shared memory of the last copy.
  void SyncSharedMemory();

  xcb_connection_t* mConn;
  xcb_window_t mParent;
  xcb_window_t mWindow = 0;
  xcb_gcontext_t mGC = 0;
  uint8_t mDepth;
  xcb_visualid_t mVisual;
  CGContextRef mContext = nullptr;
  int mWidth = 0, mHeight = 0;        // the backing store
  int mWindowW = 0, mWindowH = 0;      // the window, as the server last said (a host may squeeze it)
  // Shared memory the size of the backing store, or none.
  xcb_shm_seg_t mSeg = 0;
  int mShmID = -1;
  uint8_t* mShm = nullptr;
  bool mShmPending = false;
  uint8_t mShmCompletion = 0;  // the event that says the server has read a copy
  // Events read while waiting for that one, handled with the next ones.
  std::vector<xcb_generic_event_t*> mQueued;
  // The server destroyed the window (with its parent) or the connection broke.
  bool mDead = false;

  // Input state between events.
  bool mPressed = false;
  int mPressButton = 0;
  xcb_timestamp_t mLastPressTime = 0;
  int mLastPressX = -1000, mLastPressY = -1000, mLastPressButton = 0;
  NSInteger mClickCount = 0;
};

// From now on a host's X11 window handed over as a parent is adopted (see NSX11Parent.cpp).
void NSInstallX11ParentAdoption();
