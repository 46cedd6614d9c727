#pragma once
// The host's window for a plug-in's editor: a top-level X11 window of the editor's size on the
// display of $DISPLAY, closed by the window manager's close button or by the tool. It is made
// before the editor opens in it and shown once the editor's size is known.

#include <cstdint>
#include <string>

struct xcb_connection_t;

class EditorWindow
{
public:
  // Makes the window, not yet shown; false with a message when there is no display.
  bool Open(int width, int height, const std::string& title, std::string* pError);
  // Sizes the window and shows it.
  void Show(int width, int height);
  ~EditorWindow();

  uintptr_t Id() const { return mWindow; }
  // Handles the window's own events; false once the user asked to close it or it is gone.
  bool Poll();

private:
  xcb_connection_t* mConn = nullptr;
  uint32_t mWindow = 0;
  uint32_t mDeleteAtom = 0;
  bool mOpen = false;
};
