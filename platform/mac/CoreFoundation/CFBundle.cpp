// Bundles and the process's registry of them. Each module that links this code has its own
// registry; it knows the main bundle, the bundle of the module itself and those made from URLs.

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPropertyList.h>

#include "CFStringImpl.h"
#include "testkit.h"

struct __CFBundle : CFRuntimeBase
{
  __CFBundle() : CFRuntimeBase(kCFTypeIDBundle) {}

  std::string mPath;            // the bundle folder, absolute
  std::string mExecutablePath;  // known for the main bundle and this module's own bundle
  CFStringRef mIdentifier = nullptr;
  CFDictionaryRef mInfo = nullptr;
  void* mHandle = nullptr;
};

namespace
{
struct Registry
{
  std::recursive_mutex mMutex;
  std::vector<__CFBundle*> mBundles;
  __CFBundle* mMain = nullptr;
  bool mOwnModuleLooked = false;
};

Registry& TheRegistry()
{
  static Registry* s_registry = new Registry;  // lives as long as the module
  return *s_registry;
}

std::string RealPath(const std::string& path)
{
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

bool IsDirectory(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string DirName(const std::string& path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The bundle folder of a module: ROOT for ROOT/Contents/<arch>/module, else the module's folder.
std::string BundleFolderOfModule(const std::string& modulePath)
{
  const std::string archDir = DirName(modulePath);
  const std::string contents = DirName(archDir);
  if (BaseName(contents) == "Contents") return DirName(contents);
  return archDir;
}

CFDictionaryRef ReadInfo(const std::string& bundlePath)
{
  CFDictionaryRef info = nullptr;
  if (FILE* f = fopen((bundlePath + "/Contents/Info.plist").c_str(), "rb"))
  {
    std::string bytes;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0 && bytes.size() < (1u << 20)) bytes.append(buf, n);
    fclose(f);
    CFDataRef data = CFDataCreate(nullptr, (const UInt8*)bytes.data(), (CFIndex)bytes.size());
    CFPropertyListRef plist = CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr);
    CFRelease(data);
    if (CFGetTypeID(plist) == CFDictionaryGetTypeID()) info = (CFDictionaryRef)plist;
    else CFRelease(plist);
  }
  if (!info) info = CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  return info;
}

// Under the registry's lock: the registered bundle for the folder, made and registered if new.
__CFBundle* BundleForFolder(Registry& r, const std::string& folder)
{
  for (__CFBundle* b : r.mBundles)
    if (b->mPath == folder) return b;
  __CFBundle* b = new __CFBundle;
  b->mPath = folder;
  b->mInfo = ReadInfo(folder);
  CFTypeRef id = CFDictionaryGetValue(b->mInfo, CFSTR("CFBundleIdentifier"));
  if (CFGetTypeID(id) == CFStringGetTypeID()) b->mIdentifier = (CFStringRef)CFRetain(id);
  b->MakeImmortal();
  CFRuntimeMakeImmortal(b->mInfo);
  CFRuntimeMakeImmortal(b->mIdentifier);
  r.mBundles.push_back(b);
  return b;
}

__CFBundle* MainBundleLocked(Registry& r)
{
  if (!r.mMain)
  {
    const std::string exe = RealPath("/proc/self/exe");
    r.mMain = BundleForFolder(r, exe.empty() ? RealPath(".") : BundleFolderOfModule(exe));
    if (r.mMain->mExecutablePath.empty()) r.mMain->mExecutablePath = exe;
  }
  return r.mMain;
}

// The module this code is linked into, found from its own path; registered once.
void RegisterOwnModuleLocked(Registry& r)
{
  if (r.mOwnModuleLooked) return;
  r.mOwnModuleLooked = true;
  MainBundleLocked(r);
  Dl_info info;
  if (!dladdr((void*)&RegisterOwnModuleLocked, &info) || !info.dli_fname) return;
  const std::string module = RealPath(info.dli_fname);
  if (module.empty() || module == r.mMain->mExecutablePath) return;
  __CFBundle* b = BundleForFolder(r, BundleFolderOfModule(module));
  if (b->mExecutablePath.empty()) b->mExecutablePath = module;
}

__CFBundle* Bundle(CFBundleRef bundle)
{
  return CFCastToMutable<__CFBundle>(bundle, kCFTypeIDBundle);
}

CFURLRef FileURL(const std::string& path, bool isDirectory)
{
  return CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)path.data(), (CFIndex)path.size(), isDirectory);
}

