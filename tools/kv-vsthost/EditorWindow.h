#pragma once
// The host's window for a plug-in's editor: a top-level X11 window of the editor's size on the
// display of $DISPLAY, closed by the window manager's close button or by the tool.

#include <cstdint>
#include <string>

struct xcb_connection_t;

class EditorWindow
{
public:
  // False with a message when there is no display or the window cannot be made.
  bool Open(int width, int height, const std::string& title, std::string* pError);
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
