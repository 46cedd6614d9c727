#include "CarbonFixture.h"

namespace
{
const EventTypeSpec kDrawSpec = {kEventClassControl, kEventControlDraw};
const EventTypeSpec kDisposeSpec = {kEventClassControl, kEventControlDispose};
const EventTypeSpec kBoundsSpec = {kEventClassControl, kEventControlBoundsChanged};
const uint32_t kRed = 0xFFFF0000;

using Strings = std::vector<std::string>;

// Fills r (in the context's user space) with opaque red.
void FillRed(CGContextRef c, CGRect r)
{
  CGContextSetRGBFillColor(c, 1, 0, 0, 1);
  CGContextFillRect(c, r);
}

// The window's pixels that are red, as a bounding box in window coordinates; empty when none.
Rect RedBox(WindowRef w)
{
  int width = 0, height = 0;
  CarbonTestKit::WindowPixels(w, &width, &height, nullptr);
  Rect box = {0, 0, 0, 0};
  bool any = false;
  for (int y = 0; y < height; ++y)
  {
    for (int x = 0; x < width; ++x)
    {
      if (CarbonTestKit::WindowPixel(w, x, y) != kRed) continue;
      if (!any) box = {(short)y, (short)x, (short)(y + 1), (short)(x + 1)};
      box.top = std::min<short>(box.top, y);
      box.left = std::min<short>(box.left, x);
      box.bottom = std::max<short>(box.bottom, y + 1);
      box.right = std::max<short>(box.right, x + 1);
      any = true;
    }
  }
  return box;
}

long RedCount(WindowRef w)
{
  int width = 0, height = 0;
  CarbonTestKit::WindowPixels(w, &width, &height, nullptr);
  long n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) n += CarbonTestKit::WindowPixel(w, x, y) == kRed;
  return n;
}

using CarbonWindows = CarbonTest;
using CarbonControls = CarbonTest;
using CarbonDrawing = CarbonTest;
}  // namespace

TEST_F(CarbonWindows, ValidityComesFromTheRegistryAlone)
{
  WindowRef live = Window(50, 40, false);
  WindowRef disposed = CarbonTestKit::NewWindow(50, 40, true);
  DisposeWindow(disposed);  // freed memory: reading it would be caught
  long onStack[8] = {};
  const std::vector<uint64_t> junk(64, 0xCDCDCDCDCDCDCDCDull);

  EXPECT_TRUE(IsValidWindowPtr(live));
  const WindowRef notWindows[] = {nullptr, disposed, (WindowRef)onStack, (WindowRef)junk.data(), (WindowRef)0x1,
                                  (WindowRef)(uintptr_t)0xDEADBEEF000ull, (WindowRef)GetWindowPort(live)};
  for (WindowRef w : notWindows)
  {
    EXPECT_FALSE(IsValidWindowPtr(w)) << (const void*)w;
    EXPECT_EQ(GetWindowPort(w), nullptr);
    EXPECT_EQ(GetWindowEventTarget(w), nullptr);
    EXPECT_EQ(HIViewGetRoot(w), nullptr);
    Rect r = {0, 0, 10, 10};
    EXPECT_EQ(GetWindowBounds(w, kWindowContentRgn, &r), paramErr);
    ControlRef c = nullptr;
    EXPECT_EQ(CreateUserPaneControl(w, &r, 0, &c), paramErr);
    EXPECT_EQ(CarbonTestKit::Draw((ControlRef)w, nullptr), paramErr);
    SizeControl((ControlRef)w, 1, 1);
    UpdateControls(w, nullptr);
    DisposeWindow(w);
  }
  EXPECT_TRUE(IsValidWindowPtr(live));
  EXPECT_EQ(CarbonTestKit::Calls(), Strings({"DisposeWindow"}));
}

