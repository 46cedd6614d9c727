// A host's X11 window as the parent view of an editor. The untyped pointer a host hands over is
// taken as an X11 window id when it is one: asked about on a connection of its own (never read),
// it is adopted into a window of ours whose content view is the parent. The editor's view joining
// it sizes our child window; its leaving gives the X11 resources back.

#include <map>
#include <mutex>

#include <AppKit/AppKit.h>
#include <CoreFoundation/CFRunLoop.h>

#include "NSX11Backend.h"

namespace
{
// The windows adopted, by the host's window id; each holds the only reference to its NSWindow.
std::mutex sAdoptedMutex;
std::map<uintptr_t, NSWindow*> sAdopted;

// The content view of an adopted window: flipped, so a view placed at its origin sits at the top
// left, as in the host's window.
class NSX11HostView : public NSView
{
public:
  explicit NSX11HostView(uintptr_t hostWindow) : mHostWindow(hostWindow) {}

  BOOL isFlipped() const override { return YES; }

  // The child window takes the editor's size.
  void didAddSubview(NSView* subview) override
  {
    if (NSWindow* w = window()) w->setContentSize(subview->frame().size);
  }

  // The editor leaves: the X11 resources go now, the objects with the next drain of the pool.
  void willRemoveSubview(NSView*) override
  {
    if (subviews().size() != 1) return;
    NSWindow* w = window();
    if (!w) return;
    if (NSX11Backend* b = dynamic_cast<NSX11Backend*>(w->backend())) b->shutdown();
    std::lock_guard<std::mutex> lock(sAdoptedMutex);
    auto it = sAdopted.find(mHostWindow);
    if (it != sAdopted.end() && it->second == w)
    {
      sAdopted.erase(it);
      w->autorelease();
    }
  }

  const char* className() const override { return "NSX11HostView"; }

private:
  uintptr_t mHostWindow;
};

id AdoptX11Window(const void* handle)
{
  // X11 resource ids have 29 bits; nothing else is asked about.
  const uintptr_t id = (uintptr_t)handle;
  if (id == 0 || id >= (1u << 29)) return nil;
  {
    std::lock_guard<std::mutex> lock(sAdoptedMutex);
    auto it = sAdopted.find(id);
    if (it != sAdopted.end()) return it->second->contentView();
  }
  const char* display = getenv("DISPLAY");
  if (!display || !*display) return nil;
  xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(conn))
  {
    xcb_disconnect(conn);
    return nil;
  }
  // A live window of that display, or nothing: the server says, the id is never used otherwise.
  xcb_get_geometry_reply_t* geo = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, (xcb_window_t)id), nullptr);
  const bool window = geo && geo->root != (xcb_window_t)id;
  const int w = geo ? geo->width : 0, h = geo ? geo->height : 0;
  free(geo);
  xcb_get_window_attributes_reply_t* attrs =
    window ? xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, (xcb_window_t)id), nullptr) : nullptr;
  const bool inputOutput = attrs && attrs->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
  free(attrs);
  if (!inputOutput)
  {
    xcb_disconnect(conn);
    return nil;
  }
  NSX11Backend* backend = NSX11Backend::Create(conn, (xcb_window_t)id, w > 0 ? w : 1, h > 0 ? h : 1);
  if (!backend) return nil;
  NSWindow* adopted = (new NSWindow)->initWithContentRect(NSMakeRect(0, 0, w, h), backend);
  if (!adopted) return nil;
  NSX11HostView* view = new NSX11HostView(id);
  view->initWithFrame(NSMakeRect(0, 0, w, h));
  adopted->setContentView(view);
  view->release();
  // A host turns the loop from its idle calls: timers follow the machine's clock.
  CFRunLoopSetRealClock(true);
  std::lock_guard<std::mutex> lock(sAdoptedMutex);
  sAdopted[id] = adopted;
  return view;
}
}  // namespace

void NSInstallX11ParentAdoption()
{
  objc_setForeignObjectResolver(AdoptX11Window);
}
