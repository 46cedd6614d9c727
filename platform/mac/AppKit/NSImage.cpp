// Images: their representations and the process's registry of images by name.

#include <AppKit/NSImage.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>

namespace
{
// Never destroyed: images found by name live as long as the process.
struct NameTable
{
  std::mutex mLock;
  std::map<std::string, NSImage*> mImages;  // not retained
};

NameTable& Names()
{
  static NameTable* sNames = new NameTable;
  return *sNames;
}

NSImage* Registered(const std::string& name)
{
  NameTable& t = Names();
  std::lock_guard<std::mutex> lock(t.mLock);
  auto it = t.mImages.find(name);
  return it == t.mImages.end() ? nil : it->second;
}
}  // namespace

NSImage::~NSImage()
{
  if (mName)
  {
    NameTable& t = Names();
    std::lock_guard<std::mutex> lock(t.mLock);
    auto it = t.mImages.find(mName->str());
    if (it != t.mImages.end() && it->second == this) t.mImages.erase(it);
  }
  for (NSImageRep* rep : mReps) rep->release();
}

NSImage* NSImage::imageNamed(NSString* name)
{
  if (!name || name->str().empty()) return nil;
  if (NSImage* image = Registered(name->str())) return image;
  NSString* ext = name->pathExtension();
  const bool hasPng = ext && strcasecmp(ext->UTF8String(), "png") == 0;
  NSString* path = NSBundle::mainBundle()->pathForResource(name, hasPng ? nil : NSSTR("png"));
  NSImage* image = path ? (new NSImage)->initWithContentsOfFile(path) : nil;
  if (!image) return nil;
  if (!image->setName(name))
  {
    // Another thread registered the name meanwhile: its image wins.
    image->release();
    return Registered(name->str());
  }
  // Kept: nothing releases an image found by name.
  for (NSImageRep* rep : image->mReps) rep->makeImmortal();
  image->makeImmortal();
  return image;
}

NSImage* NSImage::initWithContentsOfFile(NSString* path)
{
  NSBitmapImageRep* rep = NSBitmapImageRep::imageRepWithContentsOfFile(path);
  if (!rep)
  {
    release();
    return nil;
  }
  addRepresentation(rep);
  return this;
}

NSImage* NSImage::initWithSize(NSSize size)
{
  mSize = size;
  return this;
}

void NSImage::addRepresentation(NSImageRep* rep)
{
  if (!rep) return;
  rep->retain();
  mReps.push_back(rep);
  if (!(mSize.width > 0 && mSize.height > 0)) mSize = rep->size();
}

void NSImage::removeRepresentation(NSImageRep* rep)
{
  auto it = std::find(mReps.begin(), mReps.end(), rep);
  if (it == mReps.end()) return;
  mReps.erase(it);
  rep->release();
}

BOOL NSImage::setName(NSString* name)
{
  NameTable& t = Names();
  std::lock_guard<std::mutex> lock(t.mLock);
  if (name)
  {
    auto it = t.mImages.find(name->str());
    if (it != t.mImages.end()) return it->second == this ? YES : NO;
  }
  if (mName) t.mImages.erase(mName->str());
  mName = name ? NSStringConstant(name->UTF8String()) : nil;
  if (mName) t.mImages[mName->str()] = this;
  return YES;
}

NSBitmapImageRep* NSImage::bitmapRep() const
{
  for (NSImageRep* rep : mReps)
  {
    NSBitmapImageRep* bitmap = dynamic_cast<NSBitmapImageRep*>(rep);
    if (bitmap && bitmap->bitmapData()) return bitmap;
  }
  return nil;
}

BOOL NSImage::isValid() const
{
  return bitmapRep() ? YES : NO;
}
