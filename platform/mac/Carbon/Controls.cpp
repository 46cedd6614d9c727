// Controls: user panes, root controls, embedding, sizes, disposal and updates.

#include <algorithm>
#include <cstdio>

#include "CarbonInternal.h"

using CarbonRegistry::Live;

namespace
{
struct Known
{
  OpaqueControlRef* mControl;
  uint64_t mSerial;
};

void Detach(OpaqueControlRef* c)
{
  if (!c->mParent) return;
  std::vector<OpaqueControlRef*>& siblings = c->mParent->mChildren;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), c), siblings.end());
  c->mParent = nullptr;
}

void Attach(OpaqueControlRef* c, OpaqueControlRef* parent)
{
  c->mParent = parent;
  parent->mChildren.push_back(c);
}

// Children before their parent.
void CollectPostOrder(OpaqueControlRef* c, std::vector<Known>* out)
{
  for (OpaqueControlRef* child : c->mChildren) CollectPostOrder(child, out);
  out->push_back({c, c->mSerial});
}

// Parents before their children.
void CollectPreOrder(OpaqueControlRef* c, std::vector<Known>* out)
{
  out->push_back({c, c->mSerial});
  for (OpaqueControlRef* child : c->mChildren) CollectPreOrder(child, out);
}

bool Alive(const Known& k)
{
  return CarbonRegistry::Alive(CarbonRegistry::kControl, k.mControl, k.mSerial);
}

OpaqueControlRef* ContentView(OpaqueWindowPtr* w)
{
  if (!w->mRoot) return nullptr;
  for (OpaqueControlRef* c : w->mRoot->mChildren)
  {
    if (c->mID.signature == kHIViewWindowContentID.signature && c->mID.id == kHIViewWindowContentID.id) return c;
  }
  return nullptr;
}

std::string RectText(const Rect& r)
{
  return std::to_string(r.top) + " " + std::to_string(r.left) + " " + std::to_string(r.bottom) + " " +
         std::to_string(r.right);
}

// Sends a control event whose direct object is the control. May call out.
void SendControlEvent(OpaqueControlRef* c, UInt32 kind, const Rect* previous, const Rect* current, UInt32 attributes)
{
  EventRef e = nullptr;
  if (CreateEvent(nullptr, kEventClassControl, kind, 0, 0, &e) != noErr) return;
  ControlRef direct = c;
  SetEventParameter(e, kEventParamDirectObject, typeControlRef, sizeof(direct), &direct);
  if (previous) SetEventParameter(e, kEventParamPreviousBounds, typeQDRectangle, sizeof(Rect), previous);
  if (current) SetEventParameter(e, kEventParamCurrentBounds, typeQDRectangle, sizeof(Rect), current);
  if (kind == kEventControlBoundsChanged)
    SetEventParameter(e, kEventParamAttributes, typeUInt32, sizeof(attributes), &attributes);
  SendEventToEventTarget(e, c->mTarget);
  ReleaseEvent(e);
}
}  // namespace

OpaqueControlRef* CarbonNewControl(OpaqueWindowPtr* w, OpaqueControlRef* parent, const HIRect& frame, UInt32 features)
{
  OpaqueControlRef* c = new OpaqueControlRef;
  c->mWindow = w;
  c->mFrame = frame;
  c->mFeatures = features;
  c->mTarget = CarbonNewTarget();
  c->mSerial = CarbonRegistry::Add(CarbonRegistry::kControl, c);
  if (parent) Attach(c, parent);
  w->mControls.push_back(c);
  return c;
}

void CarbonFreeControlTree(OpaqueControlRef* c)
{
  while (!c->mChildren.empty()) CarbonFreeControlTree(c->mChildren.back());
  Detach(c);
  OpaqueWindowPtr* w = c->mWindow;
  w->mControls.erase(std::remove(w->mControls.begin(), w->mControls.end(), c), w->mControls.end());
  if (w->mRoot == c) w->mRoot = nullptr;
  CarbonDisposeTarget(c->mTarget);
  CarbonRegistry::Remove(CarbonRegistry::kControl, c);
  delete c;
}

void CarbonDisposeControl(OpaqueControlRef* c)
{
  const Known self{c, c->mSerial};
  std::vector<Known> tree;
  CollectPostOrder(c, &tree);
  for (const Known& k : tree) k.mControl->mDisposing = true;
  // Each is told while the tree is whole; a handler may dispose the window meanwhile, which then
  // tells the rest.
  for (const Known& k : tree)
  {
    if (!Alive(k) || k.mControl->mTold) continue;
    k.mControl->mTold = true;
    SendControlEvent(k.mControl, kEventControlDispose, nullptr, nullptr, 0);
  }
  if (Alive(self)) CarbonFreeControlTree(c);
}

void CarbonSetFrame(OpaqueControlRef* c, const HIRect& frame)
{
  const HIRect old = c->mFrame;
  if (old.origin.x == frame.origin.x && old.origin.y == frame.origin.y && old.size.width == frame.size.width &&
      old.size.height == frame.size.height)
    return;
  c->mFrame = frame;
  UInt32 attributes = 0;
  if (old.size.width != frame.size.width || old.size.height != frame.size.height)
    attributes |= kControlBoundsChangeSizeChanged;
  if (old.origin.x != frame.origin.x || old.origin.y != frame.origin.y)
    attributes |= kControlBoundsChangePositionChanged;
  const Rect previous = CarbonHIToRect(old), current = CarbonHIToRect(frame);
  SendControlEvent(c, kEventControlBoundsChanged, &previous, &current, attributes);
}

