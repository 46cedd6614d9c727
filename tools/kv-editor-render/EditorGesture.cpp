#include "EditorGesture.h"

#include <cstdlib>

#include <AppKit/testkit.h>

#include "IControl.h"
#include "IGraphics.h"
#include "param_options.h"

namespace
{
// Pixels per drag event: a hand moves a few at a time, and the knobs respond to each move.
constexpr int kDragStep = 3;
constexpr long kMaxAmount = 2000;

bool ParseCount(const std::string& text, int* pOut)
{
  const std::string t = kvtool::Trim(text);
  char* end = nullptr;
  const long n = strtol(t.c_str(), &end, 10);
  if (t.empty() || *end != 0 || n < -kMaxAmount || n > kMaxAmount) return false;
  *pOut = (int)n;
  return true;
}
}  // namespace

bool ParseEditorGesture(EditorGesture::EKind kind, const std::string& arg, EditorGesture* pOut, std::string* pError)
{
  EditorGesture g;
  g.mKind = kind;
  if (kind == EditorGesture::kDoubleClick)
  {
    g.mParam = kvtool::Trim(arg);
    if (g.mParam.empty())
    {
      *pError = "a double-click needs a parameter name";
      return false;
    }
    *pOut = g;
    return true;
  }
  kvtool::ParamAssignment a;
  if (!kvtool::ParseParamAssignment(arg, &a, pError)) return false;
  if (!ParseCount(a.value, &g.mAmount))
  {
    *pError = "\"" + a.value + "\" is no whole number of " + (kind == EditorGesture::kDrag ? "pixels" : "steps") +
              " (at most 2000 either way)";
    return false;
  }
  g.mParam = a.name;
  *pOut = g;
  return true;
}

IControl* FindParamControl(IGraphics* pGraphics, int paramIdx)
{
  for (int i = 0; pGraphics && i < pGraphics->NControls(); ++i)
    if (IControl* c = pGraphics->GetControl(i); c && c->ParamIdx() == paramIdx) return c;
  return nullptr;
}

void PerformEditorGesture(NSWindow* window, int editorHeight, IControl* pControl, const EditorGesture& gesture,
                          const std::function<void()>& runFrame)
{
  const IRECT& r = *pControl->GetRECT();
  const double x = (r.L + r.R) / 2, y = editorHeight - (r.T + r.B) / 2;
  switch (gesture.mKind)
  {
    case EditorGesture::kDrag:
    {
      AppKitTestKit::MouseDown(window, x, y);
      runFrame();
      const int step = gesture.mAmount >= 0 ? kDragStep : -kDragStep;
      for (int moved = 0; moved != gesture.mAmount;)
      {
        moved = std::abs(gesture.mAmount - moved) <= kDragStep ? gesture.mAmount : moved + step;
        AppKitTestKit::MouseDragged(window, x, y + moved);
        runFrame();
      }
      AppKitTestKit::MouseUp(window, x, y + gesture.mAmount);
      break;
    }
    case EditorGesture::kDoubleClick:
      // As the window server sends one: a click, then a second press and release counted as two.
      AppKitTestKit::MouseDown(window, x, y, 0, 1);
      runFrame();
      AppKitTestKit::MouseUp(window, x, y, 0, 1);
      runFrame();
      AppKitTestKit::MouseDown(window, x, y, 0, 2);
      runFrame();
      AppKitTestKit::MouseUp(window, x, y, 0, 2);
      break;
    case EditorGesture::kWheel:
      for (int i = 0; i < std::abs(gesture.mAmount); ++i)
      {
        AppKitTestKit::ScrollWheel(window, x, y, gesture.mAmount > 0 ? 1.0 : -1.0);
        runFrame();
      }
      break;
  }
  runFrame();
}
