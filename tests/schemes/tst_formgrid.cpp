// The proposal table editor, its scheme picker and line-break dialog, and the import
// editor, driven through their handlers with scripted prompts.

#include "editor/synmemo.h"
#include "lang/mnemonics.h"
#include "schemes/formgrid.h"
#include "schemes/formimport.h"
#include "schemes/formprops.h"
#include "schemes/formreturn.h"
#include "schemes/stringgrid.h"
#include "tests/support/scriptedprompts.h"
#include "texttools/findreplace.h"
#include "texttools/searchdialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/timebudget.h"

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList column(const TFormGrid &grid, int col, int rows)
{
    QStringList cells;
    for (int row = 1; row <= rows; ++row)
        cells << grid.StringGrid1->Cells(col, row);
    return cells;
}

// Answers the scheme picker by clicking the radio button of `caption`, then OK.
std::function<int(QDialog &)> pick(const QString &caption)
{
    return [caption](QDialog &dialog) {
        auto *props = qobject_cast<TFormProps *>(&dialog);
        if (!props)
            return int(QDialog::Rejected);
        for (QRadioButton *button : props->findChildren<QRadioButton *>()) {
            if (withoutMnemonic(button->text()) == caption)
                button->click();
        }
        props->BitBtn1->click();
        return int(QDialog::Accepted);
    };
}

} // namespace

struct GridFixture
{
    GridFixture() : grid(prompts) { grid.GLanguage = 1; }

    QString data() const { return dir.path() + u'/'; }
    void handOver(const QString &prefix, const QString &name)
    {
        grid.DataPath = data();
        grid.FItems = data() + prefix + QStringLiteral("Items.src");
        grid.FInserts = data() + prefix + QStringLiteral("Inserts.src");
        grid.PLanguage = name;
    }
    // Shows the editor; `inside` runs while it is open.
    void run(const std::function<void(TFormGrid &)> &inside)
    {
        prompts.expectExec([&](QDialog &) {
            inside(grid);
            return int(QDialog::Rejected);
        });
        grid.Execute();
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    TFormGrid grid;
};

class tst_FormGrid : public QObject
{
    Q_OBJECT
private slots:
    void handedOverPairIsEditedAndSaved();
    void withoutPairSaveGoesToThePicker();
    void saveAnsweredNoOpensThePicker();
    void loadFillsColumns_data();
    void loadFillsColumns();
    void sortByHeader();
    void removeOnlyRow();
    void lineBreakDialog();
    void copyAndPaste();
    void pickerChoices();
    void closeAsksAboutUnsavedEdits();
    void openAsksAboutUnsavedEdits();
    void halfFilledRowWarnsBeforeSave();
    void missingPairQuestion();
    void oddCellsSurviveSaveAndLoad();
    void bigFileLoadsQuickly();
    void importAddsToColumns();
    void importStatusBar();
    void importPrintsPages();
    void importStatusKeepsUpWithBigText();
    void importFindAndReplace();
};

void tst_FormGrid::handedOverPairIsEditedAndSaved()
{
    GridFixture f;
    writeBytes(f.data() + "PasItems.src", "  begin\nif\nfor");
    writeBytes(f.data() + "PasInserts.src", "begin$retend;\nif  then\nfor := to do");
    f.handOver("Pas", "Pascal");
    f.run([&](TFormGrid &grid) {
        QCOMPARE(grid.StringGrid1->RowCount(), 19);
        QCOMPARE(column(grid, 0, 4), (QStringList{"  begin", "if", "for", ""}));
        QCOMPARE(grid.StringGrid1->Cells(1, 1), QStringLiteral("begin$retend;"));
        QCOMPARE(grid.panelText(4), QStringLiteral("3"));
        QVERIFY(!grid.Modified());
        grid.StringGrid1->SetCells(0, 4, QStringLiteral("while"));
        grid.StringGrid1->SetCells(1, 4, QStringLiteral("while  do"));
        f.prompts.expectQuestion(Prompts::Answer::Yes,
                                 QStringLiteral("Save as Pascal code proposals?"));
        QVERIFY(grid.ToolButton4Click());
        QVERIFY(!grid.Modified());
        grid.ToolButton13Click(); // nothing left to ask about
    });
    QVERIFY(f.prompts.done());
    // The loaded LF style, no break after the last line, untrimmed cells.
    QCOMPARE(readBytes(f.data() + "PasItems.src"), QByteArray("  begin\nif\nfor\nwhile"));
    QCOMPARE(readBytes(f.data() + "PasInserts.src"),
             QByteArray("begin$retend;\nif  then\nfor := to do\nwhile  do"));
    QCOMPARE(f.grid.FItems, QString());
    QCOMPARE(f.grid.PLanguage, QString());
}

void tst_FormGrid::withoutPairSaveGoesToThePicker()
{
    GridFixture f;
    f.grid.DataPath = f.data();
    f.run([&](TFormGrid &grid) {
        QCOMPARE(column(grid, 0, 2), (QStringList{"", ""}));
        grid.StringGrid1->SetCells(0, 1, QStringLiteral("print"));
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("print()"));
        f.prompts.expectExec(pick(QStringLiteral("Python")));
        QVERIFY(grid.ToolButton4Click());
        QCOMPARE(grid.PLanguage, QStringLiteral("Pyth"));
    });
    QVERIFY(f.prompts.done());
    QCOMPARE(readBytes(f.data() + "PythItems.src"), QByteArray("print"));
    QCOMPARE(readBytes(f.data() + "PythInserts.src"), QByteArray("print()"));
}

