#pragma once
// The gutter image strip: 16 images of 15 x 16 pixels, drawn by code so the
// program needs no bitmap resource. Image i is shown for mark bit i:
//
//   0..9   numbered bookmarks: the digit in a rounded blue box
//   10     a green flag            11  a blue diamond
//   12     continuation of a wrapped line: a hooked arrow
//   13     breakpoint: a red disc  14  code break: a red disc with a bar
//   15     an orange triangle pointing right (current position)
//
// Pixels are 0xAARRGGBB; everything outside a figure is fully transparent.

#include "editor/Surface.h"

namespace torvane::editor {

constexpr int kGutterImageWidth = 15;
constexpr int kGutterImageHeight = 16;
constexpr int kGutterImageCount = 16;

// Built once on first use.
const TImageStrip& GutterImages();

// The image of the highest set bit of a mark value, or -1 for 0.
int GutterImageOfMarks(uint16_t marks) noexcept;

} // namespace torvane::editor
