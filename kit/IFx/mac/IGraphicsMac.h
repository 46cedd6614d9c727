#pragma once
// The editor surface on the Mac: it shows the editor as a Cocoa view (IGraphicsCocoa_v1002) or as
// a user pane in a Carbon window (IGraphicsCarbon), copies the back buffer to the screen, draws
// text with Cocoa string drawing into the back buffer, reads the editor's images from the plug-in
// bundle's resources, and answers path, URL and system-version questions. Main thread only.

#include <CoreServices/Gestalt.h>

#include "IFxDebug.h"
#include "IGraphicsPix.h"

class IGraphicsCarbon;
class IGraphicsCocoa_v1002;
class NSMutableDictionary;
class NSString;

class IGraphicsMac : public IGraphicsPix
{
public:
  IGraphicsMac(IFxBase* pPlug, int w, int h, int refreshFPS = 0);
  // Closes the view or pane as CloseWindow does (without telling the host of a press still held:
  // the plug-in is going), then frees the text attributes.
  ~IGraphicsMac() override;

  bool DrawScreen(IRECT* pR) override;
  bool DrawIText(IText* pTxt, const char* str, IRECT* pR) override;

  // Under Carbon a size the window's 16-bit bounds cannot take is refused: nothing changes.
  void Resize(int w, int h) override;
  bool WindowIsOpen() override;
  void PromptUserInput(IControl* pControl, IParam* pParam) override;
  void HostPath(KIT_String* pPath) override;
  void PluginPath(KIT_String* pPath) override;
  void PromptForFile(KIT_String* pFile, EFileAction action = kFileOpen, const char* dir = "",
                     const char* extensions = "") override;
  bool PromptForColor(IColor* pColor, const char* prompt = "") override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;

  // A Cocoa parent view (or none) gets the editor's Cocoa view; a Carbon window gets a user pane.
  // Returns the view or the pane, or null when the parent is neither a view nor a window of ours.
  void* OpenWindow(void* pParentWnd) override;
  // Always a user pane in the Carbon window, inside the parent control (or the window's content).
  void* OpenWindow(void* pWindow, void* pControl) override;
  void* OpenCocoaWindow(void* pParentView);
  // Null, with nothing changed, for a window not of ours or a surface too large for a pane.
  void* OpenCarbonWindow(void* pWindow, void* pControl);
  // Ends a gesture held open by a press (once), then closes the view or pane.
  void CloseWindow() override;
  void OnHostIdle() override;
  void* GetWindow() override;

  // The plug-in bundle's image resource of that file name; the ID is not used.
  PIX_IBitmap* OSLoadBitmap(int ID, const char* name) override;

  // The system version, binary-coded (0x1049 for 10.4.9). Needs no surface: the Audio Unit asks
  // it for its Cocoa view property.
  static int GetUserOSVersion()
  {
    SInt32 ver = 0;
    Gestalt(gestaltSystemVersion, &ver);
    Trace("GetUserOSVersion", 266, "%x", ver);
    return ver;
  }

  // The reverse-domain identifier of the plug-in bundle, through which images and paths are found.
  void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID); }
  const char* GetBundleID() const { return mBundleID.Get(); }

  IGraphicsCarbon* GetCarbonHost() const { return mGraphicsCarbon; }
  // The string-drawing attributes of the last text, null before the first.
  NSMutableDictionary* GetTextAttributes() const { return mTxtAttrs; }
  IGraphicsCocoa_v1002* GetCocoaView() const { return mGraphicsCocoa; }

private:
  // The view or pane goes; the controls and the back buffer stay.
  void CloseHost();

  IGraphicsCarbon* mGraphicsCarbon = nullptr;
  IGraphicsCocoa_v1002* mGraphicsCocoa = nullptr;
  KIT_String mBundleID;
  NSMutableDictionary* mTxtAttrs = nullptr;
  IText mTxtCache;
};

// A new bitmap of the image "name" (png or jpg) in the resources of the bundle with that
// identifier, owned by the caller; null when there is none.
PIX_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name);
// An autoreleased NSString of the C string.
NSString* ToNSString(const char* cStr);
