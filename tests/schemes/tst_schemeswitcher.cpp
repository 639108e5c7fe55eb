// Switching schemes on the main window's editor: by file name, by menu, by pasted text;
// the colour step per highlighter; proposals reaching the pop-up end to end.

#include "editor/completion.h"
#include "editor/highlighters.h"
#include "editor/synmemo.h"
#include "schemes/schemeswitcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <Qsci/qscilexer.h>

#include "tests/support/timebudget.h"

namespace {

constexpr std::array<int, 4> kColours = {0x0000A1, 0x0000A2, 0x0000A3, 0x0000A4};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

int colourOf(QsciLexer *lexer, int style)
{
    return bgrFromColour(lexer->color(style));
}

} // namespace

class tst_SchemeSwitcher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void byFileName_data();
    void byFileName();
    void menuKeepsFilesAndTrigger();
    void noneKeepsProposals();
    void ctrlSpaceWithoutProposals();
    void colourStep_data();
    void colourStep();
    void keyUp_data();
    void keyUp();
    void blankTextRunsFileNew();
    void unreadableFileIsReported();
    void completionEndToEnd();
    void hugePairSwitchesFast();

private:
    QString highlighterNow() const { return highlighterName(m_editor->Highlighter()); }
    void writePair(const QString &prefix, const QByteArray &items, const QByteArray &inserts)
    {
        writeFile(m_data + prefix + "Items.src", items);
        writeFile(m_data + prefix + "Inserts.src", inserts);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_data;
    TSynMemo *m_editor = nullptr;
    TSynCompletionProposal *m_completion = nullptr;
    Highlighters *m_highlighters = nullptr;
    SchemeSwitcher *m_switcher = nullptr;
    QString m_itemFile, m_insFile;
    QMap<int, QString> m_panels;
    QStringList m_errors;
    int m_caretShown = 0;
    int m_fileNew = 0;
};

void tst_SchemeSwitcher::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_data = m_dir->path() + "/qldata/";
    QVERIFY(QDir().mkpath(m_data));
    writePair("Pas", "begin\r\nprocedure\r\nwriteln",
              "begin$retend;\r\nprocedure P;\r\nWriteLn();");
    writePair("Html", "div\r\nspan", "div>$ret</div>\r\nspan></span>");
    writePair("Js", "alert", "alert();");

    m_editor = new TSynMemo;
    m_editor->resize(600, 400);
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor));
    m_editor->setFocus();
    m_completion = new TSynCompletionProposal;
    m_highlighters = new Highlighters;
    m_itemFile.clear();
    m_insFile.clear();
    m_panels.clear();
    m_errors.clear();
    m_caretShown = m_fileNew = 0;

    SchemeSwitcher::Host host;
    host.editor = m_editor;
    host.completion = m_completion;
    host.highlighters = m_highlighters;
    host.dataFolder = [this] { return m_data; };
    host.itemFile = &m_itemFile;
    host.insFile = &m_insFile;
    host.setPanelText = [this](int panel, const QString &text) { m_panels[panel] = text; };
    host.proposalHint = [] { return QStringLiteral("CTRL+Space for code proposals"); };
    host.colours = [] { return kColours; };
    host.showFileError = [this](const QString &path, const QString &error) {
        m_errors << path + " | " + error;
    };
    host.showCaretPosition = [this] { ++m_caretShown; };
    host.fileNew = [this] {
        ++m_fileNew;
        m_editor->SetHighlighter(nullptr); // as File new does
    };
    m_switcher = new SchemeSwitcher(host);
}

void tst_SchemeSwitcher::cleanup()
{
    delete m_switcher;
    delete m_completion;
    delete m_editor;
    delete m_highlighters;
}

void tst_SchemeSwitcher::byFileName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("highlighter");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("itemFile"); // name in the data folder; empty: none
    QTest::addColumn<bool>("attached");
    QTest::addColumn<QString>("trigger");

    QTest::newRow("Pascal with pair") << "/x/Unit1.PAS"
                                      << "SynPasSyn1"
                                      << "Pascal"
                                      << "PasItems.src" << true << "";
    QTest::newRow("HTML sets <") << "Page.PHTML"
                                 << "SynHTMLSyn1"
                                 << "HTML"
                                 << "HtmlItems.src" << true << "<";
    QTest::newRow("XML without pair: no <") << "style.xsl"
                                            << "SynXMLSyn1"
                                            << "XML"
                                            << "XmlItems.src" << false << "";
    QTest::newRow("C# shares the C pair") << "prog.cs"
                                          << "SynCSSyn1"
                                          << "C#"
                                          << "CItems.src" << false << "";
    QTest::newRow("none") << "notes.txt"
                          << ""
                          << "TXT"
                          << "" << false << "";
    QTest::newRow("untitled") << ""
                              << ""
                              << "TXT"
                              << "" << false << "";
}

