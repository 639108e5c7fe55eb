#include "texttools/formfiles.h"

#include "base/accesskeys.h"
#include "base/windowgradient.h"

#include "base/prompts.h"
#include "base/safewrite.h"
#include "base/textrules.h"
#include "lang/messages.h"
#include "texttools/regexsearch.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kHelpTopic = 60;
constexpr int kPathRole = Qt::UserRole;
const QString kBoxTitle = QStringLiteral("Quillora");
const QString kBackupFolder = QStringLiteral("lastrun/");

QLineEdit *readOnlyField(QWidget *parent, const QString &name, int width)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFixedWidth(width);
    return field;
}

QListWidgetItem *fileItem(const QString &path)
{
    auto *item = new QListWidgetItem(fileNamePart(path));
    item->setData(kPathRole, path);
    item->setToolTip(path);
    return item;
}

bool isUntitled(const QString &fileName)
{
    return fileName.isEmpty() || asciiLower(fileName) == u"untitled";
}

} // namespace

TFormFiles::TFormFiles(Host host, QWidget *parent) : QDialog(parent), m_host(std::move(host))
{
    setObjectName(QStringLiteral("FormFiles"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // ---- options ----
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1 = group;
    m_label1 = new QLabel(group);
    m_label2 = new QLabel(group);
    EditSearch = new QLineEdit(group);
    EditSearch->setObjectName(QStringLiteral("EditSearch"));
    EditReplace = new QLineEdit(group);
    EditReplace->setObjectName(QStringLiteral("EditReplace"));
    m_label1->setBuddy(EditSearch);
    m_label2->setBuddy(EditReplace);
    CheckBoxCase = new QCheckBox(group);
    CheckBoxCase->setObjectName(QStringLiteral("CheckBoxCase"));
    CheckBoxWord = new QCheckBox(group);
    CheckBoxWord->setObjectName(QStringLiteral("CheckBoxWord"));
    CheckBoxRegex = new QCheckBox(group);
    CheckBoxRegex->setObjectName(QStringLiteral("CheckBoxRegex"));
    CheckBoxSearch = new QCheckBox(group);
    CheckBoxSearch->setObjectName(QStringLiteral("CheckBoxSearch"));
    CheckBoxAll = new QCheckBox(group);
    CheckBoxAll->setObjectName(QStringLiteral("CheckBoxAll"));
    m_labelTreffer = new QLabel(group);
    EditTreffer = readOnlyField(group, QStringLiteral("EditTreffer"), 90);
    BitBtn3 = new QPushButton(QStringLiteral("Start"), group);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    ButtonCancel = new QPushButton(group);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setVisible(false);
    ButtonUndo = new QPushButton(group);
    ButtonUndo->setObjectName(QStringLiteral("ButtonUndo"));
    ProgressBar1 = new QProgressBar(group);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    SpeedButton1 = new QToolButton(group);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("?"));

    auto *options = new QGridLayout(group);
    options->addWidget(m_label1, 0, 0);
    options->addWidget(m_label2, 0, 1);
    options->addWidget(EditSearch, 1, 0);
    options->addWidget(EditReplace, 1, 1);
    options->addWidget(CheckBoxCase, 2, 0);
    options->addWidget(CheckBoxSearch, 2, 1);
    options->addWidget(CheckBoxWord, 3, 0);
    options->addWidget(CheckBoxAll, 3, 1);
    options->addWidget(CheckBoxRegex, 4, 0);
    auto *runRow = new QHBoxLayout;
    runRow->addWidget(m_labelTreffer);
    runRow->addWidget(EditTreffer);
    runRow->addStretch();
    runRow->addWidget(ButtonUndo);
    runRow->addWidget(ButtonCancel);
    runRow->addWidget(BitBtn3);
    runRow->addWidget(SpeedButton1);
    options->addLayout(runRow, 4, 0, 1, 2);
    options->addWidget(ProgressBar1, 5, 0, 1, 2);

    // ---- the two lists ----
    const auto listColumn = [this](QLabel *&caption, QPushButton *&open, QListWidget *&list,
                                   QLabel *&filesLabel, QLineEdit *&count, QToolButton *&action,
                                   const QString &suffix) {
        auto *column = new QVBoxLayout;
        auto *head = new QHBoxLayout;
        caption = new QLabel(this);
        open = new QPushButton(this);
        head->addWidget(caption);
        head->addStretch();
        head->addWidget(open);
        column->addLayout(head);
        list = new QListWidget(this);
        // Thousands of file names: one row height for all, no measuring of each.
        list->setUniformItemSizes(true);
        column->addWidget(list, 1);
        auto *foot = new QHBoxLayout;
        filesLabel = new QLabel(QStringLiteral("Files"), this);
        count = readOnlyField(this, QStringLiteral("Edit") + suffix, 60);
        action = new QToolButton(this);
        foot->addWidget(filesLabel);
        foot->addWidget(count);
        foot->addStretch();
        foot->addWidget(action);
        column->addLayout(foot);
        return column;
    };
    auto *lists = new QHBoxLayout;
    lists->addLayout(listColumn(m_staticText1, ButtonSearchOpen, ListBoxSearch, m_filesLabel1,
                                Edit1, BitBtn5, QStringLiteral("1")));
    lists->addLayout(listColumn(m_staticText2, ButtonResultOpen, ListBoxResult, m_filesLabel2,
                                Edit2, BtnBackToSearch, QStringLiteral("2")));
    ButtonSearchOpen->setObjectName(QStringLiteral("ButtonSearchOpen"));
    ButtonResultOpen->setObjectName(QStringLiteral("ButtonResultOpen"));
    ListBoxSearch->setObjectName(QStringLiteral("ListBoxSearch"));
    ListBoxSearch->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBoxResult->setObjectName(QStringLiteral("ListBoxResult"));
    ListBoxResult->setSelectionMode(QAbstractItemView::SingleSelection);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    BitBtn5->setText(QStringLiteral("−"));
    BtnBackToSearch->setObjectName(QStringLiteral("BtnBackToSearch"));
    BtnBackToSearch->setText(QStringLiteral("←"));

    // ---- bottom row ----
    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn4 = new QPushButton(this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(BitBtn1);
    bottom->addWidget(BitBtn4);
    bottom->addStretch();
    bottom->addWidget(BitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    resize(700, 580);

    connect(BitBtn1, &QPushButton::clicked, this, &TFormFiles::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::close);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormFiles::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFormFiles::BitBtn4Click);
    connect(BitBtn5, &QToolButton::clicked, this, &TFormFiles::BitBtn5Click);
    connect(BtnBackToSearch, &QToolButton::clicked, this, &TFormFiles::BtnBackToSearchClick);
    connect(ButtonSearchOpen, &QPushButton::clicked, this, &TFormFiles::ButtonSearchOpenClick);
    connect(ButtonResultOpen, &QPushButton::clicked, this, &TFormFiles::ButtonResultOpenClick);
    connect(ListBoxSearch, &QListWidget::itemDoubleClicked, this,
            &TFormFiles::ButtonSearchOpenClick);
    connect(ListBoxResult, &QListWidget::itemDoubleClicked, this,
            &TFormFiles::ButtonResultOpenClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFormFiles::SpeedButton1Click);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormFiles::cancelRun);
    connect(ButtonUndo, &QPushButton::clicked, this, &TFormFiles::UndoLastRunClick);
    setCaptions();
}

QString TFormFiles::text(const char *german, const char *english) const
{
    return QString::fromUtf8(Sprache == 0 ? german : english);
}

void TFormFiles::message(const QString &text)
{
    m_host.prompts->message(Prompts::Icon::Information, windowTitle(), text);
}

RunBackup TFormFiles::backup() const
{
    return RunBackup(m_host.dataFolder() + kBackupFolder);
}

void TFormFiles::setCaptions()
{
    const auto set = [this](QWidget *widget, const char *german, const char *english,
                            const char *germanHint = nullptr, const char *englishHint = nullptr) {
        const QString caption = text(german, english);
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(caption);
        else if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(caption);
        else if (auto *box = qobject_cast<QGroupBox *>(widget))
            box->setTitle(caption);
        if (germanHint)
            widget->setToolTip(text(germanHint, englishHint));
    };
    setWindowTitle(text("Suchen/Ersetzen", "Search/Replace"));
    set(m_groupBox1, "Suchen/Ersetzen Optionen", "Search/Replace options");
    set(m_label1, "Suche nach...", "Search for...");
    set(m_label2, "Ersetzen mit...", "Replace by...");
    set(m_labelTreffer, "Treffer gesamt", "Total matches");
    set(CheckBoxCase, "Groß-/Kleinschreibung beachten", "Case sensitive",
        "Groß-/Keilnschreibung berücksichtigen", "Case sensitive");
    set(CheckBoxWord, "Nur ganzes Wort", "Whole word", "Nur komplettes Wort finden",
        "Find whole word only");
    set(CheckBoxRegex, "Regulärer Ausdruck", "Regular expression",
        "Suchtext als regulären Ausdruck lesen; \\1 bis \\9 im Ersetzungstext setzen die "
        "Gruppen ein, \\n einen Zeilenumbruch, \\t einen Tabulator",
        "Read the search string as a regular expression; \\1 to \\9 in the replacement "
        "insert the groups, \\n a line break, \\t a tab");
    set(CheckBoxSearch, "Nur suchen/nichts ersetzen", "Search only/Do not replace",
        "Nur suchen. Keine Änderungen vornehmen. Wenn nicht angeklickt, wird ersetzt.",
        "Search only. No changes will be made. If unchecked matches will be replaced.");
    set(CheckBoxAll, "Alle finden/ersetzen", "Find/Replace all",
        "Findet/Ersetzt alle Vorkommen des Suchbegriffs in den Dateien",
        "Find/Replace all matches");
    set(m_staticText1, "Suchliste", "Search list");
    set(m_staticText2, "Ergebnisliste", "Result list");
    for (QPushButton *open : {ButtonSearchOpen, ButtonResultOpen})
        set(open, "Zeige Datei", "Show file", "Öffnet die ausgewählte Datei im Editor",
            "Opens the selected file in source editor");
    set(BitBtn1, "Dateien laden", "Load files", "Lädt Dateien in die Suchliste",
        "Load files to search list");
    set(BitBtn2, "Schliessen", "Close", "Fenster schliessen", "Close window");
    set(BitBtn4, "Neu", "New", "Alle Einstellungen zurücksetzen ",
        "Clear lists and reset to default");
    BitBtn5->setToolTip(text("Datei aus Liste entfernen.", "Remove file from list."));
    BtnBackToSearch->setToolTip(
        text("Dateien in die Suchliste zurückstellen", "Set files back to search list"));
    set(ButtonCancel, "Abbrechen", "Cancel", "Beendet den Lauf nach der laufenden Datei",
        "Ends the run after the current file");
    set(ButtonUndo, "Letzten Lauf rückgängig", "Undo last run",
        "Stellt den Inhalt der Dateien vor dem letzten Ersetzen wieder her",
        "Puts back what the files held before the last replace run");
    SpeedButton1->setToolTip(text("Hilfe", "Help"));
    addAccessKeys(this);
}

// ---- show, close ----

void TFormFiles::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TFormFiles::FormShow()
{
    setCaptions();
    ProgressBar1->setValue(0);
    EditSearch->setFocus();
    BitBtn4Click();
    updateUndoButton();
}

void TFormFiles::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        // The run ends after its current file; the window stays until then.
        m_cancelled = true;
        event->ignore();
        return;
    }
    CurDir.clear();
    QDialog::closeEvent(event);
}