void tst_FormGrid::saveAnsweredNoOpensThePicker()
{
    GridFixture f;
    writeBytes(f.data() + "PasItems.src", "a\r\nb");
    writeBytes(f.data() + "PasInserts.src", "1\r\n2");
    f.handOver("Pas", "Pascal");
    f.run([&](TFormGrid &grid) {
        // No, then the picker cancelled: nothing is written.
        f.prompts.expectQuestion(Prompts::Answer::No);
        f.prompts.expectExec([](QDialog &dialog) {
            qobject_cast<TFormProps *>(&dialog)->BitBtn2->click();
            return int(QDialog::Rejected);
        });
        QVERIFY(!grid.ToolButton4Click());
        // No, then Pearl: saved as the Perl pair.
        f.prompts.expectQuestion(Prompts::Answer::No);
        f.prompts.expectExec(pick(QStringLiteral("Pearl")));
        QVERIFY(grid.ToolButton4Click());
        // Opening another pair shows its display name.
        f.prompts.expectExec(pick(QStringLiteral("VisualBasic")));
        f.prompts.expectQuestion(Prompts::Answer::No, QStringLiteral("No code proposals found"));
        grid.ToolButton3Click();
        QCOMPARE(grid.panelText(2), QStringLiteral("Visual Basic"));
        QCOMPARE(grid.StringGrid1->Cells(0, 1), QString());
    });
    QVERIFY(f.prompts.done());
    QCOMPARE(readBytes(f.data() + "PearlItems.src"), QByteArray("a\r\nb"));
    QCOMPARE(readBytes(f.data() + "PasItems.src"), QByteArray("a\r\nb"));
}

void tst_FormGrid::loadFillsColumns_data()
{
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QStringList>("firstCells");
    QByteArray many;
    for (int i = 1; i <= 25; ++i)
        many += "k" + QByteArray::number(i) + (i < 25 ? "\r\n" : "");
    QTest::newRow("25 lines") << many << 26 << "25" << QStringList{"k1", "k2", "k3"};
    QTest::newRow("blank lines counted, skipped")
        << QByteArray("a\n\n  \nb\n") << 19 << "5" << QStringList{"a", "b", ""};
}

void tst_FormGrid::loadFillsColumns()
{
    QFETCH(QByteArray, items);
    QFETCH(int, rowCount);
    QFETCH(QString, panel);
    QFETCH(QStringList, firstCells);
    GridFixture f;
    writeBytes(f.data() + "CItems.src", items);
    writeBytes(f.data() + "CInserts.src", "");
    f.handOver("C", "C/C++");
    f.run([&](TFormGrid &grid) {
        QCOMPARE(grid.StringGrid1->RowCount(), rowCount);
        QCOMPARE(grid.panelText(4), panel);
        QCOMPARE(column(grid, 0, 3), firstCells);
    });
    if (rowCount == 26) {
        QCOMPARE(f.grid.StringGrid1->Cells(0, 25), QStringLiteral("k25"));
    }
}