TEST_F(CarbonWindows, CompositedWindowsHaveAContentViewOthersARootOnRequest)
{
  WindowRef composited = Window(300, 200, true);
  WindowAttributes attributes = 0;
  ASSERT_EQ(GetWindowAttributes(composited, &attributes), noErr);
  EXPECT_TRUE(attributes & kWindowCompositingAttribute);
  HIViewRef root = HIViewGetRoot(composited);
  ASSERT_NE(root, nullptr);
  ControlRef rootControl = nullptr;
  EXPECT_EQ(GetRootControl(composited, &rootControl), noErr);
  EXPECT_EQ(rootControl, root);
  EXPECT_EQ(CreateRootControl(composited, &rootControl), errRootAlreadyExists);
  HIViewRef content = nullptr;
  ASSERT_EQ(HIViewFindByID(root, kHIViewWindowContentID, &content), noErr);
  EXPECT_EQ(CarbonTestKit::Parent(content), root);
  HIRect frame;
  HIViewGetFrame(content, &frame);
  EXPECT_EQ(frame.size.width, 300);
  EXPECT_EQ(frame.size.height, 200);
  EXPECT_EQ(GetControlOwner(content), composited);
  ControlRef pane = UserPane(composited, 10, 20, 30, 40, kControlSupportsEmbedding);
  EXPECT_EQ(CarbonTestKit::Parent(pane), content);

  WindowRef plain = Window(300, 200, false);
  ControlRef none = (ControlRef)&frame;
  EXPECT_EQ(GetRootControl(plain, &none), errNoRootControl);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(HIViewGetRoot(plain), nullptr);
  ControlRef early = UserPane(plain, 1, 2, 3, 4);
  EXPECT_FALSE(CarbonTestKit::IsEmbedded(early));  // a top-level control until there is a root
  ControlRef made = nullptr;
  ASSERT_EQ(CreateRootControl(plain, &made), noErr);
  ASSERT_EQ(GetRootControl(plain, &rootControl), noErr);
  EXPECT_EQ(rootControl, made);
  EXPECT_EQ(CarbonTestKit::Parent(early), made);
  EXPECT_EQ(HIViewFindByID(made, kHIViewWindowContentID, &content), errUnknownControl);
  EXPECT_EQ(content, nullptr);

  const CarbonTestKit::UserPaneRequest last = CarbonTestKit::LastUserPane();
  EXPECT_TRUE(last.made);
  EXPECT_EQ(last.features, 0u);
  EXPECT_EQ(last.bounds, (Rect{2, 1, 6, 4}));
  EXPECT_EQ(CarbonTestKit::Calls(),
            Strings({"CreateUserPaneControl 20 10 60 40 features=0x2", "CreateUserPaneControl 2 1 6 4 features=0x0",
                     "CreateRootControl"}));
}

TEST_F(CarbonWindows, ContentBoundsResizeTheBackingStoreAndRootViews)
{
  WindowRef w = Window(100, 80, true);
  Rect bounds;
  ASSERT_EQ(GetWindowBounds(w, kWindowContentRgn, &bounds), noErr);
  EXPECT_EQ(bounds, (Rect{100, 100, 180, 200}));
  ASSERT_EQ(GetWindowBounds(w, kWindowStructureRgn, &bounds), noErr);
  EXPECT_EQ(bounds, (Rect{100 - kWindowTitleBarHeight, 100, 180, 200}));
  EXPECT_EQ(GetWindowBounds(w, 99, &bounds), paramErr);

  // A mark at the top-left pixel survives the resize.
  CGContextRef c = nullptr;
  ASSERT_EQ(QDBeginCGContext(GetWindowPort(w), &c), noErr);
  FillRed(c, CGRectMake(0, 79, 1, 1));
  QDEndCGContext(GetWindowPort(w), &c);
  ASSERT_EQ(CarbonTestKit::WindowPixel(w, 0, 0), kRed);

  std::vector<Rect> contentChanges;
  Install(GetControlEventTarget(ContentView(w)), {kBoundsSpec}, [&](EventHandlerCallRef, EventRef e) {
    contentChanges.push_back(Param<Rect>(e, kEventParamCurrentBounds, typeQDRectangle));
    return (OSStatus)noErr;
  });
  const Rect grown = {50, 60, 50 + 120, 60 + 150};
  ASSERT_EQ(SetWindowBounds(w, kWindowContentRgn, &grown), noErr);
  int width = 0, height = 0, rowBytes = 0;
  ASSERT_NE(CarbonTestKit::WindowPixels(w, &width, &height, &rowBytes), nullptr);
  EXPECT_EQ(width, 150);
  EXPECT_EQ(height, 120);
  EXPECT_GE(rowBytes, 150 * 4);
  EXPECT_EQ(CarbonTestKit::WindowPixel(w, 0, 0), kRed);
  EXPECT_EQ(RedCount(w), 1);
  HIRect frame;
  HIViewGetFrame(ContentView(w), &frame);
  EXPECT_EQ(frame.size.width, 150);
  EXPECT_EQ(frame.size.height, 120);
  HIViewGetFrame(HIViewGetRoot(w), &frame);
  EXPECT_EQ(frame.size.width, 150);
  EXPECT_EQ(contentChanges, (std::vector<Rect>{{0, 0, 120, 150}}));

  // Through the structure region: the content starts below the title bar.
  const Rect structure = {10, 10, 10 + kWindowTitleBarHeight + 30, 50};
  ASSERT_EQ(SetWindowBounds(w, kWindowStructureRgn, &structure), noErr);
  ASSERT_EQ(GetWindowBounds(w, kWindowContentRgn, &bounds), noErr);
  EXPECT_EQ(bounds, (Rect{10 + kWindowTitleBarHeight, 10, 10 + kWindowTitleBarHeight + 30, 50}));
  CarbonTestKit::WindowPixels(w, &width, &height, nullptr);
  EXPECT_EQ(width, 40);
  EXPECT_EQ(height, 30);
  const Rect inverted = {10, 10, 5, 50};
  EXPECT_EQ(SetWindowBounds(w, kWindowContentRgn, &inverted), paramErr);
  EXPECT_EQ(CarbonTestKit::Calls(), Strings({"SetWindowBounds 33 50 60 170 210", "SetWindowBounds 32 10 10 62 50"}));
}

