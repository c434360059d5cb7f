#pragma once
// JPEG decoding through libjpeg. Damaged data gives a null image, never a
// crash: libjpeg's fatal errors are caught and the decode abandoned.

#include <QImage>

#include <cstddef>

namespace torvane::app {

QImage DecodeJpeg(const unsigned char* data, size_t size);

// The about box's logo from the resource library beside the program, or a
// null image when the library or its resource is missing or unreadable.
QImage LoadLogoFromResourceLibrary();

} // namespace torvane::app
