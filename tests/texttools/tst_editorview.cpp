// The view aids: folding and brace matching on the starter text of every scheme, the
// switches kept in the preferences, the zoom text and the long-line column entry.

#include "base/prompts.h"
#include "editor/highlighters.h"
#include "editor/synmemo.h"
#include "schemes/schemecatalogue.h"
#include "store/preferences.h"
#include "tests/support/scriptedprompts.h"
#include "texttools/editorview.h"
#include "texttools/occurrencemarker.h"

#include <QElapsedTimer>

#include <QAction>
#include <QFile>
#include <QTest>

namespace {

const QString kStarterFolder = QStringLiteral(QUILLORA_SOURCE_DIR "/schemes/proposals/");

// The blocks of the scheme's starter proposals, one after the other, each as inserted
// after the trigger character `trigger` ("<" for markup).
QString starterText(const SchemeEntry &entry, const QString &trigger)
{
    QFile file(kStarterFolder + proposalInsertsFileName(entry));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QStringList blocks = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString &block : blocks)
        block = trigger + block.replace(QStringLiteral("$ret"), QStringLiteral("\n"));
    return blocks.join(u'\n');
}

} // namespace

class TestEditorView : public QObject
{
    Q_OBJECT

private slots:
    void foldingAndBraces_data();
    void foldingAndBraces();
    void switchesKeptInPreferences();
    void zoomText_data();
    void zoomText();
    void longLineColumn_data();
    void longLineColumn();
    void occurrences();
    void occurrencesFastOnLargeText();
};

void TestEditorView::foldingAndBraces_data()
{
    QTest::addColumn<QString>("highlighter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("folds");
    // The highlighters that know blocks; the others (assembler, Fortran, Visual Basic,
    // VBScript) leave the fold margin empty.
    const QList<Scheme> folding = {Scheme::Cpp,        Scheme::Css,    Scheme::Html, Scheme::Java,
                                   Scheme::JavaScript, Scheme::Pascal, Scheme::Perl, Scheme::Php,
                                   Scheme::Python,     Scheme::Ruby,   Scheme::Sql,  Scheme::Xml,
                                   Scheme::CSharp};
    const QList<Scheme> markup = {Scheme::Html, Scheme::Xml};
    for (const SchemeEntry &entry : schemeCatalogue()) {
        if (entry.highlighter.isEmpty() || entry.prefix.isEmpty())
            continue;
        QTest::newRow(entry.name.toString().toUtf8().constData())
            << entry.highlighter.toString()
            << starterText(entry, markup.contains(entry.scheme) ? QStringLiteral("<") : QString())
            << folding.contains(entry.scheme);
    }
}

void TestEditorView::foldingAndBraces()
{
    QFETCH(QString, highlighter);
    QFETCH(QString, text);
    QFETCH(bool, folds);
    QVERIFY(!text.isEmpty());
    Highlighters highlighters;
    TSynMemo editor;
    editor.SetHighlighter(highlighters.byName(highlighter));
    editor.SetLfText(text);
    editor.SetFoldMargin(true);
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const long lines = editor.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    int headers = 0;
    for (long line = 0; line < lines; ++line) {
        if (editor.SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, line) &
            QsciScintillaBase::SC_FOLDLEVELHEADERFLAG)
            ++headers;
    }
    const auto hiddenLines = [&] {
        int hidden = 0;
        for (long line = 0; line < lines; ++line)
            hidden += editor.SendScintilla(QsciScintillaBase::SCI_GETLINEVISIBLE, line) ? 0 : 1;
        return hidden;
    };
    editor.FoldAll(true);
    if (folds) {
        QVERIFY2(headers > 0, "no block found");
        QVERIFY(hiddenLines() > 0);
    }
    editor.FoldAll(false);
    QCOMPARE(hiddenLines(), 0);
    // Switching the margin off unfolds what was folded.
    editor.FoldAll(true);
    editor.SetFoldMargin(false);
    QCOMPARE(hiddenLines(), 0);

    // Going to the matching brace, from an opening one and back.
    for (const QString &pair : {QStringLiteral("()"), QStringLiteral("{\n}")}) {
        const qsizetype at = text.indexOf(pair);
        if (at < 0)
            continue;
        const QByteArray before = text.first(at).toUtf8();
        const long open = long(before.size());
        const long close = open + long(pair.size()) - 1;
        editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, open);
        editor.GoToMatchingBrace();
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), close);
        editor.GoToMatchingBrace();
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), open);
    }
}