TEST_F(CarbonControls, EmbeddingAndTheViewTree)
{
  WindowRef w = Window(200, 200, true);
  WindowRef other = Window(200, 200, true);
  ControlRef content = ContentView(w);
  ControlRef a = UserPane(w, 10, 10, 100, 100, kControlSupportsEmbedding);
  ControlRef b = UserPane(w, 5, 5, 20, 20);
  ControlRef elsewhere = UserPane(other, 0, 0, 10, 10);
  CarbonTestKit::ClearCalls();

  EXPECT_EQ(EmbedControl(b, a), noErr);
  EXPECT_EQ(CarbonTestKit::Parent(b), a);
  EXPECT_EQ(CarbonTestKit::Frame(b).origin.x, 5);  // the frame keeps its numbers
  HIViewRef found = nullptr;
  EXPECT_EQ(HIViewFindByID(content, kHIViewWindowContentID, &found), noErr);
  EXPECT_EQ(found, content);
  struct Refused
  {
    const char* what;
    ControlRef child, parent;
  } refused[] = {
    {"into itself", a, a},
    {"into its own child", a, b},
    {"the root", HIViewGetRoot(w), a},
    {"across windows", elsewhere, a},
    {"unknown child", (ControlRef)&found, a},
    {"unknown parent", b, nullptr},
  };
  for (const Refused& r : refused)
  {
    EXPECT_NE(EmbedControl(r.child, r.parent), noErr) << r.what;
    EXPECT_NE(HIViewAddSubview(r.parent, r.child), noErr) << r.what;
  }
  EXPECT_EQ(CarbonTestKit::Parent(b), a);
  EXPECT_EQ(HIViewAddSubview(content, b), noErr);
  EXPECT_EQ(CarbonTestKit::Parent(b), content);
  EXPECT_EQ(CarbonTestKit::Parent(a), content);
  const Strings calls = CarbonTestKit::Calls();
  EXPECT_EQ(calls.front(), "EmbedControl");
  EXPECT_EQ(calls.back(), "HIViewAddSubview");
}

