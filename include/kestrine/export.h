// Symbol visibility of the public API.
//
// The library is built with hidden visibility; every public class and free
// function is marked KESTRINE_API so that exactly the public API is exported.
// Classes are exported whole, protected members included, so that a subclass
// in another binary can use them.
#ifndef KESTRINE_EXPORT_H
#define KESTRINE_EXPORT_H

#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(KESTRINE_BUILDING_LIBRARY)
#define KESTRINE_API __declspec(dllexport)
#else
#define KESTRINE_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define KESTRINE_API __attribute__((visibility("default")))
#else
#define KESTRINE_API
#endif

#endif  // KESTRINE_EXPORT_H