void tst_FormGrid::sortByHeader()
{
    GridFixture f;
    f.run([&](TFormGrid &grid) {
        const QStringList keys = {"beta", "Alpha", "gamma"};
        for (int row = 1; row <= 3; ++row) {
            grid.StringGrid1->SetCells(0, row, keys[row - 1]);
            grid.StringGrid1->SetCells(1, row, QString::number(row));
        }
        grid.StringGrid1->SetCells(0, 4, QStringLiteral("aaa")); // no code: not sorted
        auto header = [&] {
            return grid.StringGrid1->model().headerData(0, Qt::Horizontal, Qt::DecorationRole);
        };
        grid.StringGrid1MouseDown(Qt::LeftButton, 0);
        QCOMPARE(column(grid, 0, 4), (QStringList{"Alpha", "beta", "gamma", "aaa"}));
        QCOMPARE(column(grid, 1, 3), (QStringList{"2", "1", "3"}));
        QVERIFY(grid.sorted() && !grid.descending());
        QVERIFY(header().isValid());
        grid.StringGrid1MouseDown(Qt::LeftButton, 0);
        QCOMPARE(column(grid, 0, 4), (QStringList{"gamma", "beta", "Alpha", "aaa"}));
        QVERIFY(grid.descending());
        grid.StringGrid1MouseDown(Qt::LeftButton, 0);
        QCOMPARE(column(grid, 0, 3), (QStringList{"Alpha", "beta", "gamma"}));
        // Any other press takes the arrow away; the order stays.
        grid.StringGrid1MouseDown(Qt::RightButton, 0);
        QCOMPARE(grid.indicatorColumn(), -1);
        QVERIFY(!header().isValid());
        grid.StringGrid1MouseDown(Qt::LeftButton, -1);
        QCOMPARE(column(grid, 0, 3), (QStringList{"Alpha", "beta", "gamma"}));
        // Sorting by Code arms that column and disarms Keyword.
        grid.StringGrid1MouseDown(Qt::LeftButton, 1);
        QCOMPARE(column(grid, 1, 3), (QStringList{"1", "2", "3"}));
        grid.StringGrid1MouseDown(Qt::LeftButton, 0);
        QVERIFY(!grid.descending());
    });
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::removeOnlyRow()
{
    GridFixture f;
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetRowCount(2);
        grid.StringGrid1->SetCells(0, 1, QStringLiteral("only"));
        grid.StringGrid1->SetCurrent(0, 1);
        grid.ToolButton10Click();
        QCOMPARE(grid.StringGrid1->RowCount(), 2);
        QCOMPARE(grid.StringGrid1->Cells(0, 1), QString());
        // With more rows the current one goes and its number stays current.
        grid.StringGrid1->SetRowCount(4);
        grid.StringGrid1->SetCells(0, 2, QStringLiteral("two"));
        grid.StringGrid1->SetCells(0, 3, QStringLiteral("three"));
        grid.StringGrid1->SetCurrent(0, 2);
        grid.ToolButton10Click();
        QCOMPARE(grid.StringGrid1->RowCount(), 3);
        QCOMPARE(grid.StringGrid1->Cells(0, 2), QStringLiteral("three"));
        QCOMPARE(grid.StringGrid1->Row(), 2);
        grid.ToolButton5Click();
        QCOMPARE(grid.StringGrid1->RowCount(), 4);
    });
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::lineBreakDialog()
{
    GridFixture f;
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("a$retb"));
        grid.StringGrid1->SetCurrent(1, 1);
        QString shown;
        f.prompts.expectExec([&](QDialog &dialog) {
            auto *lines = qobject_cast<TFormReturn *>(&dialog);
            shown = lines->Memo1->toPlainText();
            lines->Memo1->setPlainText(QStringLiteral("x\n  y\n\n \n"));
            lines->BitBtn1->click();
            return int(QDialog::Accepted);
        });
        grid.ToolButton11Click();
        QCOMPARE(shown, QStringLiteral("a\nb"));
        QCOMPARE(grid.StringGrid1->Cells(1, 1), QStringLiteral("x$ret  y"));
        // Cancel leaves the cell.
        f.prompts.expectExec([](QDialog &dialog) {
            qobject_cast<TFormReturn *>(&dialog)->Memo1->setPlainText(QStringLiteral("lost"));
            return int(QDialog::Rejected);
        });
        grid.ToolButton11Click();
        QCOMPARE(grid.StringGrid1->Cells(1, 1), QStringLiteral("x$ret  y"));
        // In the Keyword column only the note.
        grid.StringGrid1->SetCurrent(0, 1);
        f.prompts.expectMessage(QStringLiteral("Place the cursor into a cell of the column CODE."));
        grid.ToolButton11Click();
        // Selecting a cell trims it and turns its line breaks into markers.
        grid.StringGrid1->SetCells(0, 2, QStringLiteral("  two\r\nlines "));
        grid.StringGrid1->SetCurrent(0, 2);
        QCOMPARE(grid.StringGrid1->Cells(0, 2), QStringLiteral("two$retlines"));
    });
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::copyAndPaste()
{
    GridFixture f;
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("  x := 1;"));
        grid.StringGrid1->SetCurrent(1, 1); // selecting trims
        grid.ToolButton7Click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("x := 1;"));
        grid.StringGrid1->SetCurrent(1, 2);
        grid.ToolButton8Click();
        QCOMPARE(grid.StringGrid1->Cells(1, 2), QStringLiteral("x := 1;"));
        // Pasted lines stay one cell: inner breaks become markers, a last one goes.
        QApplication::clipboard()->setText(QStringLiteral("begin\r\n  y;\nend;\n"));
        grid.ToolButton8Click();
        QCOMPARE(grid.StringGrid1->Cells(1, 2), QStringLiteral("begin$ret  y;$retend;"));
    });
}