TEST_F(CarbonControls, PointsConvertBetweenWindowAndNestedViews)
{
  WindowRef w = Window(400, 300, true);
  ControlRef a = UserPane(w, 10, 20, 200, 100, kControlSupportsEmbedding);
  ControlRef b = UserPane(w, 5, 7, 50, 50);
  HIViewAddSubview(a, b);

  struct Case
  {
    HICoordinateSpace from;
    void* fromObject;
    HICoordinateSpace to;
    void* toObject;
    HIPoint in, out;
  } cases[] = {
    {kHICoordSpaceView, b, kHICoordSpaceWindow, w, {1, 2}, {16, 29}},
    {kHICoordSpaceWindow, w, kHICoordSpaceView, b, {16, 29}, {1, 2}},
    {kHICoordSpaceView, b, kHICoordSpaceView, a, {1, 2}, {6, 9}},
    {kHICoordSpaceView, b, kHICoordSpace72DPIGlobal, nullptr, {0, 0}, {115, 127}},
    {kHICoordSpaceScreenPixel, nullptr, kHICoordSpaceWindow, w, {100, 100}, {0, 0}},
    {kHICoordSpaceWindow, w, kHICoordSpaceView, nullptr, {3, 4}, {3, 4}},   // no view: unchanged
    {kHICoordSpaceView, w, kHICoordSpaceWindow, w, {3, 4}, {3, 4}},         // a window is not a view
    {99, nullptr, kHICoordSpaceWindow, w, {3, 4}, {3, 4}},
  };
  for (const Case& c : cases)
  {
    HIPoint p = c.in;
    HIPointConvert(&p, c.from, c.fromObject, c.to, c.toObject);
    EXPECT_EQ(p.x, c.out.x) << c.from << "->" << c.to;
    EXPECT_EQ(p.y, c.out.y) << c.from << "->" << c.to;
  }
  HIPointConvert(nullptr, kHICoordSpaceView, b, kHICoordSpaceWindow, w);

  // In a non-composited window every frame is in window coordinates.
  WindowRef plain = Window(400, 300, false);
  ControlRef root = nullptr;
  CreateRootControl(plain, &root);
  ControlRef outer = UserPane(plain, 10, 20, 200, 100, kControlSupportsEmbedding);
  ControlRef inner = UserPane(plain, 15, 27, 50, 50);
  EmbedControl(inner, outer);
  HIPoint p = {1, 2};
  HIPointConvert(&p, kHICoordSpaceView, inner, kHICoordSpaceWindow, plain);
  EXPECT_EQ(p.x, 16);
  EXPECT_EQ(p.y, 29);
}

TEST_F(CarbonControls, SizeAndFrameChangesAreToldToTheControl)
{
  WindowRef w = Window(200, 200, true);
  ControlRef c = UserPane(w, 10, 20, 30, 40);
  std::vector<std::pair<UInt32, Rect>> changes;
  Install(GetControlEventTarget(c), {kBoundsSpec}, [&](EventHandlerCallRef, EventRef e) {
    EXPECT_EQ(Param<ControlRef>(e, kEventParamDirectObject, typeControlRef), c);
    EXPECT_EQ(Param<Rect>(e, kEventParamPreviousBounds, typeQDRectangle).right, (short)(changes.empty() ? 40 : 60));
    changes.push_back({Param<UInt32>(e, kEventParamAttributes, typeUInt32),
                       Param<Rect>(e, kEventParamCurrentBounds, typeQDRectangle)});
    return (OSStatus)noErr;
  });
  CarbonTestKit::ClearCalls();
  SizeControl(c, 50, 60);
  SizeControl(c, 50, 60);  // no change, nothing told
  const HIRect moved = CGRectMake(1, 2, 50, 60);
  EXPECT_EQ(HIViewSetFrame(c, &moved), noErr);
  EXPECT_EQ(HIViewSetFrame(c, nullptr), paramErr);

  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].first, (UInt32)kControlBoundsChangeSizeChanged);
  EXPECT_EQ(changes[0].second, (Rect{20, 10, 80, 60}));
  EXPECT_EQ(changes[1].first, (UInt32)kControlBoundsChangePositionChanged);
  EXPECT_EQ(changes[1].second, (Rect{2, 1, 62, 51}));
  Rect r;
  EXPECT_EQ(*GetControlBounds(c, &r), (Rect{2, 1, 62, 51}));
  HIRect bounds;
  HIViewGetBounds(c, &bounds);
  EXPECT_EQ(bounds.origin.x, 0);
  EXPECT_EQ(bounds.size.height, 60);
  EXPECT_EQ(CarbonTestKit::Calls(), Strings({"SizeControl 50 60", "SizeControl 50 60", "HIViewSetFrame 1 2 50 60"}));
}

