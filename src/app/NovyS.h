#pragma once
// TfrmNovyS: the modal choice of a document's assembler. Its list holds the
// choice texts of the assembler table in index order, "Žádný" selected.

#include "platform/Names.h"

#include <QDialog>

class QListWidget;

namespace torvane::app {

class TfrmNovyS : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNovyS(QWidget* parent = nullptr);

    QListWidget* lstPrekladac() const { return list_; }
    // The chosen assembler (none when nothing is selected).
    platform::Assembler Chosen() const;

private:
    QListWidget* list_;
};

} // namespace torvane::app
