// quillora-script --macro over a folder: every file read as the editor reads it, written
// back byte for byte in its own encoding and line breaks, only when it changed; one line
// per file; failures reported and the file left alone.

#include "run/macroconsole.h"
#include "run/scriptengine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillora;

namespace {

class SilentHost : public ScriptHost
{
public:
    int messageBox(const QString &, int, const QString &) override { return 1; }
    QString inputBox(const QString &, const QString &, const QString &, bool *cancelled) override
    {
        *cancelled = true;
        return {};
    }
};

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct Run
{
    int code = 0;
    QString output;
};

Run runMacro(MacroConsoleOptions options)
{
    SilentHost host;
    FILE *out = std::tmpfile();
    FILE *err = std::tmpfile();
    Run run;
    run.code = runMacroOverFiles(options, &host, out, err);
    for (FILE *f : {out, err}) {
        std::rewind(f);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            run.output += QString::fromUtf8(buf, qsizetype(n));
        std::fclose(f);
    }
    return run;
}

} // namespace

class TestMacroConsole : public QObject
{
    Q_OBJECT
private slots:
    void folderOfFiles_data();
    void folderOfFiles();
    void arguments();
    void macroErrorLeavesFile();
    void shippedMacros_data();
    void shippedMacros();
};

void TestMacroConsole::folderOfFiles_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("code");
    // Upper-cases every line and marks it, except a line that reads "same".
    QTest::newRow("VBScript") << "m.vbs"
                              << "For i = 1 To Editor.LineCount\n"
                                 "  If Editor.Line(i) <> \"same\" Then Editor.Line(i) = "
                                 "UCase(Editor.Line(i)) & \"!\"\n"
                                 "Next\n";
    QTest::newRow("JScript") << "m.js"
                             << "for (var i = 1; i <= Editor.LineCount; i++) {\n"
                                "  var l = Editor.Line(i);\n"
                                "  if (l != 'same') Editor.Line(i, l.toUpperCase() + '!');\n"
                                "}\n";
}

void TestMacroConsole::folderOfFiles()
{
    QFETCH(QString, script);
    QFETCH(QString, code);
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(folder));
    const QString macro = temp.filePath(script);
    writeBytes(macro, code.toUtf8());
    const auto file = [&](const char *name) { return folder + u'/' + QLatin1String(name); };
    writeBytes(file("crlf.txt"), "one\r\ntwo\r\n");
    writeBytes(file("mixed.txt"), "a\nb\r\nc\rd");
    writeBytes(file("same.txt"), "same\r\nsame");
    writeBytes(file("u16.txt"), QByteArray("\xff\xfeh\0i\0\r\0\n\0\xe4\0", 12));
    writeBytes(file("win1252.txt"), "caf\xe9");
    writeBytes(file("locked.txt"), "x\n");
    const QByteArray lockedBefore = readBytes(file("locked.txt"));

    MacroConsoleOptions options;
    options.script = macro;
    options.paths = {folder, temp.filePath(QStringLiteral("missing.txt"))};
    // the dry run changes nothing and says what would change
    options.dryRun = true;
    Run run = runMacro(options);
    QCOMPARE(run.code, 1); // the missing file
    QVERIFY2(run.output.contains(QStringLiteral("would change: ") + file("crlf.txt")),
             qPrintable(run.output));
    QCOMPARE(readBytes(file("crlf.txt")), QByteArray("one\r\ntwo\r\n"));

    options.dryRun = false;
    // a file that cannot be written: the writer fails for it, as on a read-only file
    options.write = [&](const QString &path, const QByteArray &bytes) {
        if (path.endsWith(u"locked.txt"))
            return SaveResult::failure(QStringLiteral("Permission denied"));
        return writeFileSafely(path, bytes);
    };
    run = runMacro(options);
    QCOMPARE(run.code, 1);
    const QStringList lines = run.output.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines,
             QStringList({QStringLiteral("changed: ") + file("crlf.txt"),
                          QStringLiteral("error: ") + file("locked.txt") +
                              QStringLiteral(": Permission denied"),
                          QStringLiteral("changed: ") + file("mixed.txt"),
                          QStringLiteral("unchanged: ") + file("same.txt"),
                          QStringLiteral("changed: ") + file("u16.txt"),
                          QStringLiteral("changed: ") + file("win1252.txt"),
                          QStringLiteral("error: ") + temp.filePath(QStringLiteral("missing.txt")) +
                              QStringLiteral(": No such file or directory")}));
    // each file keeps its encoding and the break of every line
    QCOMPARE(readBytes(file("crlf.txt")), QByteArray("ONE!\r\nTWO!\r\n!"));
    QCOMPARE(readBytes(file("mixed.txt")), QByteArray("A!\nB!\r\nC!\rD!"));
    QCOMPARE(readBytes(file("same.txt")), QByteArray("same\r\nsame"));
    QCOMPARE(readBytes(file("u16.txt")), QByteArray("\xff\xfeH\0I\0!\0\r\0\n\0\xc4\0!\0", 16));
    QCOMPARE(readBytes(file("win1252.txt")), QByteArray("CAF\xc9!"));
    QCOMPARE(readBytes(file("locked.txt")), lockedBefore);
}

