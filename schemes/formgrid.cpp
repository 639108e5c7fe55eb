#include "schemes/formgrid.h"

#include "base/prompts.h"
#include "base/safewrite.h"
#include "base/textrules.h"
#include "base/themeimages.h"
#include "base/toolbarimages.h"
#include "lang/messages.h"
#include "schemes/formimport.h"
#include "schemes/formprops.h"
#include "schemes/formreturn.h"
#include "schemes/stringgrid.h"
#include "store/storedtext.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPolygonF>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kStartRows = 19; // header row and 18 data rows

// A 16 x 16 arrow on a transparent ground, pointing up or down.
QPixmap arrowImage(bool up)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    const QPolygonF triangle =
        up ? QPolygonF({{3, 11}, {13, 11}, {8, 4}}) : QPolygonF({{3, 5}, {13, 5}, {8, 12}});
    painter.drawPolygon(triangle);
    return pixmap;
}

// The pair of one column: the Items file for column 0, the Inserts file for column 1.
const QString &columnPath(const QString &items, const QString &inserts, int column)
{
    return column == 0 ? items : inserts;
}

} // namespace

TFormGrid::TFormGrid(Prompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FormGrid"));
    setSizeGripEnabled(true);
    m_formProps = new TFormProps(this);
    m_formReturn = new TFormReturn(this);
    m_formImport = new TFormImport(prompts, *this, this);
    Image1 = arrowImage(true);
    Image2 = arrowImage(false);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setIconSize(QSize(24, 24));
    auto add = [&](const QString &name, const QIcon &icon, void (TFormGrid::*handler)()) {
        QAction *item = toolBar->addAction(icon, QString());
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, handler);
        m_actions.insert(name, item);
    };
    QStyle *style = QApplication::style();
    add(QStringLiteral("ToolButton1"), toolbarImage(kImageDelete), &TFormGrid::ToolButton1Click);
    add(QStringLiteral("ToolButton3"), toolbarImage(kImageOpen), &TFormGrid::ToolButton3Click);
    QAction *save = toolBar->addAction(toolbarImage(kImageSave), QString());
    save->setObjectName(QStringLiteral("ToolButton4"));
    connect(save, &QAction::triggered, this, [this] { ToolButton4Click(); });
    m_actions.insert(save->objectName(), save);
    add(QStringLiteral("ToolButton12"), style->standardIcon(QStyle::SP_ArrowDown),
        &TFormGrid::ToolButton12Click);
    toolBar->addSeparator();
    add(QStringLiteral("ToolButton5"),
        themeImage(QStringLiteral("actions"), QStringLiteral("list-add")),
        &TFormGrid::ToolButton5Click);
    add(QStringLiteral("ToolButton10"),
        themeImage(QStringLiteral("actions"), QStringLiteral("list-remove")),
        &TFormGrid::ToolButton10Click);
    toolBar->addSeparator();
    add(QStringLiteral("ToolButton7"), toolbarImage(kImageCopy), &TFormGrid::ToolButton7Click);
    add(QStringLiteral("ToolButton8"), toolbarImage(kImagePaste), &TFormGrid::ToolButton8Click);
    add(QStringLiteral("ToolButton11"), toolbarImage(kImageWrapOn), &TFormGrid::ToolButton11Click);
    toolBar->addSeparator();
    add(QStringLiteral("ToolButton13"), toolbarImage(kImageQuit), &TFormGrid::ToolButton13Click);

    StringGrid1 = new TStringGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->SetRowCount(kStartRows);
    StringGrid1->setColumnWidth(0, 150);
    StringGrid1->setColumnWidth(1, 452);
    StringGrid1->OnSelectCell = [this](int column, int row) { StringGrid1SelectCell(column, row); };
    StringGrid1->OnMouseDown = [this](Qt::MouseButton button, int column) {
        StringGrid1MouseDown(button, column);
    };
    StringGrid1->OnClick = [this] { StringGrid1Click(); };
    // Edits typed into a cell.
    connect(&StringGrid1->model(), &QAbstractItemModel::dataChanged, this,
            [this] { m_modified = true; });

    // Hidden: passes a cell's text to and from the clipboard.
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->hide();

    auto *statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    for (int width : {10, 50, 100, 50, 50}) {
        auto *panel = new QLabel(statusBar);
        panel->setMinimumWidth(width);
        statusBar->addWidget(panel);
        m_panels.append(panel);
    }
    m_panels[1]->setText(QStringLiteral("Code:"));
    m_panels[2]->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(statusBar);
    resize(734, 512);
    ApplyLanguage();
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
    ResetSort();
    ClearRows();
    m_loadedAny = false;
    m_loadFormat = TextFormat();
    LoadFiles();
}