void tst_FormGrid::pickerChoices()
{
    TFormProps props;
    const QList<QRadioButton *> buttons = props.findChildren<QRadioButton *>();
    QCOMPARE(buttons.size(), 16);
    QCOMPARE(TFormProps::choices().size(), 16);
    ScriptedPrompts prompts;
    // A click sets the prefix; Cancel, Escape and the close button all leave it empty.
    prompts.expectExec([&](QDialog &) {
        buttons[8]->click();
        props.BitBtn1->click();
        return int(QDialog::Accepted);
    });
    QCOMPARE(props.Execute(prompts), TFormProps::choices()[8].second);
    QCOMPARE(withoutMnemonic(buttons[8]->text()), QStringLiteral("Pearl"));
    bool uncheckedAtShow = false;
    prompts.expectExec([&](QDialog &dialog) {
        uncheckedAtShow = !buttons[8]->isChecked();
        buttons[10]->click();
        dialog.reject();
        return int(QDialog::Rejected);
    });
    QCOMPARE(props.Execute(prompts), QString());
    QVERIFY(uncheckedAtShow);
    props.Sprache = 0;
    prompts.expectExec([](QDialog &) { return int(QDialog::Rejected); });
    props.Execute(prompts);
    QCOMPARE(props.windowTitle(), QStringLiteral("Vorschläge für..."));
    QCOMPARE(withoutMnemonic(props.BitBtn2->text()), QStringLiteral("Abbrechen"));
    QVERIFY(prompts.done());
}

void tst_FormGrid::closeAsksAboutUnsavedEdits()
{
    GridFixture f;
    writeBytes(f.data() + "JsItems.src", "alert");
    writeBytes(f.data() + "JsInserts.src", "alert();");
    f.handOver("Js", "JavaScript");
    QSignalSpy closed(&f.grid, &QDialog::finished);
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("alert('x');"));
        f.prompts.expectQuestion(Prompts::Answer::Cancel, QStringLiteral("save the changes?"));
        grid.ToolButton13Click();
        QCOMPARE(closed.size(), 0);
        // Yes saves as the save button does; a save that does not happen keeps it open.
        f.prompts.expectQuestion(Prompts::Answer::Yes, QStringLiteral("save the changes?"));
        f.prompts.expectQuestion(Prompts::Answer::No, QStringLiteral("Save as JavaScript"));
        f.prompts.expectExec([](QDialog &) { return int(QDialog::Rejected); });
        grid.reject();
        QCOMPARE(closed.size(), 0);
        f.prompts.expectQuestion(Prompts::Answer::Yes, QStringLiteral("save the changes?"));
        f.prompts.expectQuestion(Prompts::Answer::Yes, QStringLiteral("Save as JavaScript"));
        grid.reject();
        QCOMPARE(closed.size(), 1);
    });
    QVERIFY(f.prompts.done());
    QCOMPARE(readBytes(f.data() + "JsInserts.src"), QByteArray("alert('x');"));
}

