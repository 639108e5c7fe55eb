// Line commands: the comment edits against hand-made results, and the commands on an
// editor whose lines end in mixed breaks, where every line not touched keeps its own.

#include "editor/synmemo.h"
#include "schemes/commentmarkers.h"
#include "texttools/documentformat.h"
#include "texttools/linecommands.h"
#include "texttools/linecomments.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLineCommands : public QObject
{
    Q_OBJECT

private slots:
    void toggleComments_data();
    void toggleComments();
    void everySchemeHasAMarker();
    void commandsKeepOtherBreaks_data();
    void commandsKeepOtherBreaks();
    void lineBreaksChosen();
    void formatText_data();
    void formatText();
};

void TestLineCommands::toggleComments_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("on at the smallest indentation")
        << QStringList{"  if (a)", "    b();", "", "  c();"} << "//"
        << "" << QStringList{"  // if (a)", "  //   b();", "", "  // c();"};
    QTest::newRow("off, with the space")
        << QStringList{"  // if (a)", "  //   b();", "", "  //c();"} << "//"
        << "" << QStringList{"  if (a)", "    b();", "", "  c();"};
    QTest::newRow("one line not commented: all on") << QStringList{"# a", "b"} << "#"
                                                    << "" << QStringList{"# # a", "# b"};
    QTest::newRow("block marker on")
        << QStringList{"<p>", "\t<b>x</b>  "} << "<!--"
        << "-->" << QStringList{"<!-- <p> -->", "<!-- \t<b>x</b> -->  "};
    QTest::newRow("block marker off")
        << QStringList{"<!-- <p> -->", "\t<!--<b>x</b>-->  "} << "<!--"
        << "-->" << QStringList{"<p>", "\t<b>x</b>  "};
    QTest::newRow("empty block comment off") << QStringList{"/* */"} << "/*"
                                             << "*/" << QStringList{""};
    QTest::newRow("non-ASCII") << QStringList{"ä = 1 -- ü"} << "--"
                               << "" << QStringList{"-- ä = 1 -- ü"};
    QTest::newRow("blank lines only") << QStringList{"", "  "} << "//"
                                      << "" << QStringList{"", "  "};
    QTest::newRow("no marker") << QStringList{"a"} << ""
                               << "" << QStringList{"a"};
}

void TestLineCommands::toggleComments()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QStringList, expected);
    const CommentMarker marker{start, end};
    QCOMPARE(applyLineEdits(lines, toggleCommentEdits(lines, marker)), expected);
}

void TestLineCommands::everySchemeHasAMarker()
{
    for (const SchemeEntry &entry : schemeCatalogue()) {
        const CommentMarker marker = commentMarkerOfHighlighter(entry.highlighter);
        QCOMPARE(marker.start.isEmpty(), entry.scheme == Scheme::None);
    }
    QCOMPARE(commentMarkerOfHighlighter(u"SynCppSyn1").start, QStringLiteral("//"));
    QCOMPARE(commentMarkerOfHighlighter(u"nothing").start, QString());
}

void TestLineCommands::commandsKeepOtherBreaks_data()
{
    QTest::addColumn<int>("command"); // 0 comment, 1 duplicate, 2 up, 3 down, 4 delete
    QTest::addColumn<int>("first");   // selected lines, 0-based
    QTest::addColumn<int>("last");
    QTest::addColumn<QByteArray>("expected");

    // The file: a CR LF, b LF, c CR, d CR LF, e (no break); CR LF is the dominant break.
    QTest::newRow("comment b and c") << 0 << 1 << 2 << QByteArray("a\r\n// b\n// c\rd\r\ne");
    QTest::newRow("duplicate c") << 1 << 2 << 2 << QByteArray("a\r\nb\nc\r\nc\rd\r\ne");
    QTest::newRow("c up") << 2 << 2 << 2 << QByteArray("a\r\nc\r\nb\nd\r\ne");
    QTest::newRow("b down") << 3 << 1 << 1 << QByteArray("a\r\nc\rb\r\nd\r\ne");
    QTest::newRow("delete b and c") << 4 << 1 << 2 << QByteArray("a\r\nd\r\ne");
    QTest::newRow("delete the last line") << 4 << 4 << 4 << QByteArray("a\r\nb\nc\rd");
}

