// The X11 window backend: the child window, its graphics context, the shared-memory segment, and
// the copy of painted areas from the backing store (bytes A, R, G, B) to the window's visual
// (32-bit pixels B, G, R, x in memory), converted by pixman.

#include "NSX11Backend.h"

#include <pixman.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <AppKit/NSWindow.h>

namespace
{
// The depth and visual of a window, and whether its pixels are what the copy writes: 32 bits, red,
// green and blue in bytes 2, 1, 0 of a little-endian word.
bool DrawableVisual(xcb_connection_t* conn, xcb_visualid_t visual, uint8_t depth)
{
  const xcb_setup_t* setup = xcb_get_setup(conn);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  bool bpp32 = false;
  for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == depth) bpp32 = f.data->bits_per_pixel == 32;
  if (!bpp32) return false;
  for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
    for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
      for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == visual)
          return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xff0000 &&
                 v.data->green_mask == 0xff00 && v.data->blue_mask == 0xff;
  return false;
}
}  // namespace

NSX11Backend::NSX11Backend(xcb_connection_t* conn, xcb_window_t parent, uint8_t depth, xcb_visualid_t visual)
  : mConn(conn), mParent(parent), mDepth(depth), mVisual(visual)
{
}

NSX11Backend* NSX11Backend::Create(xcb_connection_t* conn, xcb_window_t parent, int w, int h)
{
  xcb_generic_error_t* err = nullptr;
  xcb_get_geometry_reply_t* geo = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, parent), &err);
  xcb_get_window_attributes_reply_t* attrs =
    xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, parent), nullptr);
  NSX11Backend* b = nullptr;
  if (geo && attrs && DrawableVisual(conn, attrs->visual, geo->depth))
  {
    b = new NSX11Backend(conn, parent, geo->depth, attrs->visual);
    if (!b->Start(w, h))
    {
      delete b;
      b = nullptr;
      conn = nullptr;  // closed with the backend
    }
  }
  free(geo);
  free(attrs);
  free(err);
  if (!b && conn) xcb_disconnect(conn);
  return b;
}

