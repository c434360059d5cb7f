#include "editor/PdfSurface.h"

#include "platform/SafeSave.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace torvane::editor {
namespace {

// Courier's advance and the cell around it, in ems: a cell as tall as the
// screen's Courier New row, the baseline where that font has it.
constexpr double kAdvanceEm = 0.6;
constexpr double kCellEm = 1.133;
constexpr double kAscentEm = 0.833;

// The Windows-1250 bytes whose glyphs differ from the viewer's standard
// Western encoding, with their glyph names.
constexpr std::pair<unsigned, const char*> kCentralEuropeanGlyphs[] = {
    {0x8C, "Sacute"},    {0x8D, "Tcaron"},       {0x8F, "Zacute"},        {0x9C, "sacute"},
    {0x9D, "tcaron"},    {0x9F, "zacute"},       {0xA1, "caron"},         {0xA2, "breve"},
    {0xA3, "Lslash"},    {0xA5, "Aogonek"},      {0xAA, "Scedilla"},      {0xAF, "Zdotaccent"},
    {0xB2, "ogonek"},    {0xB3, "lslash"},       {0xB9, "aogonek"},       {0xBA, "scedilla"},
    {0xBC, "Lcaron"},    {0xBD, "hungarumlaut"}, {0xBE, "lcaron"},        {0xBF, "zdotaccent"},
    {0xC0, "Racute"},    {0xC3, "Abreve"},       {0xC5, "Lacute"},        {0xC6, "Cacute"},
    {0xC8, "Ccaron"},    {0xCA, "Eogonek"},      {0xCC, "Ecaron"},        {0xCF, "Dcaron"},
    {0xD0, "Dcroat"},    {0xD1, "Nacute"},       {0xD2, "Ncaron"},        {0xD5, "Ohungarumlaut"},
    {0xD8, "Rcaron"},    {0xD9, "Uring"},        {0xDB, "Uhungarumlaut"}, {0xDE, "Tcommaaccent"},
    {0xE0, "racute"},    {0xE3, "abreve"},       {0xE5, "lacute"},        {0xE6, "cacute"},
    {0xE8, "ccaron"},    {0xEA, "eogonek"},      {0xEC, "ecaron"},        {0xEF, "dcaron"},
    {0xF0, "dcroat"},    {0xF1, "nacute"},       {0xF2, "ncaron"},        {0xF5, "ohungarumlaut"},
    {0xF8, "rcaron"},    {0xF9, "uring"},        {0xFB, "uhungarumlaut"}, {0xFE, "tcommaaccent"},
    {0xFF, "dotaccent"},
};

constexpr const char* kFontNames[] = {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string RgbOperands(TColor color) {
    return Number(ColorRed(color) / 255.0) + ' ' + Number(ColorGreen(color) / 255.0) + ' ' +
           Number(ColorBlue(color) / 255.0);
}

// A PDF string literal: parentheses and backslashes escaped, bytes outside
// printable ASCII as octal.
std::string StringLiteral(std::string_view bytes) {
    std::string out = "(";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 32 || c > 126) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + ')';
}

class TObjectWriter {
public:
    void Write(int number, const std::string& body) {
        if (static_cast<size_t>(number) > offsets_.size()) offsets_.resize(static_cast<size_t>(number), 0);
        offsets_[static_cast<size_t>(number) - 1] = out_.size();
        out_ += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    void WriteStream(int number, const std::string& data) {
        Write(number, "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
    }
    std::string Finish(int root, int info) {
        const size_t xref = out_.size();
        out_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
        for (const size_t offset : offsets_) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            out_ += entry;
        }
        out_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " +
                std::to_string(root) + " 0 R /Info " + std::to_string(info) + " 0 R >>\nstartxref\n" +
                std::to_string(xref) + "\n%%EOF\n";
        return std::move(out_);
    }

private:
    std::string out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets_; // of object n at n - 1
};

} // namespace

TPdfSurface::TPdfSurface(std::string fileName, TRect page) : fileName_(std::move(fileName)), page_(page) {}

bool TPdfSurface::BeginDoc(const std::string& title) {
    title_ = title;
    pages_.clear();
    content_.clear();
    error_.clear();
    open_ = true;
    return true;
}

void TPdfSurface::FinishPage() {
    // Printer pixels to points, y down from the page's top edge.
    const double scale = 72.0 / kDpi;
    pages_.push_back(Number(scale) + " 0 0 " + Number(-scale) + " 0 " + Number(page_.Height() * scale) +
                     " cm\n" + content_);
    content_.clear();
}

bool TPdfSurface::NewPage() {
    if (!open_) return false;
    FinishPage();
    return true;
}

void TPdfSurface::AbortDoc() {
    open_ = false;
    pages_.clear();
    content_.clear();
}

bool TPdfSurface::EndDoc() {
    if (!open_) return false;
    open_ = false;
    FinishPage();

    // Numbers: 1 catalog, 2 page tree, 3 encoding, 4..7 fonts, 8 info, then
    // a page object and its content for each page.
    TObjectWriter pdf;
    const int fonts = 4, info = 8, firstPage = 9;
    std::string kids;
    for (size_t i = 0; i < pages_.size(); ++i)
        kids += std::to_string(firstPage + 2 * static_cast<int>(i)) + " 0 R ";
    pdf.Write(1, "<< /Type /Catalog /Pages 2 0 R >>");
    const double scale = 72.0 / kDpi;
    pdf.Write(2, "<< /Type /Pages /Count " + std::to_string(pages_.size()) + " /Kids [" + kids +
                     "] /MediaBox [0 0 " + Number(page_.Width() * scale) + ' ' +
                     Number(page_.Height() * scale) + "] >>");
    std::string differences;
    for (const auto& [byte, name] : kCentralEuropeanGlyphs)
        differences += std::to_string(byte) + " /" + name + ' ';
    pdf.Write(3, "<< /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [" + differences + "] >>");
    for (int f = 0; f < 4; ++f)
        pdf.Write(fonts + f, std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + kFontNames[f] +
                                 " /Encoding 3 0 R >>");
    pdf.Write(info, "<< /Title " + StringLiteral(title_) + " /Producer (Torvane) >>");
    const std::string resources = "<< /Font << /F0 4 0 R /F1 5 0 R /F2 6 0 R /F3 7 0 R >> >>";
    for (size_t i = 0; i < pages_.size(); ++i) {
        const int number = firstPage + 2 * static_cast<int>(i);
        pdf.Write(number, "<< /Type /Page /Parent 2 0 R /Resources " + resources + " /Contents " +
                              std::to_string(number + 1) + " 0 R >>");
        pdf.WriteStream(number + 1, pages_[i]);
    }
    const std::string bytes = pdf.Finish(1, info);
    pages_.clear();

    platform::TSafeSave save(fileName_);
    if (!save.Open() || !save.Write(bytes.data(), bytes.size()) || !save.Commit()) {
        error_ = "Cannot write " + fileName_ + ": " + save.ErrorText();
        return false;
    }
    return true;
}

TFontMetrics TPdfSurface::Metrics() {
    const double em = EmPixels();
    return {static_cast<int>(std::lround(em * kCellEm)), 0, static_cast<int>(std::lround(em * kAdvanceEm))};
}

int TPdfSurface::TextWidth(std::string_view bytes) {
    return static_cast<int>(bytes.size()) * Metrics().averageCharWidth;
}

void TPdfSurface::FillRect(const TRect& rect, TColor color) {
    if (rect.Empty()) return;
    content_ += RgbOperands(color) + " rg " + std::to_string(rect.left) + ' ' + std::to_string(rect.top) +
                ' ' + std::to_string(rect.Width()) + ' ' + std::to_string(rect.Height()) + " re f\n";
}

void TPdfSurface::TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                          bool opaque) {
    if (opaque) FillRect(cell, back);
    if (bytes.empty()) return;
    const int font = (font_.style & fsBold ? 1 : 0) + (font_.style & fsItalic ? 2 : 0);
    const double em = EmPixels();
    // Characters placed on the surface's own grid, whatever the viewer's
    // rounding, so columns line up with what TextWidth promised.
    const double spacing = Metrics().averageCharWidth - em * kAdvanceEm;
    content_ += "BT " + RgbOperands(fore) + " rg /F" + std::to_string(font) + ' ' + Number(em) + " Tf " +
                Number(spacing) + " Tc 1 0 0 -1 " + std::to_string(x) + ' ' + Number(y + em * kAscentEm) +
                " Tm " + StringLiteral(bytes) + " Tj ET\n";
    if (font_.style & (fsUnderline | fsStrikeOut)) {
        // Bars under and through the cells the run takes, in its colour.
        const int width = static_cast<int>(bytes.size()) * Metrics().averageCharWidth;
        const int thickness = std::max(1, static_cast<int>(std::lround(em * 0.05)));
        const int baseline = static_cast<int>(std::lround(y + em * kAscentEm));
        if (font_.style & fsUnderline)
            FillRect({x, baseline + thickness, x + width, baseline + 2 * thickness}, fore);
        if (font_.style & fsStrikeOut) {
            const int middle = baseline - static_cast<int>(std::lround(em * 0.25));
            FillRect({x, middle, x + width, middle + thickness}, fore);
        }
    }
}

void TPdfSurface::Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) {
    content_ += RgbOperands(color) + " RG 1 w " + (pen == TPenStyle::Dotted ? "[2 2]" : "[]") + " 0 d " +
                std::to_string(x1) + ' ' + std::to_string(y1) + " m " + std::to_string(x2) + ' ' +
                std::to_string(y2) + " l S\n";
}

} // namespace torvane::editor