void TFormFiles::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused control leaves alone arrive here: F1 from anywhere in the window.
    if (event->key() == Qt::Key_F1) {
        SpeedButton1Click();
        return;
    }
    if (m_running)
        return; // Escape must not close the window under a run
    QDialog::keyPressEvent(event);
}

void TFormFiles::paintEvent(QPaintEvent *)
{
    paintWindowGradient(*this);
}

// ---- lists ----

void TFormFiles::updateCounts()
{
    Edit1->setText(QString::number(ListBoxSearch->count()));
    Edit2->setText(QString::number(ListBoxResult->count()));
}

void TFormFiles::BitBtn1Click()
{
    m_paths.clear();
    ListBoxResult->clear();
    const QString folder = isBlank(CurDir) ? QDir::homePath() : CurDir;
    const std::optional<QStringList> chosen =
        m_host.prompts->openFileNames(folder, QStringLiteral("All|*.*"));
    if (!chosen)
        return;
    m_paths = *chosen;
    ListBoxSearch->clear();
    for (const QString &path : m_paths)
        ListBoxSearch->addItem(fileItem(path));
    updateCounts();
}

void TFormFiles::BitBtn5Click()
{
    if (ListBoxSearch->selectedItems().isEmpty())
        return;
    for (int row = ListBoxSearch->count() - 1; row >= 0; --row) {
        QListWidgetItem *item = ListBoxSearch->item(row);
        if (!item->isSelected())
            continue;
        m_paths.removeOne(item->data(kPathRole).toString());
        delete ListBoxSearch->takeItem(row);
    }
    Edit1->setText(QString::number(ListBoxSearch->count()));
}

