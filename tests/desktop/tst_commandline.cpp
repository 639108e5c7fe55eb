// The command line: every form of file and place, the console options and the errors.

#include "desktop/commandline.h"

#include <QTest>

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void forms_data();
    void forms();
    void textsInBothLanguages();
};

void TestCommandLine::forms_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");

    using A = CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << A::Open << "" << 0 << 0;
    QTest::newRow("file") << QStringList{"a.txt"} << A::Open << "a.txt" << 0 << 0;
    QTest::newRow("file:line") << QStringList{"src/a.c:12"} << A::Open << "src/a.c" << 12 << 0;
    QTest::newRow("file:line:col") << QStringList{"a.c:12:7"} << A::Open << "a.c" << 12 << 7;
    QTest::newRow("+line file") << QStringList{"+30", "a.c"} << A::Open << "a.c" << 30 << 0;
    QTest::newRow("file +line") << QStringList{"a.c", "+30"} << A::Open << "a.c" << 30 << 0;
    QTest::newRow("name that exists whole")
        << QStringList{"exists:3"} << A::Open << "exists:3" << 0 << 0;
    QTest::newRow("line 0 is no place") << QStringList{"a.c:0"} << A::Open << "a.c:0" << 0 << 0;
    QTest::newRow("colon in the name")
        << QStringList{"/tmp/x:y/a.c:4"} << A::Open << "/tmp/x:y/a.c" << 4 << 0;
    QTest::newRow("first file counts") << QStringList{"a.c", "b.c"} << A::Open << "a.c" << 0 << 0;
    QTest::newRow("after --, a dash name")
        << QStringList{"--", "-x.txt"} << A::Open << "-x.txt" << 0 << 0;
    QTest::newRow("help") << QStringList{"a.c", "--help"} << A::Help << "a.c" << 0 << 0;
    QTest::newRow("-h") << QStringList{"-h"} << A::Help << "" << 0 << 0;
    QTest::newRow("version") << QStringList{"--version"} << A::Version << "" << 0 << 0;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << A::Error << "" << 0 << 0;
    QTest::newRow("+line without file") << QStringList{"+3"} << A::Error << "" << 3 << 0;
}

void TestCommandLine::forms()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, file);
    QFETCH(int, line);
    QFETCH(int, column);
    const CommandLine command = parseCommandLine(
        arguments, [](const QString &path) { return path == u"exists:3"; }, 1);
    QCOMPARE(command.action, action);
    if (action == CommandLine::Action::Error) {
        QVERIFY(!command.error.isEmpty());
        return;
    }
    QCOMPARE(command.file, file);
    QCOMPARE(command.line, line);
    QCOMPARE(command.column, column);
}

void TestCommandLine::textsInBothLanguages()
{
    const auto unknown = [](int language) {
        return parseCommandLine({QStringLiteral("--frob")}, {}, language).error;
    };
    QCOMPARE(unknown(0), QStringLiteral("quillora: unbekannte Option \"--frob\"\n"
                                        "Aufrufe: quillora --help\n"));
    QCOMPARE(unknown(1), QStringLiteral("quillora: unknown option \"--frob\"\n"
                                        "Usage: quillora --help\n"));
    QVERIFY(commandLineHelp(0).startsWith(QStringLiteral("Aufruf: quillora")));
    QVERIFY(commandLineHelp(1).startsWith(QStringLiteral("Usage: quillora")));
    QCOMPARE(commandLineVersion(QStringLiteral("1.2.0.0")),
             QStringLiteral("Quillora Pro 1.2.0.0\n"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