bool NSX11Backend::Start(int w, int h)
{
  mContext = NSNewBackingContext(w, h);
  if (!mContext) return false;
  mWidth = mWindowW = w;
  mHeight = mWindowH = h;
  mWindow = xcb_generate_id(mConn);
  const uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK;
  const uint32_t values[2] = { 0, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                    XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_STRUCTURE_NOTIFY };
  xcb_void_cookie_t made = xcb_create_window_checked(mConn, mDepth, mWindow, mParent, 0, 0, (uint16_t)w, (uint16_t)h,
                                                     0, XCB_WINDOW_CLASS_INPUT_OUTPUT, mVisual, mask, values);
  if (xcb_generic_error_t* e = xcb_request_check(mConn, made))
  {
    free(e);
    mWindow = 0;
    return false;
  }
  mGC = xcb_generate_id(mConn);
  const uint32_t noExposures = 0;
  xcb_create_gc(mConn, mGC, mWindow, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  AttachSharedMemory();
  xcb_map_window(mConn, mWindow);
  xcb_flush(mConn);
  return true;
}

NSX11Backend::~NSX11Backend()
{
  shutdown();
  for (xcb_generic_event_t* ev : mQueued) free(ev);
  CGContextRelease(mContext);
}

void NSX11Backend::shutdown()
{
  if (!mConn) return;
  DetachSharedMemory();
  for (xcb_generic_event_t* ev : mQueued) free(ev);
  mQueued.clear();
  // Requests on a window the server already destroyed just come back as errors on this connection.
  if (mGC) xcb_free_gc(mConn, mGC);
  if (mWindow && !mDead) xcb_destroy_window(mConn, mWindow);
  xcb_flush(mConn);
  xcb_disconnect(mConn);
  mConn = nullptr;
  mGC = 0;
}

bool NSX11Backend::AttachSharedMemory()
{
  xcb_shm_query_version_reply_t* v = xcb_shm_query_version_reply(mConn, xcb_shm_query_version(mConn), nullptr);
  if (!v) return false;
  free(v);
  const xcb_query_extension_reply_t* ext = xcb_get_extension_data(mConn, &xcb_shm_id);
  if (!ext || !ext->present) return false;
  mShmCompletion = (uint8_t)(ext->first_event + XCB_SHM_COMPLETION);
  const size_t bytes = (size_t)mWidth * mHeight * 4;
  mShmID = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (mShmID < 0) return false;
  void* addr = shmat(mShmID, nullptr, 0);
  if (addr == (void*)-1)
  {
    shmctl(mShmID, IPC_RMID, nullptr);
    mShmID = -1;
    return false;
  }
  mSeg = xcb_generate_id(mConn);
  xcb_generic_error_t* e = xcb_request_check(mConn, xcb_shm_attach_checked(mConn, mSeg, (uint32_t)mShmID, 0));
  // Marked for removal at once: it goes when both sides have let go, even if this process dies.
  shmctl(mShmID, IPC_RMID, nullptr);
  if (e)
  {
    free(e);
    shmdt(addr);
    mShmID = -1;
    mSeg = 0;
    return false;
  }
  mShm = (uint8_t*)addr;
  return true;
}

void NSX11Backend::DetachSharedMemory()
{
  if (!mShm) return;
  SyncSharedMemory();
  xcb_shm_detach(mConn, mSeg);
  shmdt(mShm);
  mShm = nullptr;
  mSeg = 0;
  mShmID = -1;
}

void NSX11Backend::SyncSharedMemory()
{
  if (!mShmPending || !mConn) return;
  // The server says when it has read a copy; at 30 frames a second that has long happened, and
  // only otherwise does this wait for a round trip.
  while (xcb_generic_event_t* ev = xcb_poll_for_queued_event(mConn))
  {
    if ((ev->response_type & 0x7f) == mShmCompletion) mShmPending = false;
    mQueued.push_back(ev);
  }
  if (!mShmPending) return;
  free(xcb_get_input_focus_reply(mConn, xcb_get_input_focus(mConn), nullptr));
  mShmPending = false;
}

bool NSX11Backend::resize(int w, int h)
{
  CGContextRef made = NSNewBackingContext(w, h);
  if (!made) return false;
  CGContextRelease(mContext);
  mContext = made;
  mWidth = mWindowW = w;
  mHeight = mWindowH = h;
  if (IsLive())
  {
    DetachSharedMemory();
    const uint32_t size[2] = { (uint32_t)w, (uint32_t)h };
    xcb_configure_window(mConn, mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    AttachSharedMemory();
    xcb_flush(mConn);
  }
  return true;
}

void NSX11Backend::flush(NSWindow*, NSRect area)
{
  // Base coordinates run upwards from the bottom of the content; the window's downwards.
  const int x0 = (int)std::floor(NSMinX(area)), x1 = (int)std::ceil(NSMaxX(area));
  const int y0 = mHeight - (int)std::ceil(NSMaxY(area)), y1 = mHeight - (int)std::floor(NSMinY(area));
  Copy(x0, y0, x1 - x0, y1 - y0);
}

void NSX11Backend::Copy(int x, int y, int w, int h)
{
  if (!IsLive()) return;
  // Only what fits the window and the backing store.
  const int l = std::max(x, 0), t = std::max(y, 0);
  const int r = std::min({ x + w, mWidth, mWindowW }), b = std::min({ y + h, mHeight, mWindowH });
  if (r <= l || b <= t) return;
  uint8_t* pixels = (uint8_t*)CGBitmapContextGetData(mContext);
  const int srcStride = (int)CGBitmapContextGetBytesPerRow(mContext);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_b8g8r8x8, mWidth, mHeight, (uint32_t*)pixels, srcStride);
  if (mShm)
  {
    SyncSharedMemory();
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, mWidth, mHeight, (uint32_t*)mShm, mWidth * 4);
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, l, t, 0, 0, l, t, r - l, b - t);
    pixman_image_unref(dst);
    xcb_shm_put_image(mConn, mWindow, mGC, (uint16_t)mWidth, (uint16_t)mHeight, (uint16_t)l, (uint16_t)t,
                      (uint16_t)(r - l), (uint16_t)(b - t), (int16_t)l, (int16_t)t, mDepth,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 1, mSeg, 0);
    mShmPending = true;
  }
  else
  {
    // In bands that fit one request.
    const uint32_t maxBytes = xcb_get_maximum_request_length(mConn) * 4 - 64;
    const int rowBytes = (r - l) * 4;
    const int band = std::max(1, (int)(maxBytes / (uint32_t)rowBytes));
    uint32_t* buf = (uint32_t*)malloc((size_t)rowBytes * std::min(band, b - t));
    if (buf)
    {
      for (int top = t; top < b; top += band)
      {
        const int rows = std::min(band, b - top);
        pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, r - l, rows, buf, rowBytes);
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, l, top, 0, 0, 0, 0, r - l, rows);
        pixman_image_unref(dst);
        xcb_put_image(mConn, XCB_IMAGE_FORMAT_Z_PIXMAP, mWindow, mGC, (uint16_t)(r - l), (uint16_t)rows, (int16_t)l,
                      (int16_t)top, 0, mDepth, (uint32_t)(rowBytes * rows), (const uint8_t*)buf);
      }
      free(buf);
    }
  }
  pixman_image_unref(src);
  xcb_flush(mConn);
}
