// Draws the about box's logo (logo.jpg): a dark blue field with a stylised
// microcontroller package. Run once by hand; the JPEG is kept in the tree.
//   g++ -O2 make_logo.cpp -ljpeg -o /tmp/make_logo && /tmp/make_logo logo.jpg
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

int main(int argc, char** argv) {
    const int W = 400, H = 220;
    std::vector<unsigned char> px(W * H * 3);
    auto put = [&](int x, int y, int r, int g, int b) {
        if (x < 0 || y < 0 || x >= W || y >= H) return;
        unsigned char* p = &px[(y * W + x) * 3];
        p[0] = r, p[1] = g, p[2] = b;
    };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double t = (double)y / H, s = (double)x / W;
            put(x, y, 10 + 20 * s, 24 + 30 * t, 70 + 60 * (1 - t));
        }
    // Traces: thin copper lines across the field.
    for (int k = 0; k < 9; ++k) {
        int y0 = 20 + k * 22;
        for (int x = 0; x < W; ++x) {
            int y = y0 + (x > 120 + k * 9 ? 6 : 0);
            put(x, y, 60, 90, 120);
        }
    }
    // The package: a dark body with pins on both long sides.
    int bx = 230, by = 60, bw = 140, bh = 100;
    for (int y = by; y < by + bh; ++y)
        for (int x = bx; x < bx + bw; ++x) put(x, y, 28, 28, 34);
    for (int i = 0; i < 8; ++i) {
        int x = bx + 8 + i * 16;
        for (int y = by - 14; y < by; ++y)
            for (int d = 0; d < 8; ++d) put(x + d, y, 190, 190, 200);
        for (int y = by + bh; y < by + bh + 14; ++y)
            for (int d = 0; d < 8; ++d) put(x + d, y, 190, 190, 200);
    }
    // Pin-1 notch.
    for (int y = -6; y <= 6; ++y)
        for (int x = -6; x <= 6; ++x)
            if (x * x + y * y <= 36) put(bx + 14 + x, by + 14 + y, 70, 70, 80);

    FILE* f = std::fopen(argc > 1 ? argv[1] : "logo.jpg", "wb");
    if (!f) return 1;
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = W, c.image_height = H, c.input_components = 3, c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 88, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = &px[c.next_scanline * W * 3];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
    return 0;
}