void TestEditorView::switchesKeptInPreferences()
{
    Preferences preferences;
    ScriptedPrompts prompts;
    TSynMemo editor;
    QAction whitespace;
    int saves = 0;
    EditorView::Host host;
    host.prompts = &prompts;
    host.language = [] { return 1; };
    host.preferences = [&]() -> Preferences & { return preferences; };
    host.savePreferences = [&] { ++saves; };
    host.action = [&](const QString &name) {
        return name == u"ShowWhitespace1" ? &whitespace : nullptr;
    };
    EditorView view(editor, host);
    view.load();
    QVERIFY(!view.showWhitespace());
    QVERIFY(view.foldMargin());
    QVERIFY(whitespace.isCheckable() && !whitespace.isChecked());

    view.ToggleWhitespace();
    view.ToggleFoldMargin();
    prompts.expectInput(QStringLiteral(" 100 "));
    view.AskLongLineColumn();
    QVERIFY(prompts.done());
    QCOMPARE(saves, 3);
    QVERIFY(whitespace.isChecked());
    QCOMPARE(editor.whitespaceVisibility(), QsciScintilla::WsVisible);
    QVERIFY(!editor.FoldMargin());
    QCOMPARE(preferences.value(QStringLiteral("view.whitespace")), QStringLiteral("1"));
    QCOMPARE(preferences.value(QStringLiteral("view.foldmargin")), QStringLiteral("0"));
    QCOMPARE(preferences.intValue(QStringLiteral("view.longlinecolumn"), -1), 100);

    // A second view on the same preferences starts where the first one left off.
    TSynMemo other;
    EditorView again(other, host);
    again.load();
    QVERIFY(again.showWhitespace());
    QVERIFY(!again.foldMargin());
    QCOMPARE(again.longLineColumn(), 100);
    QCOMPARE(other.edgeMode(), QsciScintilla::EdgeMultipleLines);

    // An invalid column is refused and changes nothing.
    prompts.expectInput(QStringLiteral("wide")).expectMessage(QStringLiteral("Invalid"));
    again.AskLongLineColumn();
    QVERIFY(prompts.done());
    QCOMPARE(again.longLineColumn(), 100);
}

void TestEditorView::zoomText_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("font");
    QTest::addColumn<QString>("text");
    QTest::newRow("normal size") << 0 << 10.0 << QString();
    QTest::newRow("larger") << 2 << 10.0 << QStringLiteral("Zoom: 120 %");
    QTest::newRow("smaller") << -1 << 9.0 << QStringLiteral("Zoom: 89 %");
    QTest::newRow("never below one point") << -10 << 9.0 << QStringLiteral("Zoom: 11 %");
}

void TestEditorView::zoomText()
{
    QFETCH(int, points);
    QFETCH(double, font);
    QFETCH(QString, text);
    QCOMPARE(EditorView::zoomText(points, font), text);
}

void TestEditorView::longLineColumn_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("column");
    QTest::newRow("plain") << "80" << 80;
    QTest::newRow("blanks") << " 72 " << 72;
    QTest::newRow("off") << "0" << 0;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("too wide") << "1001" << -1;
    QTest::newRow("text") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestEditorView::longLineColumn()
{
    QFETCH(QString, typed);
    QFETCH(int, column);
    QCOMPARE(EditorView::parseColumn(typed), column);
}

void TestEditorView::occurrences()
{
    TSynMemo editor;
    OccurrenceMarker marker(editor);
    editor.SetText(QStringLiteral("foo bar foo\r\nfoofoo foo_x Foo foo"));
    const auto markedAt = [&](int index) {
        return editor.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL,
                                    long(editor.indexToPosition(index))) != 0;
    };
    // The word at the caret: whole words, with their case.
    editor.SetSelStart(1);
    QCOMPARE(marker.markNow(), 3);
    QVERIFY(markedAt(8) && !markedAt(13) && !markedAt(20));
    // A selection: every occurrence.
    editor.SetSelStart(1);
    editor.SetSelLength(2);
    QCOMPARE(marker.markNow(), 7); // "Foo" too
    // The caret just after a word takes that word.
    editor.SetSelStart(7);
    QCOMPARE(marker.markNow(), 0); // "bar", found once: no mark
    // An edit clears the marks at once; the idle timer marks again.
    editor.SetSelStart(0);
    QCOMPARE(marker.markNow(), 3);
    editor.SetSelText(QStringLiteral("x"));
    QVERIFY(!markedAt(9));
    editor.SetSelStart(10);
    QTRY_VERIFY(markedAt(9)); // "foo" again, once the caret rests
}

void TestEditorView::occurrencesFastOnLargeText()
{
    // 50 MB of lines that all hold the word: only the part around the view is searched.
    const QString line = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota\n");
    QString text;
    text.reserve(50 * 1024 * 1024 + line.size());
    while (text.size() < 50 * 1024 * 1024)
        text += line;
    TSynMemo editor;
    editor.resize(600, 400);
    editor.SetLfText(text);
    editor.SetSelStart(int(editor.TextLength() / 2));
    OccurrenceMarker marker(editor);
    QElapsedTimer clock;
    clock.start();
    const int marks = marker.markNow();
    QVERIFY(marks > 0 && marks < 1000);
    QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
    // The word at the caret, halfway down, is among the marks.
    const long caret = editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long word = editor.SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, caret, 1L);
    QVERIFY(editor.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL, word) != 0);
}

QTEST_MAIN(TestEditorView)
#include "tst_editorview.moc"
