// The text rules of the script runner: header scan, parameter split, value lines, echo
// rewrite, test page and browser address.

#include "run/scriptentry.h"

#include <QTest>

using namespace quillora;

class TestScriptEntry : public QObject
{
    Q_OBJECT
private slots:
    void headerScan_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isFunction");
        QTest::addColumn<QString>("paramList");
        QTest::newRow("Function Add(a, b)")
            << QStringList{"Function Add(a, b)"} << "Add" << true << "a, b";
        QTest::newRow("function sum(x,y) {")
            << QStringList{"x = 1", "function sum(x,y) {"} << "sum" << true << "x,y";
        QTest::newRow("Sub Main") << QStringList{"Sub Main"} << "Main" << false << "";
        QTest::newRow("Sub Main()")
            << QStringList{"Sub Main()", "End Sub"} << "Main" << false << "";
        // The keywords count only as whole words at the start of a statement, outside
        // comments and strings.
        QTest::newRow("comment before")
            << QStringList{"' substitute this", "Sub Main"} << "Main" << false << "";
        QTest::newRow("Rem comment before")
            << QStringList{"Rem sub x", "Sub Main"} << "Main" << false << "";
        QTest::newRow("word holding sub")
            << QStringList{"Dim subtotal", "Function Total(a)"} << "Total" << true << "a";
        QTest::newRow("only a word holding sub")
            << QStringList{"Dim subtotal"} << "" << false << "";
        QTest::newRow("keyword in a string")
            << QStringList{"x = \"Sub A\" : y = \"Function B\"", "Sub Main"} << "Main" << false
            << "";
        QTest::newRow("after a colon")
            << QStringList{"Option Explicit : Sub Main(a)"} << "Main" << false << "a";
        QTest::newRow("End Sub is no header")
            << QStringList{"End Sub", "Exit Function", "Sub Main"} << "Main" << false << "";
        QTest::newRow("keyword in any case")
            << QStringList{"  PUBLIC FUNCTION Twice ( x ) "} << "Twice" << true << " x ";
        QTest::newRow("only commas") << QStringList{"function f( , )"} << "f" << true << " , ";
        QTest::newRow("no header") << QStringList{"x = 1", "MsgBox x"} << "" << false << "";
        QTest::newRow("no closing parenthesis") << QStringList{"Function F(a"} << "F" << true << "";
    }
    void headerScan()
    {
        QFETCH(QStringList, lines);
        const ScriptEntry e = FindScriptEntry(lines, ScriptSyntax::VBScript);
        QTEST(e.name, "name");
        QTEST(e.isFunction, "isFunction");
        QTEST(e.paramList, "paramList");
    }

    void jscriptHeaderScan_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("paramList");
        QTest::newRow("plain") << QStringList{"function sum(x,y) {"} << "sum"
                               << "x,y";
        QTest::newRow("line comment")
            << QStringList{"// function old(a)", "function main(b) {"} << "main"
            << "b";
        QTest::newRow("block comment over lines")
            << QStringList{"/* usage:", "function old(a)", "*/ function main(b) {"} << "main"
            << "b";
        QTest::newRow("in a string")
            << QStringList{"var s = 'function f(x)'; function main() {"} << "main"
            << "";
        QTest::newRow("sub is no keyword") << QStringList{"sub (1);", "function main() {"} << "main"
                                           << "";
        QTest::newRow("anonymous function") << QStringList{"var f = function (x) {};"} << ""
                                            << "";
    }
    void jscriptHeaderScan()
    {
        QFETCH(QStringList, lines);
        const ScriptEntry e = FindScriptEntry(lines, ScriptSyntax::JScript);
        QTEST(e.name, "name");
        QTEST(e.paramList, "paramList");
    }

    void parameterSplit_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("two names") << "a, b" << QStringList{"a=", "b="};
        QTest::newRow("three names keep inner blanks")
            << " a , b , c " << QStringList{"a =", " b =", "c="};
        QStringList twelve;
        QStringList expected;
        for (int i = 1; i <= 12; ++i) {
            twelve << QStringLiteral("p%1").arg(i);
            if (i <= 10)
                expected << QStringLiteral("p%1=").arg(i);
        }
        expected << QStringLiteral("p12=");
        QTest::newRow("twelve names fill slot 10 last") << twelve.join(u',') << expected;
        QTest::newRow("only commas") << " , " << QStringList{};
    }
    void parameterSplit()
    {
        QFETCH(QString, list);
        QTEST(ParameterNameLines(SplitParameters(list)), "lines");
    }

    void valuesForNames()
    {
        QCOMPARE(ValuesForNames({"5"}, 2), (QStringList{"5", ""}));
        QCOMPARE(ValuesForNames({"1", "2", "3"}, 2), (QStringList{"1", "2"}));
        QCOMPARE(MemoLines(QString()), QStringList{});
        QCOMPARE(MemoLines(QStringLiteral("5\n\n")), (QStringList{"5", ""}));
        QCOMPARE(MemoLines(QStringLiteral("5\nx")), (QStringList{"5", "x"}));
    }

    void echoRewrite()
    {
        QCOMPARE(RewriteEcho(QStringLiteral("WScript.Echo x\nwsh.ECHO \"a\"\nWScript.EchoLine")),
                 QStringLiteral("MsgBox x\nMsgBox \"a\"\nMsgBoxLine"));
    }

    void testPage()
    {
        QCOMPARE(
            TestPage(QStringLiteral("javascript"), QStringLiteral("add"), true,
                     QStringLiteral("(a, b)"), QStringLiteral("function add(a, b) {}")),
            QStringLiteral("<html><head><meta charset=\"utf-8\"><title>testpage</title><script "
                           "type=text/javascript>"
                           "\r\nfunction add(a, b) {}\r\n</script></head><body "
                           "bgcolor=\"#ffffff\" onload=\"add(a, b)\">\r\nscript "
                           "test</body></html>"));
        QCOMPARE(
            TestPage(QStringLiteral("vbscript"), QStringLiteral("Main"), false,
                     QStringLiteral("()"), QStringLiteral("Sub Main\r\nEnd Sub")),
            QStringLiteral("<html><head><meta charset=\"utf-8\"><title>testpage</title><script "
                           "type=text/vbscript>"
                           "\r\nSub Main\r\nEnd Sub\r\n</script></head><body "
                           "bgcolor=\"#ffffff\">\r\nscript test</body></html>"));
    }

    void resultText()
    {
        QCOMPARE(ResultText(QVariant()), QString());
        QCOMPARE(ResultText(QVariant::fromValue(nullptr)), QString());
        QCOMPARE(ResultText(QVariantList{1, QStringLiteral("a")}), QStringLiteral("1,a"));
        QCOMPARE(ResultText(QStringLiteral("2121")), QStringLiteral("2121"));
        QCOMPARE(ResultText(QVariant(true)), QStringLiteral("True"));
    }
};

QTEST_GUILESS_MAIN(TestScriptEntry)
#include "tst_scriptentry.moc"