void tst_FormGrid::openAsksAboutUnsavedEdits()
{
    GridFixture f;
    writeBytes(f.data() + "JsItems.src", "alert");
    writeBytes(f.data() + "JsInserts.src", "alert();");
    f.handOver("Js", "JavaScript");
    QSignalSpy closed(&f.grid, &QDialog::finished);
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("alert('x');"));
        // Cancel keeps the edited rows and opens nothing.
        f.prompts.expectQuestion(Prompts::Answer::Cancel, QStringLiteral("save the changes?"));
        grid.ToolButton3Click();
        QCOMPARE(grid.StringGrid1->Cells(1, 1), QStringLiteral("alert('x');"));
        // Edited back to what the files hold: nothing to ask about when closing.
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("alert();"));
        grid.reject();
        QCOMPARE(closed.size(), 1);
    });
    QVERIFY(f.prompts.done());
    QCOMPARE(readBytes(f.data() + "JsInserts.src"), QByteArray("alert();"));
}

void tst_FormGrid::halfFilledRowWarnsBeforeSave()
{
    GridFixture f;
    f.grid.GLanguage = 0;
    f.handOver("Sql", "SQL");
    f.prompts.expectQuestion(Prompts::Answer::No); // the pair does not exist yet
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetCells(0, 1, QStringLiteral("select"));
        grid.StringGrid1->SetCells(1, 1, QStringLiteral("select * from"));
        grid.StringGrid1->SetCells(0, 2, QStringLiteral("where"));
        f.prompts.expectQuestion(Prompts::Answer::No, QStringLiteral("In Zeile 2 ist nur eine"));
        QVERIFY(!grid.ToolButton4Click());
        QCOMPARE(grid.StringGrid1->Cells(0, 2), QStringLiteral("where"));
        f.prompts.expectQuestion(Prompts::Answer::Yes, QStringLiteral("Zeile 2"));
        f.prompts.expectQuestion(Prompts::Answer::Yes,
                                 QStringLiteral("Speichern als SQL Codevorschläge?"));
        QVERIFY(grid.ToolButton4Click());
    });
    QVERIFY(f.prompts.done());
    QCOMPARE(readBytes(f.data() + "SqlItems.src"), QByteArray("select\r\nwhere"));
}

