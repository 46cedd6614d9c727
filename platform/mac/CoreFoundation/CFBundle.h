#pragma once
// Bundles: a folder "<name>.<ext>/Contents/" with an Info.plist, the module in a folder per
// architecture ("x86_64-linux") and the resources in "Resources/". A process knows its main bundle
// (the folder of its executable), every bundle created from a URL, and the bundle that holds the
// module this code was linked into (found from the module's path), each by its identifier.

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

typedef struct __CFBundle* CFBundleRef;

#define KV_BUNDLE_ARCH_FOLDER "x86_64-linux"

CFTypeID CFBundleGetTypeID(void);
// Bundles are never freed once known; these do not hand over a reference.
CFBundleRef CFBundleGetMainBundle(void);
CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);
// Registers the bundle at the URL (a folder with Contents/); null when there is none. The same
// bundle is returned for the same folder.
CFBundleRef CFBundleCreate(CFAllocatorRef alloc, CFURLRef bundleURL);

// The identifier from the Info.plist, owned by the bundle; null when it has none.
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
// The module: Contents/x86_64-linux/<CFBundleExecutable>, or, for the bundle of this code's own
// module or the main bundle, the module's own path. Null when it cannot be told.
CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);
// Resources/[subDirName/]name[.type] when that file exists; else null.
CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName);

// Loads the module (once) and finds an exported symbol in it.
Boolean CFBundleLoadExecutable(CFBundleRef bundle);
Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle);
void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName);
