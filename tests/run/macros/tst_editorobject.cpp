// The Editor object through both engines, on a document without a window: each row runs
// a VBScript and a JScript macro on the same text and expects the same result.

#include "run/editorobject.h"
#include "run/jscript/jscriptengine.h"
#include "run/textdocument.h"
#include "run/vbscript/vbscriptengine.h"

#include <QTest>

using namespace quillora;

namespace {

// Runs `code` on a document holding `before` (LF breaks); the document's lines after it,
// joined by LF, or the script error. `dispatched`: every call goes through a dispatch
// function, as in the window, where line writes are collected until another call.
QString runMacro(ScriptEngine &engine, const QString &code, const QString &before,
                 bool dispatched)
{
    TextDocument document;
    document.setPlainText(before);
    EditorObject editor;
    if (dispatched)
        editor.setDocument(&document, [](const std::function<void()> &job) { job(); });
    else
        editor.setDocument(&document);
    engine.addObject(QStringLiteral("Editor"), &editor);
    const bool ok = engine.addCode(code);
    editor.flush();
    if (!ok)
        return QStringLiteral("error: ") + engine.error().description;
    return document.lines(0, document.lineCount()).join(u'\n');
}

} // namespace

class TestEditorObject : public QObject
{
    Q_OBJECT
private slots:
    void members_data();
    void members();
    void lineCacheSeesEdits();
};

