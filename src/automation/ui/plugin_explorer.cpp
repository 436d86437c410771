#include "automation/ui/plugin_explorer.h"

#include "automation/addins/addin_manager.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace automation {

TfrmPlugInExplorer::TfrmPlugInExplorer(QWidget* parent) : QDialog(parent) {
    setObjectName("frmPlugInExplorer");
    setWindowTitle(tr("Plugin Information"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("Installed Plugins"), this));
    lbPlugIns = new QListWidget(this);
    lbPlugIns->setObjectName("lbPlugIns");
    left->addWidget(lbPlugIns);
    layout->addLayout(left, 2);

    auto* right = new QVBoxLayout;
    auto* fields = new QFormLayout;
    txtTitle = new QLineEdit(this);
    txtTitle->setObjectName("txtTitle");
    txtVersion = new QLineEdit(this);
    txtVersion->setObjectName("txtVersion");
    for (QLineEdit* field : {txtTitle, txtVersion}) field->setReadOnly(true);
    fields->addRow(tr("Title:"), txtTitle);
    fields->addRow(tr("Version:"), txtVersion);
    right->addLayout(fields);
    right->addWidget(new QLabel(tr("Description:"), this));
    mmoInfo = new QPlainTextEdit(this);
    mmoInfo->setObjectName("mmoInfo");
    mmoInfo->setReadOnly(true);
    right->addWidget(mmoInfo);
    btnOK = new QPushButton(tr("OK"), this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    right->addWidget(btnOK, 0, Qt::AlignRight);
    layout->addLayout(right, 3);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(lbPlugIns, &QListWidget::currentRowChanged, this, &TfrmPlugInExplorer::lbPlugInsClick);
    resize(520, 300);
}

void TfrmPlugInExplorer::showEvent(QShowEvent* event) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lbPlugIns->clear();
    for (const TAddInCollectionItem& item : TAddInCollection::Instance().Items())
        lbPlugIns->addItem(item.Title);
    if (lbPlugIns->count() > 0) lbPlugIns->setCurrentRow(0);
    QApplication::restoreOverrideCursor();
    QDialog::showEvent(event);
}

void TfrmPlugInExplorer::lbPlugInsClick(int row) {
    const auto& items = TAddInCollection::Instance().Items();
    if (row < 0 || size_t(row) >= items.size()) return;
    txtTitle->setText(items[size_t(row)].Title);
    txtVersion->setText(items[size_t(row)].Version);
    mmoInfo->setPlainText(items[size_t(row)].Description);
}

} // namespace automation