TEST_F(CarbonControls, DisposalTellsEachControlOnceAndCallsNothingAfter)
{
  WindowRef w = Window(200, 200, true);
  ControlRef outer = UserPane(w, 0, 0, 100, 100, kControlSupportsEmbedding);
  ControlRef inner = UserPane(w, 0, 0, 10, 10);
  HIViewAddSubview(outer, inner);
  ControlRef lone = UserPane(w, 50, 50, 10, 10);
  Strings told;
  for (ControlRef c : {outer, inner})
  {
    Install(GetControlEventTarget(c), {kDisposeSpec}, [&, c](EventHandlerCallRef, EventRef e) {
      told.push_back(c == outer ? "outer" : "inner");
      EXPECT_EQ(Param<ControlRef>(e, kEventParamDirectObject, typeControlRef), c);
      DisposeControl(c);  // again, from its own dispose event
      return (OSStatus)noErr;
    });
  }
  Install(GetControlEventTarget(lone), {kDisposeSpec}, [&](EventHandlerCallRef, EventRef) {
    told.push_back("lone");
    DisposeWindow(w);  // again, while the window goes
    return (OSStatus)noErr;
  });
  int windowCalls = 0;
  Install(GetWindowEventTarget(w), {{kEventClassMouse, kEventMouseDown}}, [&](EventHandlerCallRef, EventRef) {
    ++windowCalls;
    return (OSStatus)noErr;
  });

  DisposeControl(outer);
  EXPECT_EQ(told, Strings({"inner", "outer"}));  // what it contains first
  EXPECT_EQ(CarbonTestKit::Draw(outer, nullptr), paramErr);
  EXPECT_EQ(CarbonTestKit::Live().controls, 3);  // root, content, lone
  EXPECT_EQ(CarbonTestKit::Live().handlers, 2);

  told.clear();
  DisposeWindow(w);
  EXPECT_EQ(told, Strings({"lone"}));
  EXPECT_FALSE(IsValidWindowPtr(w));
  EXPECT_EQ(CarbonTestKit::MouseDown(w, 1, 1, 0), paramErr);
  EXPECT_EQ(windowCalls, 0);
  EXPECT_EQ(CarbonTestKit::Live().controls, 0);
  EXPECT_EQ(CarbonTestKit::Live().handlers, 0);
  EXPECT_EQ(CarbonTestKit::Calls().back(), "DisposeWindow");

  // A dispose handler that takes the whole window with it while its parent is being disposed:
  // the window tells the parent, and nobody is told twice.
  WindowRef w2 = Window(100, 100, true);
  ControlRef p = UserPane(w2, 0, 0, 50, 50, kControlSupportsEmbedding);
  ControlRef q = UserPane(w2, 0, 0, 10, 10);
  HIViewAddSubview(p, q);
  told.clear();
  Install(GetControlEventTarget(q), {kDisposeSpec}, [&](EventHandlerCallRef, EventRef) {
    told.push_back("q");
    DisposeWindow(w2);
    return (OSStatus)noErr;
  });
  Install(GetControlEventTarget(p), {kDisposeSpec}, [&](EventHandlerCallRef, EventRef) {
    told.push_back("p");
    return (OSStatus)noErr;
  });
  DisposeControl(p);
  EXPECT_EQ(told, Strings({"q", "p"}));
  EXPECT_FALSE(IsValidWindowPtr(w2));
}