void TestEditorObject::members_data()
{
    QTest::addColumn<QString>("vbs");
    QTest::addColumn<QString>("js");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("Line read and write")
        << "For i = 1 To Editor.LineCount: Editor.Line(i) = i & Editor.Line(i): Next"
        << "for (var i = 1; i <= Editor.LineCount; i++) Editor.Line(i, i + Editor.Line(i));"
        << "a\nb"
        << "1a\n2b";
    QTest::newRow("Line beyond the text reads empty, writes nothing")
        << "Editor.Line(5) = \"x\": Editor.Line(1) = \"[\" & Editor.Line(0) & Editor.Line(9) & "
           "\"]\""
        << "Editor.Line(5, 'x'); Editor.Line(1, '[' + Editor.Line(0) + Editor.Line(9) + ']');"
        << "a\nb"
        << "[]\nb";
    QTest::newRow("a Line with breaks becomes lines")
        << "Editor.Line(1) = \"x\" & vbCrLf & \"y\": Editor.Line(3) = Editor.LineCount"
        << "Editor.Line(1, 'x\\r\\ny'); Editor.Line(3, String(Editor.LineCount));"
        << "a\nb"
        << "x\ny\n3";
    QTest::newRow("GotoLine, CaretColumn, InsertText")
        << "Editor.GotoLine 2: Editor.CaretColumn = 2: Editor.InsertText \"X\": "
           "Editor.InsertText Editor.CaretLine & \",\" & Editor.CaretColumn"
        << "Editor.GotoLine(2); Editor.CaretColumn = 2; Editor.InsertText('X'); "
           "Editor.InsertText(Editor.CaretLine + ',' + Editor.CaretColumn);"
        << "ab\ncd"
        << "ab\ncX2,3d";
    QTest::newRow("InsertText with a break")
        << "Editor.SelStart = 1: Editor.InsertText \"1\" & vbLf & \"2\""
        << "Editor.SelStart = 1; Editor.InsertText('1\\n2');"
        << "ab"
        << "a1\n2b";
    QTest::newRow("SelStart, SelLength, SelText across a break")
        << "Editor.SelStart = 1: Editor.SelLength = 4: Editor.Text = \"<\" & Editor.SelText & \">\""
        << "Editor.SelStart = 1; Editor.SelLength = 4; Editor.Text = '<' + Editor.SelText + '>';"
        << "ab\ncd"
        << "<b\nc>";
    QTest::newRow("ReplaceSelection keeps the new text selected")
        << "Editor.SelStart = 0: Editor.SelLength = 2: Editor.ReplaceSelection \"xyz\": "
           "Editor.ReplaceSelection UCase(Editor.SelText)"
        << "Editor.SelStart = 0; Editor.SelLength = 2; Editor.ReplaceSelection('xyz'); "
           "Editor.ReplaceSelection(Editor.SelText.toUpperCase());"
        << "ab\ncd"
        << "XYZ\ncd";
    QTest::newRow("Find selects the hit, whole word")
        << "If Editor.Find(\"cat\", \"word\") Then Editor.ReplaceSelection \"dog\""
        << "if (Editor.Find('cat', 'word')) Editor.ReplaceSelection('dog');"
        << "concat cat"
        << "concat dog";
    QTest::newRow("Find goes on after the selection, False at the end")
        << "Do While Editor.Find(\"a\"): Editor.InsertText \"#\": Loop"
        << "while (Editor.Find('a')) Editor.InsertText('#');"
        << "aXa\nA"
        << "#X#\n#";
    QTest::newRow("Find with case")
        << "If Not Editor.Find(\"A\", \"case\") Then Editor.Text = \"none\""
        << "if (!Editor.Find('A', 'case')) Editor.Text = 'none';"
        << "aa"
        << "none";
    QTest::newRow("ReplaceAll returns the count")
        << "Editor.Text = Editor.ReplaceAll(\"a\", \"b\") & \":\" & Editor.Text"
        << "Editor.Text = Editor.ReplaceAll('a', 'b') + ':' + Editor.Text;"
        << "aAa\nxa"
        << "4:bbb\nxb";
    QTest::newRow("ReplaceAll with a regular expression")
        << "Editor.ReplaceAll \"(\\w)(\\d)\", \"\\2\\1\", \"regex case\""
        << "Editor.ReplaceAll('(\\\\w)(\\\\d)', '\\\\2\\\\1', 'regex case');"
        << "a1 b2\nc3"
        << "1a 2b\n3c";
    QTest::newRow("ReplaceAll whole words only") << "Editor.ReplaceAll \"in\", \"IN\", \"word\""
                                                 << "Editor.ReplaceAll('in', 'IN', 'word');"
                                                 << "in inside\nin"
                                                 << "IN inside\nIN";
    QTest::newRow("DeleteLines in the middle") << "Editor.DeleteLines 2, 2"
                                               << "Editor.DeleteLines(2, 2);"
                                               << "1\n2\n3\n4"
                                               << "1\n4";
    QTest::newRow("DeleteLines at the end takes the break before") << "Editor.DeleteLines 3"
                                                                   << "Editor.DeleteLines(3);"
                                                                   << "1\n2\n3"
                                                                   << "1\n2";
    QTest::newRow("DeleteLines of everything") << "Editor.DeleteLines 1, 9"
                                               << "Editor.DeleteLines(1, 9);"
                                               << "1\n2"
                                               << "";
    QTest::newRow("RunCommand of text commands")
        << "Editor.RunCommand \"Selectall\": Editor.RunCommand \"LowertoUpper\""
        << "Editor.RunCommand('Selectall'); Editor.RunCommand('LowertoUpper');"
        << "ab\ncd"
        << "AB\nCD";
    QTest::newRow("an unknown command answers False and says why")
        << "If Not Editor.RunCommand(\"Nope\") Then Editor.Text = Editor.LastError"
        << "if (!Editor.RunCommand('Nope')) Editor.Text = Editor.LastError;"
        << "x"
        << "The command Nope is not available here";
    QTest::newRow("no other document in the console's place")
        << "If Not Editor.Open(\"/etc/hostname\") And Not Editor.New And Editor.Save Then "
           "Editor.InsertText \"kept \""
        << "if (!Editor.Open('/etc/hostname') && !Editor.New() && Editor.Save()) "
           "Editor.InsertText('kept ');"
        << "x"
        << "kept x";
    QTest::newRow("Scheme, FileName, Modified")
        << "Editor.Scheme = \"HTML\": Editor.Text = Editor.Scheme & \"|\" & Editor.FileName & "
           "\"|\" & Editor.Modified"
        << "Editor.Scheme = 'HTML'; Editor.Text = Editor.Scheme + '|' + Editor.FileName + '|' + "
           "Editor.Modified;"
        << "x"
        << "HTML||False";
}

void TestEditorObject::members()
{
    QFETCH(QString, vbs);
    QFETCH(QString, js);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QString jsAfter = after;
    jsAfter.replace(QStringLiteral("False"), QStringLiteral("false"));
    for (const bool dispatched : {false, true}) {
        VBScriptEngine vbscript;
        QCOMPARE(runMacro(vbscript, vbs, before, dispatched), after);
        JScriptEngine jscript;
        QCOMPARE(runMacro(jscript, js, before, dispatched), jsAfter);
    }
}

void TestEditorObject::lineCacheSeesEdits()
{
    // Lines read before an edit elsewhere are read again after it; written lines are seen
    // by the next read before they reach the document.
    for (const bool dispatched : {false, true}) {
        VBScriptEngine engine;
        QCOMPARE(runMacro(engine,
                          QStringLiteral("a = Editor.Line(3)\n"
                                         "Editor.DeleteLines 1\n"
                                         "Editor.Line(1) = Editor.Line(2) & a\n"
                                         "Editor.SelStart = 0\n"
                                         "Editor.InsertText Editor.Line(1) & \"-\"\n"),
                          QStringLiteral("1\n2\n3"), dispatched),
                 QStringLiteral("33-33\n3"));
    }
}

QTEST_GUILESS_MAIN(TestEditorObject)
#include "tst_editorobject.moc"
