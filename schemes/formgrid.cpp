#include "schemes/formgrid.h"

#include "app/prompts.h"
#include "lang/messages.h"
#include "schemes/proposalfiles.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TFormGrid::TFormGrid(Prompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FormGrid"));
    resize(734, 512);
    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setColumnWidth(0, 150);
    StringGrid1->setColumnWidth(1, 452);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1);
    layout->addWidget(buttons);
}

void TFormGrid::Execute()
{
    FormShow();
    m_prompts.exec(*this);
    FormClose();
}

void TFormGrid::FormShow()
{
    ApplyLanguage();
    StringGrid1->setRowCount(0);
    LoadFiles();
}

void TFormGrid::ApplyLanguage()
{
    const bool german = isGerman(GLanguage);
    setWindowTitle(german ? QStringLiteral("Codevorschläge") : QStringLiteral("Code proposals"));
    // The six blanks leave room for the sort arrow.
    StringGrid1->setHorizontalHeaderLabels(
        {german ? QStringLiteral("      Schlüsselwort") : QStringLiteral("      Keyword"),
         QStringLiteral("      Code")});
}

void TFormGrid::LoadFiles()
{
    if (FItems.isEmpty() || FInserts.isEmpty())
        return;
    QStringList items, inserts;
    const ProposalLoad load = loadProposalPair(FItems, FInserts, items, inserts);
    if (!load.result)
        m_prompts.message(Prompts::Icon::Error, windowTitle(),
                          fileErrorText(load.failedPath, load.result.error));
    StringGrid1->setRowCount(int(qMax(items.size(), inserts.size())));
    for (int row = 0; row < StringGrid1->rowCount(); ++row) {
        StringGrid1->setItem(row, 0, new QTableWidgetItem(items.value(row)));
        StringGrid1->setItem(row, 1, new QTableWidgetItem(inserts.value(row)));
    }
}

void TFormGrid::FormClose()
{
    PLanguage.clear();
    FItems.clear();
    FInserts.clear();
}
