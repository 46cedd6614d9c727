#pragma once
// A virtual X server of the test's own (Xvfb, which picks a free display), its DISPLAY set for the
// process, and a connection to it that plays the host: top-level windows, input through the XTest
// extension, and the pixels read back from the server.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

class XTestDisplay
{
public:
  XTestDisplay()
  {
    int fds[2];
    if (pipe(fds) != 0) return;
    mServer = fork();
    if (mServer == 0)
    {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
             (char*)nullptr);
      _exit(127);
    }
    close(fds[1]);
    char buf[16] = {};
    ssize_t n = 0, got;
    while (n < (ssize_t)sizeof(buf) - 1 && (got = read(fds[0], buf + n, 1)) == 1 && buf[n] != '\n') ++n;
    close(fds[0]);
    if (n <= 0) return;
    mDisplay = ":" + std::string(buf, (size_t)n);
    setenv("DISPLAY", mDisplay.c_str(), 1);
    mConn = xcb_connect(mDisplay.c_str(), nullptr);
    if (xcb_connection_has_error(mConn)) return;
    mScreen = xcb_setup_roots_iterator(xcb_get_setup(mConn)).data;
  }
  ~XTestDisplay()
  {
    if (mConn) xcb_disconnect(mConn);
    if (mServer > 0)
    {
      kill(mServer, SIGTERM);
      waitpid(mServer, nullptr, 0);
    }
  }
  XTestDisplay(const XTestDisplay&) = delete;
  XTestDisplay& operator=(const XTestDisplay&) = delete;

  bool Ready() const { return mScreen != nullptr; }
  const std::string& Name() const { return mDisplay; }
  xcb_connection_t* Connection() const { return mConn; }
  xcb_window_t Root() const { return mScreen->root; }

  // A mapped top-level window of w x h at (x, y), as a host's editor frame.
  xcb_window_t NewWindow(int w, int h, int x = 0, int y = 0)
  {
    const xcb_window_t win = xcb_generate_id(mConn);
    const uint32_t back = mScreen->black_pixel;
    xcb_create_window(mConn, XCB_COPY_FROM_PARENT, win, mScreen->root, (int16_t)x, (int16_t)y, (uint16_t)w, (uint16_t)h, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, mScreen->root_visual, XCB_CW_BACK_PIXEL, &back);
    xcb_map_window(mConn, win);
    Sync();
    return win;
  }
  void Destroy(xcb_window_t win)
  {
    xcb_destroy_window(mConn, win);
    Sync();
  }

  // Input, at root coordinates.
  void MoveTo(int x, int y) { Fake(XCB_MOTION_NOTIFY, 0, x, y); }
  void Press(int button) { Fake(XCB_BUTTON_PRESS, (uint8_t)button, 0, 0); }
  void Release(int button) { Fake(XCB_BUTTON_RELEASE, (uint8_t)button, 0, 0); }
  void KeyDown(uint8_t keycode) { Fake(XCB_KEY_PRESS, keycode, 0, 0); }
  void KeyUp(uint8_t keycode) { Fake(XCB_KEY_RELEASE, keycode, 0, 0); }
  // The key code of a key symbol (XK_Shift_L is 0xffe1), or 0.
  uint8_t Keycode(uint32_t keysym)
  {
    const xcb_setup_t* setup = xcb_get_setup(mConn);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
      mConn, xcb_get_keyboard_mapping(mConn, setup->min_keycode, (uint8_t)count), nullptr);
    uint8_t found = 0;
    if (map)
    {
      const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
      for (int i = 0; i < count * map->keysyms_per_keycode && !found; ++i)
        if (syms[i] == keysym) found = (uint8_t)(setup->min_keycode + i / map->keysyms_per_keycode);
      free(map);
    }
    return found;
  }

  // The window's pixels (with those of its children) as 0x00RRGGBB, rows top first; empty when
  // the server cannot give them.
  std::vector<uint32_t> Pixels(xcb_window_t win, int w, int h)
  {
    std::vector<uint32_t> out;
    xcb_get_image_reply_t* img = xcb_get_image_reply(
      mConn, xcb_get_image(mConn, XCB_IMAGE_FORMAT_Z_PIXMAP, win, 0, 0, (uint16_t)w, (uint16_t)h, ~0u), nullptr);
    if (img && xcb_get_image_data_length(img) >= w * h * 4)
    {
      const uint32_t* px = (const uint32_t*)xcb_get_image_data(img);
      out.assign(px, px + (size_t)w * h);
      for (uint32_t& p : out) p &= 0xffffff;
    }
    free(img);
    return out;
  }

  // How many windows lie below this one.
  int CountWindows(xcb_window_t win)
  {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mConn, xcb_query_tree(mConn, win), nullptr);
    if (!tree) return 0;
    const xcb_window_t* kids = xcb_query_tree_children(tree);
    int n = xcb_query_tree_children_length(tree);
    const std::vector<xcb_window_t> children(kids, kids + n);
    free(tree);
    for (xcb_window_t k : children) n += CountWindows(k);
    return n;
  }

  // Every request so far has been handled by the server.
  void Sync() { free(xcb_get_input_focus_reply(mConn, xcb_get_input_focus(mConn), nullptr)); }

private:
  void Fake(uint8_t type, uint8_t detail, int x, int y)
  {
    xcb_test_fake_input(mConn, type, detail, 0, mScreen->root, (int16_t)x, (int16_t)y, 0);
    Sync();
  }

  pid_t mServer = -1;
  std::string mDisplay;
  xcb_connection_t* mConn = nullptr;
  xcb_screen_t* mScreen = nullptr;
};