void tst_FormGrid::missingPairQuestion()
{
    GridFixture f;
    QTemporaryDir other;
    const QString otherFolder = other.path() + u'/';
    writeBytes(otherFolder + "RubyItems.src", "each");
    writeBytes(otherFolder + "RubyInserts.src", "each do |x|$retend");
    writeBytes(f.data() + "RubyItems.src", "only one of the pair");
    f.handOver("Ruby", "Ruby");
    // No: the table stays empty although one file exists.
    f.prompts.expectQuestion(Prompts::Answer::No);
    f.run([&](TFormGrid &grid) { QCOMPARE(grid.StringGrid1->Cells(0, 1), QString()); });
    // Yes: the pair is taken from the chosen folder.
    f.handOver("Ruby", "Ruby");
    f.prompts.expectQuestion(Prompts::Answer::Yes);
    f.prompts.expectOpenFile(otherFolder + "anything.src");
    f.run([&](TFormGrid &grid) {
        QCOMPARE(grid.DataPath, otherFolder);
        QCOMPARE(grid.StringGrid1->Cells(1, 1), QStringLiteral("each do |x|$retend"));
    });
    // A folder without the pair: the error box, and the table stays empty.
    QTemporaryDir empty;
    f.handOver("Ruby", "Ruby");
    f.prompts.expectQuestion(Prompts::Answer::Yes);
    f.prompts.expectOpenFile(empty.path() + QStringLiteral("/x.src"));
    f.prompts.expectMessage(QStringLiteral("RubyItems.src"));
    f.prompts.expectMessage(QStringLiteral("RubyInserts.src"));
    f.run([&](TFormGrid &grid) { QCOMPARE(grid.StringGrid1->Cells(0, 1), QString()); });
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::oddCellsSurviveSaveAndLoad()
{
    GridFixture f;
    const QString longCell = QString(10000, u'x');
    const QString tabNul = QStringLiteral("a\tb") + QChar(0) + QStringLiteral("c");
    const QString broken = QStringLiteral("one\ntwo");
    f.grid.DataPath = f.data();
    f.run([&](TFormGrid &grid) {
        grid.StringGrid1->SetCells(0, 1, longCell);
        grid.StringGrid1->SetCells(1, 1, tabNul);
        grid.StringGrid1->SetCells(0, 2, QStringLiteral("Ж"));
        grid.StringGrid1->SetCells(1, 2, broken);
        f.prompts.expectExec(pick(QStringLiteral("CSS")));
        QVERIFY(grid.ToolButton4Click());
    });
    f.handOver("Css", "CSS");
    f.run([&](TFormGrid &grid) {
        QCOMPARE(grid.StringGrid1->Cells(0, 1), longCell);
        QCOMPARE(grid.StringGrid1->Cells(1, 1), tabNul);
        QCOMPARE(grid.StringGrid1->Cells(0, 2), QStringLiteral("Ж"));
        // A line break in a cell never splits the file's line: the pairing holds.
        QCOMPARE(grid.StringGrid1->Cells(1, 2), QStringLiteral("one$rettwo"));
    });
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::bigFileLoadsQuickly()
{
    GridFixture f;
    QByteArray items, inserts;
    for (int i = 0; i < 100000; ++i) {
        items += "keyword" + QByteArray::number(i) + "\r\n";
        inserts += "code " + QByteArray::number(i) + "$retend\r\n";
    }
    writeBytes(f.data() + "VbItems.src", items);
    writeBytes(f.data() + "VbInserts.src", inserts);
    f.handOver("Vb", "Visual Basic");
    qint64 elapsed = 0;
    SpeedTimer timer;
    f.prompts.expectExec([&](QDialog &) {
        elapsed = timer.elapsed();
        return int(QDialog::Rejected);
    });
    timer.start();
    f.grid.Execute();
    QVERIFY2(elapsed < timeBudget(1000), qPrintable(QString::number(elapsed)));
    qInfo("100,000 proposal pairs loaded into the table in %lld ms", elapsed);
    QCOMPARE(f.grid.StringGrid1->Cells(1, 100000), QStringLiteral("code 99999$retend"));
    QCOMPARE(f.grid.panelText(4), QStringLiteral("100001"));
}

void tst_FormGrid::importAddsToColumns()
{
    GridFixture f;
    f.run([&](TFormGrid &grid) {
        TFormImport *import = grid.FormImport();
        f.prompts.expectExec([&](QDialog &) {
            import->RichEdit1->SetText(QStringLiteral("one\n\ntwo\nthree"));
            import->ToolButton7Click();
            import->RichEdit1->SetText(QStringLiteral("uno\ndos"));
            import->ToolButton7Click();
            import->RichEdit1->SetText(QStringLiteral("1$ret\n2"));
            import->ToolButton8Click();
            return int(QDialog::Rejected);
        });
        grid.ToolButton12Click();
        QCOMPARE(column(grid, 0, 4), (QStringList{"uno", "dos", "three", ""}));
        QCOMPARE(column(grid, 1, 3), (QStringList{"1$ret", "2", ""}));
    });
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::importStatusBar()
{
    GridFixture f;
    TFormImport *import = f.grid.FormImport();
    QStringList bare, counted, kept;
    auto panels = [&] {
        QStringList texts;
        for (int panel = 0; panel < 5; ++panel)
            texts << import->panelText(panel);
        return texts;
    };
    f.prompts.expectExec([&](QDialog &) {
        bare = panels();
        import->RichEdit1->SetText(QStringLiteral("one two-three 42 x-1\nhyphen-\nation"));
        counted = panels();
        // Deleting everything keeps the last counts.
        import->RichEdit1->SetText(QString());
        kept = panels();
        return int(QDialog::Rejected);
    });
    import->iLanguage = 1;
    import->Execute();
    QCOMPARE(bare, (QStringList{"Row/Col: ", "Lines: ", "Chars: ", "Words: ", ""}));
    QCOMPARE(counted, (QStringList{"Row/Col:   1 /  1", "Lines: 3", "Chars: 36", "Words: 4", ""}));
    QCOMPARE(kept, counted);
    // Typing: the column counts the character just typed.
    f.prompts.expectExec([&](QDialog &) {
        import->RichEdit1->setFocus();
        QTest::keyClicks(import->RichEdit1, QStringLiteral("Zation here"));
        QCoreApplication::processEvents();
        kept = {import->panelText(0)};
        return int(QDialog::Rejected);
    });
    import->Execute();
    QCOMPARE(kept, QStringList{"Row/Col:   1 / 12"});
    // German labels; every show starts with an empty text.
    f.prompts.expectExec([&](QDialog &) {
        bare = panels();
        kept = {import->RichEdit1->Text(), import->NotFoundMessage()};
        return int(QDialog::Rejected);
    });
    import->iLanguage = 0;
    import->Execute();
    QCOMPARE(bare, (QStringList{"Zeile/Spalte: ", "Zeilen: ", "Zeichen: ", "Wörter: ", ""}));
    QCOMPARE(kept, (QStringList{"", "Suchbegriff nicht gefunden!"}));
    QVERIFY(f.prompts.done());
}

void tst_FormGrid::importPrintsPages()
{
    if (!QFile::exists(QStringLiteral(PDFTOTEXT)))
        QSKIP("pdftotext is missing");
    GridFixture f;
    TFormImport *import = f.grid.FormImport();
    QString text;
    for (int i = 1; i <= 200; ++i)
        text += QStringLiteral("Line %1 of the import\n").arg(i);
    import->RichEdit1->SetText(text);
    const QString pdf = f.dir.filePath(QStringLiteral("import.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(import->PrintLines(printer));
    QProcess run;
    run.start(QStringLiteral(PDFTOTEXT), {pdf, QStringLiteral("-")});
    QVERIFY(run.waitForFinished());
    const QString printed = QString::fromUtf8(run.readAllStandardOutput());
    QVERIFY(printed.contains(QStringLiteral("Line 1 of the import")));
    QVERIFY(printed.contains(QStringLiteral("Line 200 of the import")));
    // 200 lines take several pages, and no empty page closes the job.
    const qsizetype pages = printed.count(u'\f');
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    QVERIFY(!printed.section(u'\f', pages - 1, pages - 1).trimmed().isEmpty());
}

void tst_FormGrid::importStatusKeepsUpWithBigText()
{
    GridFixture f;
    TFormImport *import = f.grid.FormImport();
    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("word%1 and-more 12\n").arg(i);
    import->RichEdit1->SetText(text);
    QCOMPARE(import->panelText(3), QStringLiteral("Wörter: 200000"));
    // One typed character updates every panel, without joining the text.
    SpeedTimer timer;
    timer.start();
    import->RichEdit1->SetSelText(QStringLiteral("x "));
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(import->panelText(3), QStringLiteral("Wörter: 200001"));
    QVERIFY2(elapsed < timeBudget(150), qPrintable(QString::number(elapsed)));
    qInfo("status update over 100,000 lines: %lld ms", elapsed);
}

void tst_FormGrid::importFindAndReplace()
{
    GridFixture f;
    TFormImport *import = f.grid.FormImport();
    int firstHit = -1;
    bool findShown = false;
    f.prompts.expectExec([&](QDialog &) {
        import->RichEdit1->SetText(QStringLiteral("one two\r\ntwo one"));
        // Find keeps the selection: the first search starts just after it.
        import->RichEdit1->SetSelStart(0);
        import->RichEdit1->SetSelLength(3);
        import->ToolButton10Click();
        TFindDialog *find = import->findReplace()->FindDialog1();
        findShown = find->isVisible();
        find->setFindText(QStringLiteral("one"));
        find->findButton()->click();
        firstHit = import->RichEdit1->SelStart();
        // Not found: this window's message, the caret to index 1.
        find->findButton()->click();
        import->ToolButton11Click();
        TReplaceDialog *replace = import->findReplace()->ReplaceDialog1();
        replace->setFindText(QStringLiteral("TWO"));
        replace->setReplaceText(QStringLiteral("2"));
        replace->replaceAllButton()->click();
        return int(QDialog::Rejected);
    });
    f.prompts.expectMessage(QStringLiteral("Search string not found!"));
    import->iLanguage = 1;
    import->Execute();
    QVERIFY(f.prompts.done());
    QVERIFY(findShown);
    QCOMPARE(firstHit, 13);
    QCOMPARE(import->RichEdit1->Text(), QStringLiteral("one 2\r\n2 one"));
    const auto &seen = f.prompts.seen();
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.last().title, QStringLiteral("Import"));
}

QTEST_MAIN(tst_FormGrid)
#include "tst_formgrid.moc"