TEST_F(CarbonDrawing, PortContextsStartAtTheBottomLeft)
{
  WindowRef w = Window(40, 30, false);
  CGrafPtr port = GetWindowPort(w);
  CGContextRef c = nullptr;
  ASSERT_EQ(QDBeginCGContext(port, &c), noErr);
  const CGAffineTransform m = CGContextGetCTM(c);
  EXPECT_EQ(m.a, 1);
  EXPECT_EQ(m.d, 1);
  EXPECT_EQ(m.tx, 0);
  EXPECT_EQ(m.ty, 0);
  FillRed(c, CGRectMake(0, 0, 1, 1));
  EXPECT_EQ(CarbonTestKit::WindowPixel(w, 0, 29), kRed);  // bottom-left in the window's memory
  EXPECT_EQ(RedCount(w), 1);
  int width = 0, height = 0, rowBytes = 0;
  const uint8_t* pixels = CarbonTestKit::WindowPixels(w, &width, &height, &rowBytes);
  const uint8_t* p = pixels + 29 * rowBytes;
  EXPECT_EQ(p[0], 0xFF);  // A, R, G, B
  EXPECT_EQ(p[1], 0xFF);
  EXPECT_EQ(p[2], 0x00);

  // A resize while the context is open keeps it usable; its pixels are the old store's.
  const Rect bigger = {100, 100, 200, 200};
  SetWindowBounds(w, kWindowContentRgn, &bigger);
  FillRed(c, CGRectMake(0, 0, 40, 30));
  EXPECT_EQ(QDEndCGContext(port, &c), noErr);
  EXPECT_EQ(c, nullptr);
  EXPECT_EQ(QDEndCGContext(port, &c), paramErr);
  EXPECT_EQ(RedCount(w), 1);  // the old pixel, copied at the resize
  EXPECT_EQ(QDBeginCGContext(nullptr, &c), paramErr);
  EXPECT_EQ(QDBeginCGContext((CGrafPtr)w, &c), paramErr);

  // Contexts left open go with their window.
  ASSERT_EQ(QDBeginCGContext(port, &c), noErr);
}

TEST_F(CarbonDrawing, CompositedViewsDrawInTheirOwnClippedCoordinates)
{
  WindowRef w = Window(200, 150, true);
  ControlRef a = UserPane(w, 30, 40, 50, 20, kControlSupportsEmbedding);
  ControlRef b = UserPane(w, 40, 10, 30, 30);  // inside a, sticking out of its right and bottom
  HIViewAddSubview(a, b);
  CGRect fill = CGRectMake(0, 0, 1, 1);
  Rect regionSeen = {0, 0, 0, 0};
  int draws = 0;
  for (ControlRef c : {a, b})
  {
    Install(GetControlEventTarget(c), {kDrawSpec}, [&, c](EventHandlerCallRef, EventRef e) {
      ++draws;
      EXPECT_EQ(Param<ControlRef>(e, kEventParamDirectObject, typeControlRef), c);
      CGContextRef context = Param<CGContextRef>(e, kEventParamCGContextRef, typeCGContextRef);
      RgnHandle rgn = nullptr;
      regionSeen = Rect{0, 0, 0, 0};
      if (GetEventParameter(e, kEventParamRgnHandle, typeQDRgnHandle, nullptr, sizeof(rgn), nullptr, &rgn) == noErr)
        GetRegionBounds(rgn, &regionSeen);
      CGrafPtr port = nullptr;
      EXPECT_EQ(GetEventParameter(e, kEventParamGrafPort, typeGrafPtr, nullptr, sizeof(port), nullptr, &port),
                eventParameterNotFoundErr);
      FillRed(context, fill);
      return (OSStatus)noErr;
    });
  }

  struct Case
  {
    const char* what;
    ControlRef view;
    CGRect fill;
    bool withRegion;
    Rect region;  // view coordinates
    Rect red;     // window coordinates
  } cases[] = {
    {"view origin is its top-left pixel", a, CGRectMake(0, 0, 1, 1), false, {}, {40, 30, 41, 31}},
    {"y runs down", a, CGRectMake(2, 5, 3, 1), false, {}, {45, 32, 46, 35}},
    {"clipped to the frame", a, CGRectMake(-10, -10, 500, 500), false, {}, {40, 30, 60, 80}},
    {"clipped to the region", a, CGRectMake(-10, -10, 500, 500), true, {5, 10, 10, 20}, {45, 40, 50, 50}},
    {"a child clipped by its parent", b, CGRectMake(-10, -10, 500, 500), false, {}, {50, 70, 60, 80}},
    {"a child's origin", b, CGRectMake(0, 0, 2, 2), false, {}, {50, 70, 52, 72}},
  };
  for (const Case& c : cases)
  {
    // A fresh window store for each case.
    CGContextRef clear = nullptr;
    QDBeginCGContext(GetWindowPort(w), &clear);
    CGContextSetRGBFillColor(clear, 0, 0, 0, 1);
    CGContextFillRect(clear, CGRectMake(0, 0, 200, 150));
    QDEndCGContext(GetWindowPort(w), &clear);

    fill = c.fill;
    EXPECT_EQ(CarbonTestKit::Draw(c.view, c.withRegion ? &c.region : nullptr), noErr) << c.what;
    EXPECT_EQ(RedBox(w), c.red) << c.what;
    EXPECT_EQ(RedCount(w), (long)(c.red.bottom - c.red.top) * (c.red.right - c.red.left)) << c.what;
    const Rect expectedRegion = c.withRegion ? c.region : Rect{0, 0, 0, 0};
    EXPECT_EQ(regionSeen, expectedRegion) << c.what;
  }
  EXPECT_EQ(draws, 6);

  // A view entirely outside the window still gets its event, and paints nothing.
  CGContextRef clear = nullptr;
  QDBeginCGContext(GetWindowPort(w), &clear);
  CGContextSetRGBFillColor(clear, 0, 0, 0, 1);
  CGContextFillRect(clear, CGRectMake(0, 0, 200, 150));
  QDEndCGContext(GetWindowPort(w), &clear);
  const HIRect away = CGRectMake(500, 500, 10, 10);
  HIViewSetFrame(a, &away);
  fill = CGRectMake(-1000, -1000, 5000, 5000);
  EXPECT_EQ(CarbonTestKit::Draw(a, nullptr), noErr);
  EXPECT_EQ(RedCount(w), 0);
}

