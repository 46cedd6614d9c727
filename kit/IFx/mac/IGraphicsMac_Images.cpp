// IGraphicsMac: the editor's images, read from the plug-in bundle's resources.

#include "IGraphicsMac.h"

#include <cstring>
#include <strings.h>

#include <Cocoa/Cocoa.h>

#include "pix_loaders.h"

PIX_IBitmap* IGraphicsMac::OSLoadBitmap(int, const char* name)
{
  return LoadImgFromResourceOSX(GetBundleID(), name);
}

namespace
{
enum EImageType { kImageNone, kImagePNG, kImageJPG };

// From what follows the name's last '.', case ignored (the whole name when it has none).
EImageType ImageType(const char* name)
{
  const char* dot = strrchr(name, '.');
  const char* ext = dot ? dot + 1 : name;
  if (!strcasecmp(ext, "png")) return kImagePNG;
  if (!strcasecmp(ext, "jpg")) return kImageJPG;
  return kImageNone;
}

// Released on every return, with everything autoreleased meanwhile.
struct ScopedPool
{
  NSAutoreleasePool* mPool = new NSAutoreleasePool;
  ~ScopedPool() { mPool->release(); }
};
}  // namespace

PIX_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name)
{
  if (!name) return nullptr;
  ScopedPool pool;
  const EImageType type = ImageType(name);
  if (type == kImageNone) return nullptr;

  NSBundle* pBundle = NSBundle::bundleWithIdentifier(ToNSString(bundleID ? bundleID : ""));
  NSString* baseName = ToNSString(name)->lastPathComponent()->stringByDeletingPathExtension();
  if (!pBundle || !baseName) return nullptr;

  NSString* path = pBundle->pathForResource(baseName, type == kImagePNG ? NSSTR("png") : NSSTR("jpg"));
  const char* cPath = path ? path->UTF8String() : nullptr;
  if (!cPath || !*cPath) return nullptr;
  return type == kImagePNG ? PIX_LoadPNG(cPath, nullptr) : PIX_LoadJPG(cPath, nullptr);
}
