#include "schemes/formimport.h"

#include "base/prompts.h"
#include "base/safewrite.h"
#include "base/textrules.h"
#include "base/themeimages.h"
#include "base/toolbarimages.h"
#include "editor/synmemo.h"
#include "lang/messages.h"
#include "schemes/formgrid.h"
#include "schemes/proposaltable.h"
#include "texttools/findreplace.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

TFormImport::TFormImport(Prompts &prompts, TFormGrid &grid, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_grid(grid)
{
    setObjectName(QStringLiteral("FormImport"));
    setWindowTitle(QStringLiteral("Import"));
    setSizeGripEnabled(true);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setIconSize(QSize(24, 24));
    auto add = [&](const QString &name, const QIcon &icon, void (TFormImport::*handler)()) {
        QAction *item = toolBar->addAction(icon, QString());
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, handler);
        m_actions.insert(name, item);
    };
    add(QStringLiteral("ToolButton1"), toolbarImage(kImageNew), &TFormImport::ToolButton1Click);
    add(QStringLiteral("ToolButton2"), toolbarImage(kImageOpen), &TFormImport::ToolButton2Click);
    add(QStringLiteral("ToolButton10"), toolbarImage(kImageFind), &TFormImport::ToolButton10Click);
    add(QStringLiteral("ToolButton11"),
        themeImage(QStringLiteral("actions"), QStringLiteral("edit-find-replace")),
        &TFormImport::ToolButton11Click);
    add(QStringLiteral("ToolButton3"), toolbarImage(kImageSave), &TFormImport::ToolButton3Click);
    add(QStringLiteral("ToolButton5"), toolbarImage(kImagePrint), &TFormImport::ToolButton5Click);
    toolBar->addSeparator();
    add(QStringLiteral("ToolButton7"),
        themeImage(QStringLiteral("actions"), QStringLiteral("go-previous")),
        &TFormImport::ToolButton7Click);
    add(QStringLiteral("ToolButton8"),
        themeImage(QStringLiteral("actions"), QStringLiteral("go-next")),
        &TFormImport::ToolButton8Click);
    toolBar->addSeparator();
    add(QStringLiteral("ToolButton6"), toolbarImage(kImageQuit), &TFormImport::ToolButton6Click);

    RichEdit1 = new TSynMemo(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    // 13 pixels at the usual 96 dots per inch; the editor takes sizes in points.
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(10);
    font.setStyleHint(QFont::Monospace);
    RichEdit1->SetEditorFont(font);
    RichEdit1->SetShowLineNumbers(true);
    connect(RichEdit1, &TSynMemo::OnChange, this, &TFormImport::RichEdit1Change);
    m_findReplace = new EditorFindReplace(*RichEdit1, m_prompts, this,
                                          {windowTitle(), [this] { return m_notFound; }});

    auto *statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    for (int width : {120, 80, 100, 100, 50}) {
        auto *panel = new QLabel(statusBar);
        panel->setMinimumWidth(width);
        statusBar->addWidget(panel);
        m_panels.append(panel);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(RichEdit1, 1);
    layout->addWidget(statusBar);
    resize(640, 480);
    ApplyLanguage();
}

void TFormImport::Execute()
{
    FormShow();
    m_prompts.exec(*this);
}

void TFormImport::FormShow()
{
    ApplyLanguage();
    ToolButton1Click();
}

void TFormImport::ApplyLanguage()
{
    const bool german = isGerman(iLanguage);
    const QList<std::pair<const char *, std::pair<const char *, const char *>>> hints = {
        {"ToolButton1", {"Neu", "New"}},
        {"ToolButton2", {"Datei öffnen", "Open document"}},
        {"ToolButton10", {"Suchen", "Find"}},
        {"ToolButton11", {"Suchen/Ersetzen", "Find/Replace"}},
        {"ToolButton3", {"Datei speichern", "Save document"}},
        {"ToolButton5", {"Drucken", "Print"}},
        {"ToolButton7", {"In Spalte SCHLÜSSELWORT einfügen", "Add to keyword column"}},
        {"ToolButton8", {"In Spalte CODE einfügen", "Add to code column"}},
        {"ToolButton6", {"Schliessen", "Exit"}},
    };
    for (const auto &[name, texts] : hints)
        m_actions.value(QString::fromLatin1(name))
            ->setToolTip(QString::fromUtf8(german ? texts.first : texts.second));
    if (german) {
        m_labels[0] = QStringLiteral("Zeile/Spalte: ");
        m_labels[1] = QStringLiteral("Zeilen: ");
        m_labels[2] = QStringLiteral("Zeichen: ");
        m_labels[3] = QStringLiteral("Wörter: ");
        m_notFound = QStringLiteral("Suchbegriff nicht gefunden!");
    } else {
        m_labels[0] = QStringLiteral("Row/Col: ");
        m_labels[1] = QStringLiteral("Lines: ");
        m_labels[2] = QStringLiteral("Chars: ");
        m_labels[3] = QStringLiteral("Words: ");
        m_notFound = QStringLiteral("Search string not found!");
    }
}

QString TFormImport::panelText(int panel) const
{
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void TFormImport::showFileError(const QString &path, const QString &error)
{
    m_prompts.message(Prompts::Icon::Error, windowTitle(), fileErrorText(path, error));
}

void TFormImport::ToolButton1Click()
{
    RichEdit1->Clear();
    ImportFileName.clear();
    for (int panel = 0; panel < 4; ++panel)
        m_panels[panel]->setText(m_labels[panel]);
    m_panels[4]->clear();
}

void TFormImport::ToolButton2Click()
{
    const QString folder =
        QFileInfo::exists(ImportFileName) ? folderPart(ImportFileName) : QDir::homePath();
    const std::optional<QString> path = m_prompts.openFileName(folder, QString());
    if (!path)
        return;
    ImportFileName = *path;
    if (FileResult result = RichEdit1->Lines().LoadFromFile(*path); !result)
        showFileError(*path, result.error);
}

void TFormImport::ToolButton3Click()
{
    const bool known = QFileInfo::exists(ImportFileName);
    const std::optional<QString> path =
        m_prompts.saveFileName(known ? folderPart(ImportFileName) : QDir::homePath(),
                               known ? fileNamePart(ImportFileName) : QString(), QString());
    if (!path)
        return;
    ImportFileName = *path;
    if (FileResult result = RichEdit1->Lines().SaveToFile(*path); !result)
        showFileError(*path, result.error);
}

void TFormImport::showCaret()
{
    m_panels[0]->setText(m_labels[0] +
                         QString::asprintf("%3d /%3d", RichEdit1->CaretY(), RichEdit1->CaretX()));
}

void TFormImport::RichEdit1Change()
{
    // Line by line, without joining the text; each line is read once.
    const TSynMemoLines &lines = RichEdit1->Lines();
    const int count = lines.Count();
    bool blank = true;
    WordCounter words;
    for (int i = 0; i < count; ++i) {
        const QString line = lines.Strings(i);
        blank = blank && isBlank(line);
        words.addLine(line);
    }
    if (blank)
        return;
    showCaret();
    // The editor reports a typed character before it moves the caret past it: the caret
    // panel is written again once the edit is complete.
    QMetaObject::invokeMethod(this, &TFormImport::showCaret, Qt::QueuedConnection);
    m_panels[1]->setText(m_labels[1] + QString::number(count));
    m_panels[2]->setText(m_labels[2] + QString::number(RichEdit1->TextLength()));
    m_panels[3]->setText(m_labels[3] + QString::number(words.count()));
    m_panels[4]->setText(ImportFileName);
}

void TFormImport::ToolButton5Click()
{
    if (isBlank(RichEdit1->Text()))
        return;
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        m_prompts.message(Prompts::Icon::Error, windowTitle(),
                          isGerman(iLanguage)
                              ? QStringLiteral("Es ist kein Standarddrucker eingerichtet.")
                              : QStringLiteral("No default printer is set up."));
        return;
    }
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    if (!PrintLines(printer))
        showFileError(defaultPrinter.printerName(),
                      isGerman(iLanguage)
                          ? QStringLiteral("Der Druck konnte nicht gestartet werden.")
                          : QStringLiteral("Printing could not be started."));
}

bool TFormImport::PrintLines(QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFontMetrics metrics(painter.font(), &printer);
    const int lineHeight = qMax(1, metrics.height());
    const int pageHeight = printer.pageRect(QPrinter::DevicePixel).toRect().height();
    const TSynMemoLines &lines = RichEdit1->Lines();
    int y = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        // A new page only when another line follows, so no empty page closes the job.
        if (y >= pageHeight) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(QPoint(0, y + metrics.ascent()), lines.Strings(i));
        y += lineHeight;
    }
    return painter.end();
}

void TFormImport::addToColumn(int column)
{
    m_grid.Memo1.Clear();
    m_grid.Memo1.SetText(RichEdit1->Text());
    m_grid.LoadGrid(column);
}

void TFormImport::ToolButton7Click()
{
    addToColumn(0);
}

void TFormImport::ToolButton8Click()
{
    addToColumn(1);
}

void TFormImport::ToolButton6Click()
{
    reject();
}

// Unlike the main window's find, the selection stays: a first search starts just after it.
void TFormImport::ToolButton10Click()
{
    m_findReplace->setLanguage(iLanguage);
    m_findReplace->ShowFind(false);
}

void TFormImport::ToolButton11Click()
{
    m_findReplace->setLanguage(iLanguage);
    m_findReplace->ShowReplace();
}