void TFormFiles::BtnBackToSearchClick()
{
    while (ListBoxResult->count() > 0)
        ListBoxSearch->addItem(ListBoxResult->takeItem(0));
    Edit2->clear();
    EditTreffer->clear();
    Edit1->setText(QString::number(ListBoxSearch->count()));
}

void TFormFiles::showFile(QListWidgetItem *item, const QString &selectMessage)
{
    const QString path = item ? item->data(kPathRole).toString() : QString();
    if (path.isEmpty() || !m_paths.contains(path)) {
        message(selectMessage);
        return;
    }
    if (!m_host.saveDocument())
        return;
    m_host.openFile(path);
}

void TFormFiles::ButtonSearchOpenClick()
{
    showFile(ListBoxSearch->currentItem(), text("Bitte markieren Sie eine Datei in der Suchliste",
                                                "Please select a file in the search list."));
}

void TFormFiles::ButtonResultOpenClick()
{
    showFile(ListBoxResult->currentItem(),
             text("Bitte markieren Sie eine Datei in der Ergebnisliste",
                  "Please select a file an the result list."));
}

void TFormFiles::BitBtn4Click()
{
    EditTreffer->clear();
    EditSearch->clear();
    EditReplace->clear();
    ListBoxSearch->clear();
    ListBoxResult->clear();
    m_paths.clear();
    CheckBoxSearch->setChecked(true);
    CheckBoxAll->setChecked(false);
    CheckBoxCase->setChecked(false);
    CheckBoxWord->setChecked(false);
    CheckBoxRegex->setChecked(false);
    ProgressBar1->setValue(0);
    updateCounts(); // the emptied lists show 0, not the counts of an earlier run
}