OSStatus CarbonEmbed(OpaqueControlRef* c, OpaqueControlRef* container)
{
  if (!c || !container || c == container || c->mWindow != container->mWindow || c == c->mWindow->mRoot)
    return paramErr;
  for (const OpaqueControlRef* p = container->mParent; p; p = p->mParent)
  {
    if (p == c) return paramErr;  // into one of its own
  }
  Detach(c);
  Attach(c, container);
  return noErr;
}

OSStatus CreateUserPaneControl(WindowRef window, const Rect* boundsRect, UInt32 features, ControlRef* outControl)
{
  if (outControl) *outControl = nullptr;
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  const Rect none = {0, 0, 0, 0};
  if (!w || !boundsRect || !outControl || boundsRect->right < boundsRect->left || boundsRect->bottom < boundsRect->top)
  {
    CarbonRecordUserPane(false, features, boundsRect ? *boundsRect : none);
    return paramErr;
  }
  char hex[16];
  snprintf(hex, sizeof(hex), "0x%X", (unsigned)features);
  CarbonLogCall("CreateUserPaneControl " + RectText(*boundsRect) + " features=" + hex);
  CarbonRecordUserPane(true, features, *boundsRect);
  OpaqueControlRef* parent = w->Composited() ? ContentView(w) : w->mRoot;
  if (w->Composited() && !parent) parent = w->mRoot;
  *outControl = CarbonNewControl(w, parent, CarbonRectToHI(*boundsRect), features);
  return noErr;
}

OSErr GetRootControl(WindowRef window, ControlRef* outControl)
{
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !outControl) return paramErr;
  *outControl = w->mRoot;
  return w->mRoot ? (OSErr)noErr : (OSErr)errNoRootControl;
}

OSErr CreateRootControl(WindowRef window, ControlRef* outControl)
{
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w || !outControl) return paramErr;
  if (w->mRoot)
  {
    *outControl = w->mRoot;
    return errRootAlreadyExists;
  }
  CarbonLogCall("CreateRootControl");
  std::vector<OpaqueControlRef*> topLevel;
  for (OpaqueControlRef* c : w->mControls)
  {
    if (!c->mParent) topLevel.push_back(c);
  }
  w->mRoot = CarbonNewControl(w, nullptr, CGRectMake(0, 0, w->Width(), w->Height()), kControlSupportsEmbedding);
  for (OpaqueControlRef* c : topLevel) Attach(c, w->mRoot);
  *outControl = w->mRoot;
  return noErr;
}

OSErr EmbedControl(ControlRef inControl, ControlRef inContainer)
{
  OpaqueControlRef* c = Live(CarbonRegistry::kControl, inControl);
  OpaqueControlRef* container = Live(CarbonRegistry::kControl, inContainer);
  if (!c || !container) return paramErr;
  CarbonLogCall("EmbedControl");
  return (OSErr)CarbonEmbed(c, container);
}

void DisposeControl(ControlRef theControl)
{
  OpaqueControlRef* c = Live(CarbonRegistry::kControl, theControl);
  if (!c || c->mDisposing) return;
  CarbonLogCall("DisposeControl");
  CarbonDisposeControl(c);
}

void SizeControl(ControlRef theControl, SInt16 w, SInt16 h)
{
  OpaqueControlRef* c = Live(CarbonRegistry::kControl, theControl);
  if (!c) return;
  CarbonLogCall("SizeControl " + std::to_string(w) + " " + std::to_string(h));
  HIRect frame = c->mFrame;
  frame.size = CGSize{(CGFloat)std::max<SInt16>(w, 0), (CGFloat)std::max<SInt16>(h, 0)};
  CarbonSetFrame(c, frame);
}

Rect* GetControlBounds(ControlRef control, Rect* outBounds)
{
  if (!outBounds) return nullptr;
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, control);
  *outBounds = c ? CarbonHIToRect(c->mFrame) : Rect{0, 0, 0, 0};
  return outBounds;
}

void UpdateControls(WindowRef window, RgnHandle inUpdateRegion)
{
  OpaqueWindowPtr* w = Live(CarbonRegistry::kWindow, window);
  if (!w) return;
  const bool all = !CarbonRegistry::Contains(CarbonRegistry::kRegion, inUpdateRegion);
  Rect region = {0, 0, 0, 0};
  if (!all) GetRegionBounds(inUpdateRegion, &region);
  CarbonLogCall(all ? std::string("UpdateControls all") : "UpdateControls " + RectText(region));

  std::vector<Known> order;
  for (OpaqueControlRef* c : w->mControls)
  {
    if (!c->mParent) CollectPreOrder(c, &order);
  }
  const HIRect area = CarbonRectToHI(region);
  for (const Known& k : order)
  {
    if (!Alive(k)) continue;
    if (all)
    {
      CarbonDrawControl(k.mControl, nullptr);
      continue;
    }
    if (CarbonIsEmpty(CarbonIntersect(CarbonVisibleFrame(k.mControl), area))) continue;
    Rect r = region;
    if (k.mControl->mWindow->Composited())
    {
      // The draw event's region is in the view's coordinates there.
      const HIRect frame = CarbonWindowFrame(k.mControl);
      r = CarbonHIToRect(CGRectOffset(area, -frame.origin.x, -frame.origin.y));
    }
    CarbonDrawControl(k.mControl, &r);
  }
}

WindowRef GetControlOwner(ControlRef control)
{
  const OpaqueControlRef* c = Live(CarbonRegistry::kControl, control);
  return c ? c->mWindow : nullptr;
}
