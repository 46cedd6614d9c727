#pragma once
// Scripted mouse gestures on an editor open in a memory-backed window: a drag, a double-click or
// wheel steps at the centre of a control, sent as the window's own events, with a frame of the run
// loop between them so the editor's timer and painting go on as they would on screen.

#include <functional>
#include <string>

class IControl;
class IGraphics;
class NSWindow;

struct EditorGesture
{
  enum EKind
  {
    kDrag,         // "NAME=DY": press, move DY pixels up (down when negative) a few at a time, release
    kDoubleClick,  // "NAME"
    kWheel         // "NAME=STEPS": that many wheel steps, up when positive
  };
  EKind mKind = kDrag;
  std::string mParam;  // the parameter's name, as typed
  int mAmount = 0;     // pixels or steps
};

// Parses the gesture's argument; fails, with a message, on a missing name or a count that is no
// whole number within +-2000.
bool ParseEditorGesture(EditorGesture::EKind kind, const std::string& arg, EditorGesture* pOut, std::string* pError);

// The first control in the surface's list bound to the parameter; null when none is.
IControl* FindParamControl(IGraphics* pGraphics, int paramIdx);

// Sends the gesture's events to the window at the centre of the control, calling runFrame after
// each of them. editorHeight turns the editor's downward y into the window's upward one.
void PerformEditorGesture(NSWindow* window, int editorHeight, IControl* pControl, const EditorGesture& gesture,
                          const std::function<void()>& runFrame);
