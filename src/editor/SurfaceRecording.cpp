#include "editor/SurfaceRecording.h"

namespace torvane::editor {
namespace {

TRecordingSurface::Op MakeOp(TRecordingSurface::Kind kind) {
    TRecordingSurface::Op op;
    op.kind = kind;
    return op;
}

} // namespace

void TRecordingSurface::FillRect(const TRect& rect, TColor color) {
    Op op = MakeOp(Kind::Fill);
    op.rect = rect;
    op.fore = color;
    ops_.push_back(std::move(op));
}

TFontMetrics TRecordingSurface::Metrics() {
    const bool heavy = (font_.style & (fsBold | fsItalic)) != 0;
    return {model_.height + (heavy ? 1 : 0), model_.externalLeading, model_.cellWidth};
}

int TRecordingSurface::TextWidth(std::string_view bytes) {
    int width = 0;
    for (char c : bytes)
        width += model_.proportional && c == 'i' ? model_.narrowWidth : model_.cellWidth;
    return width;
}

void TRecordingSurface::TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore,
                                TColor back, bool opaque) {
    Op op = MakeOp(Kind::Text);
    op.rect = cell;
    op.x = x;
    op.y = y;
    op.text = std::string(bytes);
    op.fore = fore;
    op.back = back;
    op.opaque = opaque;
    op.font = font_;
    ops_.push_back(std::move(op));
}

void TRecordingSurface::Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) {
    Op op = MakeOp(Kind::Line);
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.fore = color;
    op.pen = pen;
    ops_.push_back(std::move(op));
}

void TRecordingSurface::XorLine(int x1, int y1, int x2, int y2) {
    Op op = MakeOp(Kind::XorLine);
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops_.push_back(std::move(op));
}

void TRecordingSurface::DrawImage(const TImageStrip&, int index, int x, int y) {
    Op op = MakeOp(Kind::Image);
    op.x = x;
    op.y = y;
    op.image = index;
    ops_.push_back(std::move(op));
}

std::vector<TRecordingSurface::Op> TRecordingSurface::OfKind(Kind kind) const {
    std::vector<Op> out;
    for (const Op& op : ops_)
        if (op.kind == kind) out.push_back(op);
    return out;
}

} // namespace torvane::editor