void TFormGrid::FormClose()
{
    PLanguage.clear();
    FItems.clear();
    FInserts.clear();
}

void TFormGrid::ApplyLanguage()
{
    const bool german = isGerman(GLanguage);
    setWindowTitle(german ? QStringLiteral("Codevorschläge") : QStringLiteral("Code proposals"));
    // The six blanks leave room for the sort arrow.
    StringGrid1->SetHeaderText(0, german ? QStringLiteral("      Schlüsselwort")
                                         : QStringLiteral("      Keyword"));
    StringGrid1->SetHeaderText(1, QStringLiteral("      Code"));
    m_missingPair =
        german ? QStringLiteral("Für diese Sprache sind noch keine Codevorschläge vorhanden, "
                                "wollen Sie selbst danach suchen?")
               : QStringLiteral("No code proposals found for this programming language. Do you "
                                "want to search yourself?");
    m_saveFirst = german ? QStringLiteral("Speichern als ") : QStringLiteral("Save as ");
    m_saveLast = german ? QStringLiteral(" Codevorschläge?") : QStringLiteral(" code proposals?");
    m_wrongColumn =
        german ? QStringLiteral("Bitte setzen Sie den Cursor in eine Zelle der Spalte CODE.")
               : QStringLiteral("Place the cursor into a cell of the column CODE.");
    const QList<std::pair<const char *, std::pair<const char *, const char *>>> hints = {
        {"ToolButton1", {"Leere Tabelle", "Clear entire grid table"}},
        {"ToolButton3", {"Datei öffnen", "Open file"}},
        {"ToolButton4", {"Speichern", "Save"}},
        {"ToolButton12", {"Daten importieren", "Import data"}},
        {"ToolButton5", {"Neue Zeile hinzufügen", "Add row"}},
        {"ToolButton10", {"Aktuelle Zeile löschen", "Remove current row"}},
        {"ToolButton7", {"Kopieren", "Copy"}},
        {"ToolButton8", {"Einfügen", "Paste"}},
        {"ToolButton11", {"Zeilenumbrüche einfügen", "Insert LF into code sequence"}},
        {"ToolButton13", {"Schliessen", "Exit"}},
    };
    for (const auto &[name, texts] : hints) {
        const QString hint = QString::fromUtf8(german ? texts.first : texts.second);
        m_actions.value(QString::fromLatin1(name))->setToolTip(hint);
    }
    m_panels[3]->setText(german ? QStringLiteral("Zeilen: ") : QStringLiteral("Rows: "));
}