void tst_SchemeSwitcher::byFileName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, highlighter);
    QFETCH(QString, panel2);
    QFETCH(QString, itemFile);
    QFETCH(bool, attached);
    QFETCH(QString, trigger);

    // Start from an attached JavaScript scheme chosen by menu.
    m_switcher->MenuClick(Scheme::JavaScript);
    m_completion->SetTriggerChars(".");
    QVERIFY(m_switcher->IsHTML(fileName));
    QCOMPARE(highlighterNow(), highlighter);
    QCOMPARE(m_panels[2], panel2);
    QCOMPARE(m_itemFile, itemFile.isEmpty() ? QString() : m_data + itemFile);
    QCOMPARE(m_insFile, itemFile.isEmpty()
                            ? QString()
                            : m_data + QString(itemFile).replace("Items", "Inserts"));
    QCOMPARE(m_completion->Editor() == m_editor, attached);
    QCOMPARE(m_completion->TriggerChars(), trigger);
    QCOMPARE(m_panels[4], attached ? u"CTRL+Space for code proposals"_qs : QString());
    QVERIFY(m_errors.isEmpty());
}

void tst_SchemeSwitcher::menuKeepsFilesAndTrigger()
{
    m_switcher->IsHTML("index.html");
    QCOMPARE(m_completion->TriggerChars(), u"<");
    // To Pascal by menu: the pair and hint follow, ItemFile and "<" stay.
    m_switcher->MenuClick(Scheme::Pascal);
    QCOMPARE(highlighterNow(), u"SynPasSyn1");
    QCOMPARE(m_panels[2], u"Pascal");
    QCOMPARE(m_itemFile, m_data + "HtmlItems.src");
    QCOMPARE(m_completion->TriggerChars(), u"<");
    QCOMPARE(m_completion->ItemList(), QStringList({"begin", "procedure", "writeln"}));
    QCOMPARE(m_panels[4], u"CTRL+Space for code proposals");
    // A scheme without a pair: attached with empty lists, no hint.
    m_switcher->MenuClick(Scheme::Ruby);
    QCOMPARE(m_panels[2], u"Ruby");
    QCOMPARE(m_completion->Editor(), m_editor);
    QVERIFY(m_completion->ItemList().isEmpty());
    QCOMPARE(m_panels[4], QString());
    QCOMPARE(m_insFile, m_data + "HtmlInserts.src");
}

void tst_SchemeSwitcher::noneKeepsProposals()
{
    m_switcher->IsHTML("a.pas");
    m_switcher->None1Click();
    QVERIFY(!m_editor->Highlighter());
    QCOMPARE(m_panels[2], u"TXT");
    QCOMPARE(m_panels[4], QString());
    QCOMPARE(m_completion->Editor(), m_editor);
    // Ctrl+Space still offers the Pascal proposals.
    QTest::keyClicks(m_editor, "wri");
    QTest::keyClick(m_editor, Qt::Key_Space, Qt::ControlModifier);
    QVERIFY(m_completion->IsActive());
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->Text(), u"WriteLn();");
}