TEST_F(CarbonDrawing, NonCompositedControlsGetThePort)
{
  WindowRef w = Window(120, 90, false);
  ControlRef root = nullptr;
  CreateRootControl(w, &root);
  ControlRef c = UserPane(w, 10, 20, 30, 40);
  ControlRef d = UserPane(w, 80, 5, 10, 10);
  Strings draws;
  for (ControlRef control : {c, d})
  {
    Install(GetControlEventTarget(control), {kDrawSpec}, [&, control](EventHandlerCallRef, EventRef e) {
      CGrafPtr port = Param<CGrafPtr>(e, kEventParamGrafPort, typeGrafPtr);
      EXPECT_EQ(port, GetWindowPort(w));
      CGContextRef context = nullptr;
      EXPECT_EQ(GetEventParameter(e, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof(context), nullptr,
                                  &context),
                eventParameterNotFoundErr);
      RgnHandle rgn = nullptr;
      Rect region = {0, 0, 0, 0};
      if (GetEventParameter(e, kEventParamRgnHandle, typeQDRgnHandle, nullptr, sizeof(rgn), nullptr, &rgn) == noErr)
        GetRegionBounds(rgn, &region);
      draws.push_back((control == c ? "c " : "d ") + std::to_string(region.left) + "," + std::to_string(region.top));
      // Drawing as such code does: through the port, flipping to the control's rectangle.
      Rect bounds;
      GetControlBounds(control, &bounds);
      QDBeginCGContext(port, &context);
      FillRed(context, CGRectMake(bounds.left, 90 - bounds.bottom, bounds.right - bounds.left, bounds.bottom - bounds.top));
      QDEndCGContext(port, &context);
      return (OSStatus)noErr;
    });
  }
  CarbonTestKit::ClearCalls();
  UpdateControls(w, nullptr);  // the root too, which has no handler
  EXPECT_EQ(draws, Strings({"c 0,0", "d 0,0"}));
  EXPECT_EQ(RedCount(w), 30 * 40 + 10 * 10);
  EXPECT_EQ(RedBox(w), (Rect{5, 10, 60, 90}));

  draws.clear();
  RgnHandle rgn = NewRgn();
  const Rect nearD = {0, 70, 20, 120};
  RectRgn(rgn, &nearD);
  UpdateControls(w, rgn);
  EXPECT_EQ(draws, Strings({"d 70,0"}));  // the region in window coordinates
  DisposeRgn(rgn);
  const Rect region = {1, 2, 3, 4};
  draws.clear();
  EXPECT_EQ(CarbonTestKit::Draw(c, &region), noErr);
  EXPECT_EQ(draws, Strings({"c 2,1"}));
  EXPECT_EQ(CarbonTestKit::Calls(), Strings({"UpdateControls all", "UpdateControls 0 70 20 120"}));
}

