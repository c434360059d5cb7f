#include "editor/qt/QtPrinting.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace torvane::editor::qt {

bool HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

TQtPrinterSurface::TQtPrinterSurface()
    : printer_(std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution)),
      surface_(&painter_, printer_.get()) {
    printer_->setResolution(kDpi);
}

TQtPrinterSurface::~TQtPrinterSurface() {
    if (painter_.isActive()) painter_.end();
}

bool TQtPrinterSurface::BeginDoc(const std::string& title) {
    printer_->setDocName(QString::fromStdString(title));
    if (!painter_.begin(printer_.get())) {
        error_ = "The printer could not start the job.";
        return false;
    }
    return true;
}

bool TQtPrinterSurface::NewPage() {
    if (printer_->newPage()) return true;
    error_ = "The printer refused a new page.";
    return false;
}

bool TQtPrinterSurface::EndDoc() {
    if (!painter_.end()) {
        error_ = "The printer could not finish the job.";
        return false;
    }
    return true;
}

void TQtPrinterSurface::AbortDoc() {
    printer_->abort();
    if (painter_.isActive()) painter_.end();
}

} // namespace torvane::editor::qt
