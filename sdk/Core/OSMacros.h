// Export and import attributes shared by the host's interface library and the add-ins built
// against it. Attributes cannot be expressed without the preprocessor, so these stay macros.
#pragma once

#if defined(_WIN32)
#define XI_EXPORT __declspec(dllexport)
#if defined(XI_CORE_BUILD)
#define XI_CORE_API __declspec(dllexport)
#else
#define XI_CORE_API __declspec(dllimport)
#endif
#else
#define XI_EXPORT __attribute__((visibility("default")))
#define XI_CORE_API __attribute__((visibility("default")))
#endif
