#include "app/dialogs/JpegImage.h"

#include "platform/DynamicLibrary.h"
#include "platform/Names.h"
#include "platform/ProgramLayout.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace torvane::app {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnFatalError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

} // namespace

QImage DecodeJpeg(const unsigned char* data, size_t size) {
    if (!data || size == 0) return {};
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    errors.pub.output_message = IgnoreMessage;
    // Declared before setjmp so that nothing with a destructor is skipped by the jump.
    QImage image;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

QImage LoadLogoFromResourceLibrary() {
    platform::DynamicLibrary library;
    if (!library.Load(platform::RunningProgramLayout().libraryDir + platform::kResourceLibrary)) return {};
    using Lookup = const unsigned char* (*)(const char*, const char*, unsigned int*);
    auto lookup = reinterpret_cast<Lookup>(library.Symbol(platform::kResourceLookupSymbol));
    if (!lookup) return {};
    unsigned int size = 0;
    const unsigned char* bytes = lookup("RCDATA", "LOGO", &size);
    // Decode while the library is loaded: the bytes are its own.
    return DecodeJpeg(bytes, size);
}

} // namespace torvane::app
