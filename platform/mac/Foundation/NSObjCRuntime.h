#pragma once
// The basic types of the Objective-C interfaces, as C++. Classes of the platform become C++
// classes of the same names; a message becomes a member call, a class method a static member, a
// selector a pointer to a member function taking one object. A message to nil does nothing on the
// platform, so converted calls whose receiver may be nil check it first.

#include <cstddef>

#include <MacTypes.h>

typedef signed char BOOL;
#define YES ((BOOL)1)
#define NO ((BOOL)0)

typedef long NSInteger;
typedef unsigned long NSUInteger;
typedef double NSTimeInterval;

class NSObject;
typedef NSObject* id;
#define nil nullptr

// A selector: a method of NSObject or a subclass that takes one object.
typedef void (NSObject::*SEL)(id);

// @selector(method:) of a subclass's method.
template <class T>
inline SEL selector(void (T::*method)(id))
{
  return static_cast<SEL>(method);
}

// The live object of ours at an untyped address (a parent handed over by a host, say), or nil for
// nil and for any address that holds no live object of this copy of the stand-in. The address is
// looked up in the registry of live objects and never read. A resolver set with
// objc_setForeignObjectResolver is asked about addresses that are not ours: it may answer an
// object that stands for a foreign handle (a host window of another windowing system).
id objc_objectForPointer(const void* ptr);
typedef id (*objc_ForeignObjectResolver)(const void* ptr);
void objc_setForeignObjectResolver(objc_ForeignObjectResolver resolver);