void tst_SchemeSwitcher::ctrlSpaceWithoutProposals()
{
    // Before any scheme with proposal files: Ctrl+Space does nothing at all.
    QTest::keyClicks(m_editor, "be");
    QTest::keyClick(m_editor, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(m_editor->Text(), u"be");
    m_switcher->IsHTML("a.rb"); // no Ruby pair: detached again
    QTest::keyClick(m_editor, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(m_editor->Text(), u"be");
    QVERIFY(!m_completion->IsActive());
    QTest::keyClick(m_editor, Qt::Key_Space);
    QCOMPARE(m_editor->Text(), u"be ");
}

void tst_SchemeSwitcher::colourStep_data()
{
    QTest::addColumn<QString>("name");
    // The colour each kind's main style has after the step; -1: left as it was.
    QTest::addColumn<int>("keyword");
    QTest::addColumn<int>("identifier");
    QTest::addColumn<int>("comment");
    QTest::addColumn<int>("symbol");

    const int k = kColours[0], p = kColours[1], c = kColours[2], s = kColours[3];
    for (const char *name : {"SynCppSyn1", "SynJavaSyn1", "SynPasSyn1", "SynVBSyn1",
                             "SynJScriptSyn1", "SynPHPSyn1", "SynVBScriptSyn1", "SynXMLSyn1",
                             "SynPerlSyn1", "SynSQLSyn1", "SynAsmSyn1", "SynFortranSyn1"})
        QTest::newRow(name) << name << k << p << c << s;
    QTest::newRow("SynPythonSyn1") << "SynPythonSyn1" << k << -1 << c << s;
    QTest::newRow("SynRubySyn1") << "SynRubySyn1" << k << p << c << -1;
    QTest::newRow("SynCSSyn1") << "SynCSSyn1" << k << p << c << -1;
    QTest::newRow("SynHTMLSyn1") << "SynHTMLSyn1" << k << p << c << -1;
    QTest::newRow("SynCssSyn1") << "SynCssSyn1" << k << -1 << c << -1;
}

void tst_SchemeSwitcher::colourStep()
{
    QFETCH(QString, name);
    QFETCH(int, keyword);
    QFETCH(int, identifier);
    QFETCH(int, comment);
    QFETCH(int, symbol);

    QsciLexer *lexer = m_highlighters->byName(name);
    const QList<std::pair<int, int>> expected = {{AttributeKind::Keyword, keyword},
                                                 {AttributeKind::Identifier, identifier},
                                                 {AttributeKind::Comment, comment},
                                                 {AttributeKind::Symbol, symbol}};
    QMap<int, int> before;
    for (int style = 0; style < 128; ++style)
        before[style] = colourOf(lexer, style);
    m_editor->SetHighlighter(lexer);
    m_switcher->SetHColors();
    for (const auto &[kind, colour] : expected) {
        for (int style : kindStyles(lexer, kind))
            QCOMPARE(colourOf(lexer, style), colour < 0 ? before[style] : colour);
    }
    if (name == u"SynHTMLSyn1") {
        QCOMPARE(colourOf(lexer, namedStyles(lexer, u"ValueAttri").first()), kColours[3]);
        QCOMPARE(colourOf(lexer, namedStyles(lexer, u"AndAttri").first()), kColours[0]);
    }
    if (name == u"SynCssSyn1") {
        QCOMPARE(colourOf(lexer, namedStyles(lexer, u"PropertyAttri").first()), kColours[1]);
        QCOMPARE(colourOf(lexer, namedStyles(lexer, u"ValueAttri").first()), kColours[3]);
    }
    if (name == u"SynPasSyn1") // the asm colour survives
        QCOMPARE(colourOf(lexer, 14), 0x008000);
    if (name == u"SynRubySyn1") // so does the teal of Ruby's symbols
        QCOMPARE(colourOf(lexer, 10), 0x808000);
}

void tst_SchemeSwitcher::keyUp_data()
{
    QTest::addColumn<QString>("scheme"); // "" for none, else a file name to open first
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("highlighter");

    const int ctrl = int(Qt::ControlModifier);
    const QString pascal = "procedure P;\r\nbegin\r\nend;";
    QTest::newRow("Ctrl+V Pascal") << "" << pascal << int(Qt::Key_V) << ctrl << "SynPasSyn1";
    QTest::newRow("Ctrl+V HTML") << ""
                                 << "<html><body>" << int(Qt::Key_V) << ctrl << "SynHTMLSyn1";
    QTest::newRow("Ctrl+V Perl") << ""
                                 << "#!/usr/bin/perl\r\nprint 1;" << int(Qt::Key_V) << ctrl
                                 << "SynPerlSyn1";
    QTest::newRow("Ctrl released first") << "" << pascal << int(Qt::Key_V) << 0 << "";
    QTest::newRow("other key") << "" << pascal << int(Qt::Key_B) << ctrl << "";
    QTest::newRow("nothing recognised") << ""
                                        << "plain words" << int(Qt::Key_V) << ctrl << "";
    QTest::newRow("scheme kept") << "a.js" << pascal << int(Qt::Key_V) << ctrl << "SynJScriptSyn1";
    QTest::newRow("None is detected again")
        << "notes.txt" << pascal << int(Qt::Key_V) << ctrl << "SynPasSyn1";
}

void tst_SchemeSwitcher::keyUp()
{
    QFETCH(QString, scheme);
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, highlighter);

    if (!scheme.isEmpty())
        m_switcher->IsHTML(scheme);
    m_editor->SetText(text);
    m_switcher->SynMemo1KeyUp(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_caretShown, 1);
    QCOMPARE(m_fileNew, 0);
    QCOMPARE(highlighterNow(), highlighter);
}

void tst_SchemeSwitcher::blankTextRunsFileNew()
{
    m_switcher->IsHTML("a.pas");
    m_editor->SetText(" \r\n\t\r\n");
    m_switcher->SynMemo1KeyUp(Qt::Key_Delete, {});
    QCOMPARE(m_fileNew, 1);
    m_editor->SetText("");
    m_switcher->SynMemo1KeyUp(Qt::Key_Backspace, {});
    QCOMPARE(m_fileNew, 2);
    m_editor->SetText("\r\n\r\nx");
    m_switcher->SynMemo1KeyUp(Qt::Key_X, {});
    QCOMPARE(m_fileNew, 2);
    QCOMPARE(m_caretShown, 3);
}

void tst_SchemeSwitcher::unreadableFileIsReported()
{
    QVERIFY(QFile::remove(m_data + "PasInserts.src"));
    QVERIFY(QDir().mkdir(m_data + "PasInserts.src"));
    QVERIFY(m_switcher->IsHTML("a.pas"));
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.first().startsWith(m_data + "PasInserts.src | "));
    // The switch is carried through; the pop-up stays detached.
    QCOMPARE(highlighterNow(), u"SynPasSyn1");
    QCOMPARE(m_itemFile, m_data + "PasItems.src");
    QVERIFY(!m_completion->Editor());
    QCOMPARE(colourOf(m_editor->Highlighter(), 9), kColours[0]);
}

