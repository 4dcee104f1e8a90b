// Marks what the shared library exports; everything else in it is hidden.
#pragma once

#if defined(HVC_UTIL_STATIC_ONLY)
#define HVC_UTIL_API
#else
#define HVC_UTIL_API __attribute__((visibility("default")))
#endif