QString TFormGrid::panelText(int panel) const
{
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void TFormGrid::showFileError(const QString &path, const QString &error)
{
    m_prompts.message(Prompts::Icon::Error, windowTitle(), fileErrorText(path, error));
}

// ---- loading and saving ----

void TFormGrid::LoadFiles()
{
    loadPair();
    // What was just loaded is what the files hold.
    m_modified = false;
    m_savedRows = StringGrid1->dataRows();
}

void TFormGrid::loadPair()
{
    if (FItems.isEmpty() || FInserts.isEmpty())
        return;
    if (!QFileInfo::exists(FItems) || !QFileInfo::exists(FInserts)) {
        if (m_prompts.question(Prompts::Icon::Question, windowTitle(), m_missingPair,
                               Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
            return;
        const std::optional<QString> picked = m_prompts.openFileName(
            folderPart(FItems), QStringLiteral("Src|*.src|Text|*.txt|All|*.*"));
        if (picked) {
            DataPath = folderPart(*picked) + u'/';
            FItems = DataPath + fileNamePart(FItems);
            FInserts = DataPath + fileNamePart(FInserts);
            // The pair is looked for in the chosen folder; say what is missing there
            // rather than leave the table empty without a word.
            for (const QString &path : {FItems, FInserts}) {
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly))
                    showFileError(path, file.errorString());
            }
        }
    }
    for (int column : {0, 1}) {
        const QString &path = columnPath(FItems, FInserts, column);
        if (!QFileInfo::exists(path))
            continue;
        StoredText stored = ReadStoredText(path);
        if (!stored.result) {
            showFileError(path, stored.result.error);
            continue;
        }
        m_loadedAny = true;
        m_loadFormat.encoding = stored.format.encoding;
        // One line has no break to go by: the program's own style then.
        m_loadFormat.lineBreak =
            stored.lines.size() > 1 ? stored.format.lineBreak : LineBreak::CrLf;
        Memo1.Clear();
        Memo1.SetText(stored.lines.join(u'\n'));
        LoadGrid(column);
    }
}

void TFormGrid::LoadGrid(int ColNr)
{
    const QStringList &lines = Memo1.lines();
    if (ColNr == 0)
        m_panels[4]->setText(QString::number(lines.size()));
    QList<ProposalRow> rows = StringGrid1->dataRows();
    if (rows.size() < lines.size())
        rows.resize(lines.size());
    qsizetype row = 0;
    for (const QString &line : lines) {
        if (!isBlank(line))
            rows[row++][ColNr] = line;
    }
    StringGrid1->setDataRows(std::move(rows));
    m_modified = true;
}

bool TFormGrid::ToolButton4Click()
{
    StringGrid1->commitEditing();
    const int halfFilled = firstHalfFilledRow(StringGrid1->dataRows());
    if (halfFilled >= 0) {
        const QString text =
            isGerman(GLanguage)
                ? QStringLiteral("In Zeile %1 ist nur eine der beiden Zellen gefüllt. Da jede "
                                 "Spalte für sich gespeichert wird, gehört danach jedes "
                                 "folgende Schlüsselwort zum falschen Code. Trotzdem speichern?")
                : QStringLiteral("Row %1 has only one of its two cells filled. As each column "
                                 "is saved on its own, every later keyword would then belong to "
                                 "the wrong code. Save anyway?");
        if (m_prompts.question(Prompts::Icon::Warning, windowTitle(), text.arg(halfFilled + 1),
                               Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
            return false;
    }
    if (!FItems.isEmpty() && !FInserts.isEmpty()) {
        if (m_prompts.question(Prompts::Icon::Question, windowTitle(),
                               m_saveFirst + PLanguage + m_saveLast,
                               Prompts::Buttons::YesNo) == Prompts::Answer::Yes)
            return SaveGrid();
    }
    m_formProps->Sprache = GLanguage;
    const QString language = m_formProps->Execute(m_prompts);
    if (language.isEmpty())
        return false;
    setPairFromPrefix(language);
    return SaveGrid();
}

void TFormGrid::setPairFromPrefix(const QString &prefix)
{
    PLanguage = prefix;
    FItems = DataPath + prefix + QStringLiteral("Items.src");
    FInserts = DataPath + prefix + QStringLiteral("Inserts.src");
}

bool TFormGrid::SaveGrid()
{
    const QList<ProposalRow> &rows = StringGrid1->dataRows();
    for (int column : {0, 1}) {
        const QStringList lines = columnFileLines(rows, column);
        Memo1.Clear();
        Memo1.SetText(lines.join(u'\n'));
        Memo1.setFormat(proposalSaveFormat(m_loadFormat, m_loadedAny, lines));
        const QString &path = columnPath(FItems, FInserts, column);
        if (FileResult result = Memo1.SaveToFile(path); !result) {
            showFileError(path, result.error);
            return false;
        }
    }
    m_modified = false;
    m_savedRows = rows;
    return true;
}

void TFormGrid::ToolButton3Click()
{
    if (!AskSaveChanges())
        return;
    m_formProps->Sprache = GLanguage;
    const QString language = m_formProps->Execute(m_prompts);
    if (language.isEmpty())
        return;
    ResetSort();
    ClearRows();
    setPairFromPrefix(language);
    m_panels[2]->setText(proposalDisplayName(language));
    LoadFiles();
}

// ---- row commands ----

void TFormGrid::ClearRows()
{
    StringGrid1->commitEditing();
    QList<ProposalRow> rows(StringGrid1->dataRows().size());
    StringGrid1->setDataRows(std::move(rows));
    m_modified = true;
}

void TFormGrid::ToolButton1Click()
{
    ResetSort();
    ClearRows();
}

void TFormGrid::ToolButton5Click()
{
    StringGrid1->AddRow();
}

void TFormGrid::ToolButton10Click()
{
    RemoveRow(StringGrid1->Row());
}

void TFormGrid::RemoveRow(int row)
{
    StringGrid1->commitEditing();
    const int column = StringGrid1->Col();
    if (row >= 1 && row < StringGrid1->RowCount()) {
        if (StringGrid1->RowCount() > 2) {
            StringGrid1->DeleteRow(row);
        } else {
            StringGrid1->SetCells(0, row, QString());
            StringGrid1->SetCells(1, row, QString());
        }
        StringGrid1->SetCurrent(column, qMin(row, StringGrid1->RowCount() - 1));
        m_modified = true;
    }
    ResetSort();
}

void TFormGrid::ToolButton7Click()
{
    StringGrid1->commitEditing();
    Edit1->setText(StringGrid1->Cells(StringGrid1->Col(), StringGrid1->Row()));
    QApplication::clipboard()->setText(Edit1->text());
}

void TFormGrid::ToolButton8Click()
{
    if (StringGrid1->Row() < 1)
        return;
    // A single-line cell: line breaks in the pasted text become "$ret", as in a cell
    // that is selected; breaks at the very end are dropped.
    QString text = QApplication::clipboard()->text();
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    Edit1->setText(cellFileLine(text));
    StringGrid1->SetCells(StringGrid1->Col(), StringGrid1->Row(), Edit1->text());
    m_modified = true;
}

void TFormGrid::ToolButton11Click()
{
    StringGrid1->commitEditing();
    const int row = StringGrid1->Row();
    if (StringGrid1->Col() != 1 || row < 1) {
        m_prompts.message(Prompts::Icon::Information, windowTitle(), m_wrongColumn);
        return;
    }
    m_formReturn->CodeProp = StringGrid1->Cells(1, row);
    m_formReturn->RLanguage = GLanguage;
    const QString code = m_formReturn->Execute(m_prompts);
    if (!code.isEmpty()) {
        StringGrid1->SetCells(1, row, code);
        m_modified = true;
    }
}

void TFormGrid::ToolButton12Click()
{
    StringGrid1->commitEditing();
    m_formImport->iLanguage = GLanguage;
    m_formImport->Execute();
}

void TFormGrid::ToolButton13Click()
{
    reject();
}

// Every way of closing comes here: the close button, the window's close button, Escape.
void TFormGrid::reject()
{
    if (AskSaveChanges())
        QDialog::reject();
}

bool TFormGrid::AskSaveChanges()
{
    StringGrid1->commitEditing();
    // Rows edited back to what the files hold have nothing to lose.
    if (!m_modified || StringGrid1->dataRows() == m_savedRows)
        return true;
    const QString text = isGerman(GLanguage)
                             ? QStringLiteral("Die Codevorschläge wurden geändert. Wollen Sie "
                                              "die Änderungen speichern?")
                             : QStringLiteral("The code proposals have been changed. Do you want "
                                              "to save the changes?");
    switch (m_prompts.question(Prompts::Icon::Question, windowTitle(), text,
                               Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes:
        return ToolButton4Click();
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

// ---- table events ----

void TFormGrid::StringGrid1SelectCell(int column, int row)
{
    const QString cell = StringGrid1->Cells(column, row);
    const QString kept = selectedCellText(cell);
    if (kept != cell) {
        StringGrid1->SetCells(column, row, kept);
        m_modified = true;
    }
}

void TFormGrid::StringGrid1Click()
{
    StringGrid1->scrollToLeft();
}

void TFormGrid::StringGrid1MouseDown(Qt::MouseButton button, int headerColumn)
{
    m_indicator = -1;
    if (button == Qt::LeftButton && headerColumn >= 0 && headerColumn <= 1) {
        StringGrid1->commitEditing();
        m_indicator = headerColumn;
        if (m_armed[headerColumn]) {
            ShowReversed();
            m_armed[headerColumn] = false;
        } else {
            SortByColumn(headerColumn);
            m_armed[headerColumn] = true;
            m_armed[1 - headerColumn] = false;
        }
    }
    UpdateHeaderImages();
}

void TFormGrid::SortByColumn(int column)
{
    QList<ProposalRow> rows = StringGrid1->dataRows();
    m_sortedCount = sortableRowCount(rows);
    sortProposalRows(rows, m_sortedCount, column);
    if (rows != StringGrid1->dataRows()) {
        StringGrid1->setDataRows(std::move(rows));
        m_modified = true;
    }
    m_sorted = true;
    m_descending = false;
}

// The reverse view turns the sorted rows over as they are now, so edits made since the
// sort are kept.
void TFormGrid::ShowReversed()
{
    m_descending = true;
    QList<ProposalRow> rows = StringGrid1->dataRows();
    const int count = qMin(m_sortedCount, int(rows.size()));
    if (count < 1)
        return;
    std::reverse(rows.begin(), rows.begin() + count);
    if (rows.size() < 19) // at least 20 rows with the header
        rows.resize(19);
    StringGrid1->setDataRows(std::move(rows));
    m_modified = true;
}

void TFormGrid::ResetSort()
{
    m_sorted = false;
    m_descending = false;
    m_armed[0] = m_armed[1] = false;
    m_sortedCount = 0;
    UpdateHeaderImages();
}

void TFormGrid::UpdateHeaderImages()
{
    for (int column : {0, 1}) {
        const bool shown = m_sorted && m_indicator == column;
        StringGrid1->SetHeaderImage(column,
                                    shown ? QIcon(m_descending ? Image2 : Image1) : QIcon());
    }
}

void TFormGrid::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormGrid::FormResize()
{
    StringGrid1->setColumnWidth(1,
                                qMax(50, StringGrid1->width() - StringGrid1->columnWidth(0) - 5));
}