void TestMacroConsole::arguments()
{
    QString error;
    QVERIFY(!parseMacroArguments({QStringLiteral("script.vbs"), QStringLiteral("a")}, &error));
    const auto options =
        parseMacroArguments({QStringLiteral("--macro"), QStringLiteral("m.js"), QStringLiteral("a"),
                             QStringLiteral("--dry-run"), QStringLiteral("b")},
                            &error);
    QVERIFY(options);
    QVERIFY(error.isEmpty());
    QCOMPARE(options->script, QStringLiteral("m.js"));
    QCOMPARE(options->paths, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(options->dryRun);
    parseMacroArguments({QStringLiteral("--macro"), QStringLiteral("m.js")}, &error);
    QVERIFY(error.startsWith(u"Usage:"));
}

void TestMacroConsole::macroErrorLeavesFile()
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("a.txt"));
    writeBytes(path, "abc");
    const QString macro = temp.filePath(QStringLiteral("bad.vbs"));
    writeBytes(macro, "Editor.Line(1) = \"changed\"\nx = 1 / 0\n");
    MacroConsoleOptions options;
    options.script = macro;
    options.paths = {path};
    const Run run = runMacro(options);
    QCOMPARE(run.code, 1);
    QVERIFY2(run.output.startsWith(QStringLiteral("error: ") + path + QStringLiteral(": line 2")),
             qPrintable(run.output));
    QCOMPARE(readBytes(path), QByteArray("abc"));
    // a script file of no script language
    options.script = temp.filePath(QStringLiteral("macro.txt"));
    QCOMPARE(runMacro(options).code, 2);
}

// The example macros on files with and without a final line break.
void TestMacroConsole::shippedMacros_data()
{
    QTest::addColumn<QString>("macro");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("sort, final break")
        << "SortLines.vbs" << QByteArray("b\r\nC\r\na\r\n") << QByteArray("a\r\nb\r\nC\r\n");
    QTest::newRow("sort, none") << "SortLines.vbs" << QByteArray("b\na") << QByteArray("a\nb");
    QTest::newRow("number, final break")
        << "NumberLines.js" << QByteArray("x\ny\n") << QByteArray("1\tx\n2\ty\n");
    QTest::newRow("number, none") << "NumberLines.js" << QByteArray("x") << QByteArray("1\tx");
    QTest::newRow("wrap, tag asked and cancelled")
        << "WrapInTag.vbs" << QByteArray("x\n") << QByteArray("x\n");
}

void TestMacroConsole::shippedMacros()
{
    QFETCH(QString, macro);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("a.txt"));
    writeBytes(path, before);
    MacroConsoleOptions options;
    options.script = QStringLiteral(QUILLORA_SOURCE_DIR "/run/macros/") + macro;
    options.paths = {path};
    const Run run = runMacro(options);
    QCOMPARE(run.code, 0);
    QCOMPARE(readBytes(path), after);
}

QTEST_GUILESS_MAIN(TestMacroConsole)
#include "tst_macroconsole.moc"
