#pragma once
// The resource library's one export: look up a resource by type and name.
// Types follow the resource compiler's names; the library holds the JPEG
// "LOGO" of type "RCDATA". Returns null (and *size 0) for anything else.
// The bytes belong to the library and stay valid while it is loaded.

#if defined(_WIN32)
#define QUENDAL_API __declspec(dllexport)
#else
#define QUENDAL_API __attribute__((visibility("default")))
#endif

extern "C" QUENDAL_API const unsigned char* QuendalFindResource(const char* type, const char* name,
                                                                 unsigned int* size);