std::string UTF8Of(CFStringRef s)
{
  const __CFString* str = CFStringObject(s);
  return str ? str->mUTF8 : std::string();
}

std::string ExecutablePath(__CFBundle* b)
{
  if (!b->mExecutablePath.empty()) return b->mExecutablePath;
  CFTypeRef name = CFDictionaryGetValue(b->mInfo, CFSTR("CFBundleExecutable"));
  if (CFGetTypeID(name) != CFStringGetTypeID()) return std::string();
  const std::string file = UTF8Of((CFStringRef)name);
  if (file.empty() || file.find('/') != std::string::npos) return std::string();
  return b->mPath + "/Contents/" KV_BUNDLE_ARCH_FOLDER "/" + file;
}
}  // namespace

CFTypeID CFBundleGetTypeID(void)
{
  return kCFTypeIDBundle;
}

CFBundleRef CFBundleGetMainBundle(void)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::recursive_mutex> lock(r.mMutex);
  return MainBundleLocked(r);
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID)
{
  if (!CFStringObject(bundleID)) return nullptr;
  Registry& r = TheRegistry();
  std::lock_guard<std::recursive_mutex> lock(r.mMutex);
  RegisterOwnModuleLocked(r);
  for (__CFBundle* b : r.mBundles)
    if (b->mIdentifier && CFEqual(b->mIdentifier, bundleID)) return b;
  return nullptr;
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL)
{
  UInt8 path[PATH_MAX];
  if (!CFURLGetFileSystemRepresentation(bundleURL, true, path, sizeof(path))) return nullptr;
  const std::string folder = RealPath((const char*)path);
  if (folder.empty() || !IsDirectory(folder)) return nullptr;
  Registry& r = TheRegistry();
  std::lock_guard<std::recursive_mutex> lock(r.mMutex);
  MainBundleLocked(r);
  return BundleForFolder(r, folder);
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  return b ? b->mIdentifier : nullptr;
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  return b ? b->mInfo : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
  return CFDictionaryGetValue(CFBundleGetInfoDictionary(bundle), key);
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  return b ? FileURL(b->mPath, true) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  return b ? FileURL(b->mPath + "/Contents/Resources", true) : nullptr;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  if (!b) return nullptr;
  const std::string exe = ExecutablePath(b);
  return exe.empty() ? nullptr : FileURL(exe, false);
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName)
{
  __CFBundle* b = Bundle(bundle);
  const std::string name = UTF8Of(resourceName);
  if (!b || name.empty() || name.find('/') != std::string::npos) return nullptr;
  std::string path = b->mPath + "/Contents/Resources/";
  const std::string sub = UTF8Of(subDirName);
  if (!sub.empty()) path += sub + "/";
  path += name;
  const std::string type = UTF8Of(resourceType);
  if (!type.empty()) path += (type[0] == '.' ? "" : ".") + type;
  return IsFile(path) ? FileURL(path, false) : nullptr;
}

Boolean CFBundleLoadExecutable(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  if (!b) return false;
  Registry& r = TheRegistry();
  std::lock_guard<std::recursive_mutex> lock(r.mMutex);
  if (b->mHandle) return true;
  const std::string exe = ExecutablePath(b);
  if (exe.empty()) return false;
  b->mHandle = dlopen(exe.c_str(), RTLD_NOW | RTLD_LOCAL);
  return b->mHandle != nullptr;
}

Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle)
{
  __CFBundle* b = Bundle(bundle);
  if (!b) return false;
  std::lock_guard<std::recursive_mutex> lock(TheRegistry().mMutex);
  return b->mHandle != nullptr;
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName)
{
  const std::string name = UTF8Of(functionName);
  if (name.empty() || !CFBundleLoadExecutable(bundle)) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(TheRegistry().mMutex);
  return dlsym(Bundle(bundle)->mHandle, name.c_str());
}

void CFTestSetMainBundleIdentifier(const char* identifier)
{
  Registry& r = TheRegistry();
  std::lock_guard<std::recursive_mutex> lock(r.mMutex);
  __CFBundle* main = MainBundleLocked(r);
  // The old identifier may still be held by a caller: it stays alive with the process.
  static auto* s_retired = new std::vector<CFStringRef>;
  if (main->mIdentifier) s_retired->push_back(main->mIdentifier);
  main->mIdentifier = identifier ? CFStringCreateWithCString(nullptr, identifier, kCFStringEncodingUTF8) : nullptr;
  CFRuntimeMakeImmortal(main->mIdentifier);
}
