#include "Quendal.h"

#include <cstring>

extern const unsigned char kLogoJpeg[];
extern const unsigned int kLogoJpegSize;

extern "C" const unsigned char* QuendalFindResource(const char* type, const char* name, unsigned int* size) {
    if (size) *size = 0;
    if (!type || !name || std::strcmp(type, "RCDATA") != 0 || std::strcmp(name, "LOGO") != 0) return nullptr;
    if (size) *size = kLogoJpegSize;
    return kLogoJpeg;
}
