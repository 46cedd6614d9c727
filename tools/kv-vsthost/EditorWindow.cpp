#include "EditorWindow.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace
{
xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), nullptr);
  const xcb_atom_t a = r ? r->atom : (xcb_atom_t)XCB_ATOM_NONE;
  free(r);
  return a;
}
}  // namespace

bool EditorWindow::Open(int width, int height, const std::string& title, std::string* pError)
{
  mConn = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(mConn))
  {
    *pError = "no X display (is DISPLAY set?)";
    return false;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(mConn)).data;
  mWindow = xcb_generate_id(mConn);
  const uint32_t values[2] = { screen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY };
  xcb_create_window(mConn, XCB_COPY_FROM_PARENT, mWindow, screen->root, 0, 0, (uint16_t)width, (uint16_t)height, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  xcb_change_property(mConn, XCB_PROP_MODE_REPLACE, mWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                      (uint32_t)title.size(), title.c_str());
  // The close button asks rather than kills.
  const xcb_atom_t protocols = Atom(mConn, "WM_PROTOCOLS");
  mDeleteAtom = Atom(mConn, "WM_DELETE_WINDOW");
  xcb_change_property(mConn, XCB_PROP_MODE_REPLACE, mWindow, protocols, XCB_ATOM_ATOM, 32, 1, &mDeleteAtom);
  free(xcb_get_input_focus_reply(mConn, xcb_get_input_focus(mConn), nullptr));
  mOpen = true;
  return true;
}

void EditorWindow::Show(int width, int height)
{
  const uint32_t size[2] = { (uint32_t)width, (uint32_t)height };
  xcb_configure_window(mConn, mWindow, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  xcb_map_window(mConn, mWindow);
  free(xcb_get_input_focus_reply(mConn, xcb_get_input_focus(mConn), nullptr));
}

EditorWindow::~EditorWindow()
{
  if (!mConn) return;
  if (mOpen) xcb_destroy_window(mConn, mWindow);
  xcb_disconnect(mConn);
}

bool EditorWindow::Poll()
{
  if (!mOpen || xcb_connection_has_error(mConn)) return false;
  while (xcb_generic_event_t* ev = xcb_poll_for_event(mConn))
  {
    const uint8_t type = ev->response_type & 0x7f;
    if (type == XCB_CLIENT_MESSAGE && ((xcb_client_message_event_t*)ev)->data.data32[0] == mDeleteAtom) mOpen = false;
    if (type == XCB_DESTROY_NOTIFY && ((xcb_destroy_notify_event_t*)ev)->window == mWindow) mOpen = false;
    free(ev);
  }
  return mOpen;
}