void TFormFiles::SpeedButton1Click()
{
    emit helpRequested(kHelpTopic);
}

// ---- the run ----

void TFormFiles::setRunning(bool running)
{
    m_running = running;
    m_cancelled = false;
    for (QWidget *control : std::initializer_list<QWidget *>{
             BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BtnBackToSearch, ButtonSearchOpen,
             ButtonResultOpen, ButtonUndo, EditSearch, EditReplace, CheckBoxCase, CheckBoxWord,
             CheckBoxRegex, CheckBoxAll, CheckBoxSearch, ListBoxSearch, ListBoxResult})
        control->setEnabled(!running);
    ButtonCancel->setVisible(running);
    if (!running)
        updateUndoButton();
}

void TFormFiles::updateUndoButton()
{
    ButtonUndo->setEnabled(!m_running && m_host.dataFolder && !backup().isEmpty());
}

void TFormFiles::BitBtn3Click()
{
    if (m_running)
        return;
    EditTreffer->clear();
    int hits = 0;
    ProgressBar1->setValue(0);
    ListBoxResult->clear();
    const QString mainFile = m_host.fileName().trimmed();
    if (ListBoxSearch->count() == 0)
        message(text("Bitte Dateien laden, um die Suche zu starten.",
                     "Please load files to start operation."));
    ProgressBar1->setMaximum(qMax<int>(1, int(m_paths.size())));
    if (isBlank(EditSearch->text())) {
        message(text("Bitte Suchtext angeben.", "Please enter a search string."));
        return;
    }
    if (ListBoxSearch->count() == 0) {
        // A run over no files found nothing: the counts say so.
        updateCounts();
        EditTreffer->setText(QStringLiteral("0"));
        return;
    }

    MultiReplaceOptions options;
    options.search = EditSearch->text();
    options.replacement = EditReplace->text();
    options.matchCase = CheckBoxCase->isChecked();
    options.wholeWord = CheckBoxWord->isChecked();
    options.regex = CheckBoxRegex->isChecked();
    if (options.regex) {
        const RegexSearch regex(options.search, options.matchCase, options.wholeWord);
        if (!regex.isValid()) {
            m_host.prompts->message(Prompts::Icon::Warning, kBoxTitle, regex.errorText(Sprache));
            return;
        }
    }
    options.all = CheckBoxAll->isChecked();
    options.searchOnly = CheckBoxSearch->isChecked();
    RunBackup keep = backup();
    if (!options.searchOnly) {
        // A replace run that could not be undone does not start.
        if (const FileResult cleared = keep.clear(); !cleared) {
            m_host.prompts->message(Prompts::Icon::Error, kBoxTitle, cleared.error);
            return;
        }
    }

    setRunning(true);
    QStringList changed;
    QStringList unchanged; // files whose encoding cannot hold the new text
    bool failed = false;
    QElapsedTimer sincePaint;
    sincePaint.start();
    const QStringList paths = m_paths;
    // The search list holds the files in run order, so the current file's row is the
    // number of files before it that stay in the list.
    int keptRows = 0;
    for (qsizetype i = 0; i < paths.size() && !m_cancelled; ++i) {
        const QString &path = paths[i];
        const FileRunResult file = processFile(path, options, options.searchOnly ? nullptr : &keep);
        ProgressBar1->setValue(int(i + 1));
        hits += file.hits;
        if (file.changed)
            changed.append(path);
        if (const std::optional<Unencodable> &missing = file.unencodable)
            unchanged.append(text("%1 (Zeile %2: %3)", "%1 (line %2: %3)")
                                 .arg(path)
                                 .arg(missing->line)
                                 .arg(characterWithCode(missing->character)));
        if (!file.result) {
            m_host.prompts->message(Prompts::Icon::Error, kBoxTitle,
                                    fileErrorText(path, file.result.error));
            failed = true;
            break;
        }
        if (file.hits > 0) {
            ListBoxResult->addItem(fileItem(path));
            delete ListBoxSearch->takeItem(searchRow(path, keptRows));
        } else {
            ++keptRows;
        }
        // Keep the window painted and the Cancel button alive.
        if (sincePaint.elapsed() >= 30) {
            QCoreApplication::processEvents();
            sincePaint.restart();
        }
    }
    setRunning(false);
    if (!failed) {
        updateCounts();
        EditTreffer->setText(QString::number(hits));
    }
    if (!unchanged.isEmpty())
        m_host.prompts->message(
            Prompts::Icon::Warning, kBoxTitle,
            text("Nicht geändert, weil Windows-1252 den neuen Text nicht aufnehmen kann:",
                 "Left unchanged, as Windows-1252 cannot hold the new text:") +
                u'\n' + unchanged.join(u'\n'));
    rereadMainDocument(mainFile, changed);
}