void tst_SchemeSwitcher::completionEndToEnd()
{
    m_switcher->IsHTML("page.htm");
    QTest::keyClicks(m_editor, "<");
    QTRY_VERIFY_WITH_TIMEOUT(m_completion->IsActive(), 2000);
    QTest::keyClicks(m_editor, "D");
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0}));
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->Text(), u"<div>\r\n</div>"); // LF inside, CR LF in Text
    m_editor->Undo();
    QCOMPARE(m_editor->Text(), u"<D");

    // Pascal by menu after HTML: "<" still opens the list, now with Pascal's keywords.
    m_switcher->MenuClick(Scheme::Pascal);
    m_editor->SetText(QString());
    QTest::keyClicks(m_editor, "a <");
    QTRY_VERIFY_WITH_TIMEOUT(m_completion->IsActive(), 2000);
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({0, 1, 2}));
    QTest::keyClick(m_editor, Qt::Key_Return);
    QCOMPARE(m_editor->Text(), u"a <begin\r\nend;");
}

void tst_SchemeSwitcher::hugePairSwitchesFast()
{
    QByteArray items, inserts;
    for (int i = 0; i < 100000; ++i) {
        items += "keyword" + QByteArray::number(i) + "\r\n";
        inserts += "code " + QByteArray::number(i) + "$retmore code$ret\r\n";
    }
    writePair("Sql", items, inserts);
    SpeedTimer timer;
    timer.start();
    m_switcher->IsHTML("big.sql");
    const qint64 byName = timer.elapsed();
    timer.restart();
    m_switcher->MenuClick(Scheme::Sql);
    const qint64 byMenu = timer.elapsed();
    qInfo("switching with a 100,000-line pair: by file name %lld ms, by menu %lld ms", byName,
          byMenu);
    QCOMPARE(m_completion->ItemList().size(), 100001); // the final break gives an empty entry
    QVERIFY(byName < timeBudget(300));
    QVERIFY(byMenu < timeBudget(300));

    timer.restart();
    QTest::keyClicks(m_editor, "keyword5");
    QTest::keyClick(m_editor, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClicks(m_editor, "4321");
    QCOMPARE(m_completion->ShownIndexes(), QList<int>({54321}));
    QVERIFY(timer.elapsed() < timeBudget(150));
}

QTEST_MAIN(tst_SchemeSwitcher)
#include "tst_schemeswitcher.moc"
