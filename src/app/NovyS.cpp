#include "app/NovyS.h"

#include "app/AppTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvane::app {

TfrmNovyS::TfrmNovyS(QWidget* parent) : QDialog(parent), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmNovyS"));
    setWindowTitle(QString::fromUtf8(text::kNovySCaption));
    list_->setObjectName(QStringLiteral("lstPrekladac"));
    for (const platform::AssemblerFacts& facts : platform::kAssemblerTable)
        list_->addItem(QString::fromUtf8(facts.choiceText));
    list_->setCurrentRow(0);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Enter or a double click on an entry chooses it.
    connect(list_, &QListWidget::activated, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(text::kButtonOk), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QString::fromUtf8(text::kButtonCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(text::kNovySLabel), this));
    layout->addWidget(list_);
    layout->addWidget(buttons);
    list_->setFixedHeight(list_->sizeHintForRow(0) * platform::kAssemblerCount + 2 * list_->frameWidth() + 4);
    setFixedWidth(260);
}

platform::Assembler TfrmNovyS::Chosen() const {
    return platform::AssemblerAt(list_->currentRow()).value_or(platform::Assembler::None);
}

} // namespace torvane::app