int TFormFiles::searchRow(const QString &path, int expectedRow) const
{
    if (QListWidgetItem *item = ListBoxSearch->item(expectedRow);
        item && item->data(kPathRole).toString() == path)
        return expectedRow;
    for (int row = 0; row < ListBoxSearch->count(); ++row) {
        if (ListBoxSearch->item(row)->data(kPathRole).toString() == path)
            return row;
    }
    return -1;
}

void TFormFiles::rereadMainDocument(const QString &mainFile, const QStringList &changed)
{
    if (isUntitled(mainFile) || changed.isEmpty())
        return;
    const QString canonical = QFileInfo(mainFile).canonicalFilePath();
    const bool touched = std::any_of(changed.begin(), changed.end(), [&](const QString &path) {
        return QFileInfo(path).canonicalFilePath() == canonical;
    });
    if (!touched)
        return;
    if (m_host.documentModified()) {
        const QString question =
            text("Der Lauf hat die Datei %1 geändert, die im Editor ungespeicherte Änderungen "
                 "hat. Änderungen verwerfen und die Datei neu laden?",
                 "The run changed the file %1, which has unsaved changes in the editor. "
                 "Discard the changes and load the file again?")
                .arg(mainFile);
        if (m_host.prompts->question(Prompts::Icon::Question, kBoxTitle, question,
                                     Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
            return;
    }
    if (const FileResult read = m_host.rereadDocument(mainFile); !read)
        m_host.prompts->message(Prompts::Icon::Error, kBoxTitle,
                                QStringLiteral("Systemfehler: ") + read.error);
}

void TFormFiles::UndoLastRunClick()
{
    if (m_running)
        return;
    RunBackup keep = backup();
    if (keep.isEmpty())
        return;
    const QString mainFile = m_host.fileName().trimmed();
    const RunBackup::UndoResult undone = keep.undo();
    QString report =
        text("%1 Datei(en) zurückgesetzt.", "%1 file(s) restored.").arg(undone.restored.size());
    if (!undone.refused.isEmpty())
        report += QStringLiteral("\n\n") +
                  text("Seit dem Lauf geändert, nicht zurückgesetzt:",
                       "Changed since the run, left as they are:") +
                  u'\n' + undone.refused.join(u'\n');
    if (!undone.failed.isEmpty())
        report +=
            QStringLiteral("\n\n") + text("Fehler:", "Failed:") + u'\n' + undone.failed.join(u'\n');
    m_host.prompts->message(undone.refused.isEmpty() && undone.failed.isEmpty()
                                ? Prompts::Icon::Information
                                : Prompts::Icon::Warning,
                            windowTitle(), report);
    updateUndoButton();
    rereadMainDocument(mainFile, undone.restored);
}