TEST_F(CarbonDrawing, UpdateDrawsWhatNeedsDisplay)
{
  WindowRef w = Window(200, 150, true);
  ControlRef a = UserPane(w, 30, 40, 50, 20);
  ControlRef b = UserPane(w, 100, 100, 20, 20);
  Strings draws;
  for (ControlRef c : {a, b})
  {
    Install(GetControlEventTarget(c), {kDrawSpec}, [&, c](EventHandlerCallRef, EventRef e) {
      RgnHandle rgn = Param<RgnHandle>(e, kEventParamRgnHandle, typeQDRgnHandle);
      Rect r;
      GetRegionBounds(rgn, &r);
      draws.push_back(std::string(c == a ? "a " : "b ") + std::to_string(r.top) + " " + std::to_string(r.left) + " " +
                      std::to_string(r.bottom) + " " + std::to_string(r.right));
      if (c == b) HIViewSetNeedsDisplay(b, true);  // asks again while drawing: kept for the next update
      return (OSStatus)noErr;
    });
  }
  HIRect area;
  EXPECT_FALSE(CarbonTestKit::NeedsDisplayRect(a, &area));
  const HIRect r1 = CGRectMake(1, 2, 3, 4), r2 = CGRectMake(10, 0, 5, 5), outside = CGRectMake(45, 15, 100, 100);
  HIViewSetNeedsDisplayInRect(a, &r1, true);
  HIViewSetNeedsDisplayInRect(a, &r2, true);
  ASSERT_TRUE(CarbonTestKit::NeedsDisplayRect(a, &area));
  EXPECT_EQ(area.origin.x, 1);
  EXPECT_EQ(area.origin.y, 0);
  EXPECT_EQ(area.size.width, 14);
  EXPECT_EQ(area.size.height, 6);
  HIViewSetNeedsDisplayInRect(a, &outside, true);  // clipped to the view: 45..50 by 15..20
  CarbonTestKit::NeedsDisplayRect(a, &area);
  EXPECT_EQ(area.size.width, 49);
  EXPECT_EQ(area.size.height, 20);
  HIViewSetNeedsDisplay(b, true);

  EXPECT_EQ(CarbonTestKit::Update(w), 2);
  EXPECT_EQ(draws, Strings({"a 0 1 20 50", "b 0 0 20 20"}));
  EXPECT_FALSE(CarbonTestKit::NeedsDisplayRect(a, nullptr));
  EXPECT_TRUE(CarbonTestKit::NeedsDisplayRect(b, nullptr));
  HIViewSetNeedsDisplay(b, false);
  EXPECT_FALSE(CarbonTestKit::NeedsDisplayRect(b, nullptr));
  EXPECT_EQ(CarbonTestKit::Update(w), 0);
  EXPECT_EQ(CarbonTestKit::Update(Window(10, 10, false)), 0);
}

TEST_F(CarbonDrawing, RegionsAreRectangles)
{
  RgnHandle rgn = NewRgn();
  EXPECT_TRUE(EmptyRgn(rgn));
  const Rect r = {1, 2, 30, 40};
  RectRgn(rgn, &r);
  EXPECT_FALSE(EmptyRgn(rgn));
  Rect out;
  EXPECT_EQ(GetRegionBounds(rgn, &out), &out);
  EXPECT_EQ(out, r);
  const Rect flat = {5, 5, 5, 50};
  RectRgn(rgn, &flat);
  EXPECT_TRUE(EmptyRgn(rgn));
  EXPECT_EQ(*GetRegionBounds(rgn, &out), (Rect{0, 0, 0, 0}));
  RectRgn(rgn, &r);
  SetEmptyRgn(rgn);
  EXPECT_TRUE(EmptyRgn(rgn));
  EXPECT_EQ(CarbonTestKit::Live().regions, 1);
  DisposeRgn(rgn);
  // Gone or foreign: empty, never read.
  EXPECT_TRUE(EmptyRgn(rgn));
  EXPECT_EQ(*GetRegionBounds((RgnHandle)&out, &out), (Rect{0, 0, 0, 0}));
  DisposeRgn(rgn);
  RectRgn(rgn, &r);
}
