/* Symbol visibility and compile-time layout checks shared by the public headers. */
#ifndef VL_VL_EXPORT_H
#define VL_VL_EXPORT_H

#if defined(_WIN32)
#define VL_EXPORT __declspec(dllexport)
#else
#define VL_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define VL_EXTERN_C extern "C"
#define VL_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define VL_EXTERN_C
#define VL_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#endif