void TestLineCommands::commandsKeepOtherBreaks()
{
    QFETCH(int, command);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QByteArray, expected);
    const QByteArray original("a\r\nb\nc\rd\r\ne");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    TSynMemo editor;
    QVERIFY(editor.Lines().LoadFromFile(path));
    LineCommands commands(editor, [] { return CommentMarker{QStringLiteral("//"), {}}; });
    // The selection from the start of `first` to the middle of `last`.
    editor.SetSelStart(editor.RowColToCharIndex(1, first + 1));
    editor.SetSelLength(editor.RowColToCharIndex(first == last ? 1 : 2, last + 1) -
                        editor.SelStart());
    const QList<std::function<void()>> run = {
        [&] { commands.ToggleComment(); }, [&] { commands.Duplicate(); },
        [&] { commands.MoveUp(); }, [&] { commands.MoveDown(); }, [&] { commands.DeleteLines(); }};
    run[command]();
    QByteArray bytes;
    const auto read = [&] {
        QVERIFY(editor.Lines().SaveToFile(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        bytes = file.readAll();
        file.close();
    };
    read();
    QCOMPARE(bytes, expected);
    // One undo step takes it all back.
    editor.Undo();
    read();
    QCOMPARE(bytes, original);
}

// A mixed file set to one kind of break is written with it on every line.
void TestLineCommands::lineBreaksChosen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("a\r\nb\nc\rd");
    file.close();
    TSynMemo editor;
    QVERIFY(editor.Lines().LoadFromFile(path));
    editor.SetModified(false); // as opening a file leaves it
    int changes = 0;
    DocumentFormat format(editor, {nullptr, [&] { ++changes; }});
    QCOMPARE(format.statusText(1), QStringLiteral("UTF-8 \u00B7 mixed"));
    QVERIFY(!editor.Modified());
    format.SetLineBreak(LineBreak::Cr);
    QVERIFY(editor.Modified());
    QCOMPARE(changes, 1);
    QCOMPARE(format.statusText(0), QStringLiteral("UTF-8 \u00B7 CR"));
    QVERIFY(editor.Lines().SaveToFile(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("a\rb\rc\rd"));
    file.close();
    // New lines take the chosen break too.
    editor.SetSelStart(editor.TextLength());
    editor.SetSelText(QStringLiteral("\r\ne"));
    QVERIFY(editor.Lines().SaveToFile(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("a\rb\rc\rd\re"));
}

void TestLineCommands::formatText_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("lineBreak");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-16 le, cr lf") << int(TextEncoding::Utf16LE) << int(LineBreak::CrLf)
                                      << QStringLiteral("UTF-16 LE \u00B7 CR LF");
    QTest::newRow("utf-8 mark, lf") << int(TextEncoding::Utf8WithMark) << int(LineBreak::Lf)
                                    << QStringLiteral("UTF-8 BOM \u00B7 LF");
    QTest::newRow("windows-1252, cr") << int(TextEncoding::Windows1252) << int(LineBreak::Cr)
                                      << QStringLiteral("Windows-1252 \u00B7 CR");
}

void TestLineCommands::formatText()
{
    QFETCH(int, encoding);
    QFETCH(int, lineBreak);
    QFETCH(QString, text);
    TextFormat format;
    format.encoding = TextEncoding(encoding);
    format.lineBreak = LineBreak(lineBreak);
    QCOMPARE(DocumentFormat::statusText(format, true, 1), text);
}

QTEST_MAIN(TestLineCommands)
#include "tst_linecommands.moc"
