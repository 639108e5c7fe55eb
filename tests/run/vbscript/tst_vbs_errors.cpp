// The error table: number, source, line, column and text of compile and run-time errors.

#include "scriptrun.h"

#include <QTest>

class TestVbsErrors : public QObject
{
    Q_OBJECT

private slots:
    void errors_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");

        const QString compile = QStringLiteral("Microsoft VBScript compilation error");
        auto row = [](const char *name, const QString &code, int number, const char *text, int line,
                      int column) {
            QTest::newRow(name) << code << number << QString::fromUtf8(text) << line << column;
        };
        // compilation errors
        row("syntax error", "x = 1\nx = #99/99/2024#", 1002, "Syntax error", 2, 4);
        row("expected statement", "x = 1\n  End", 1024, "Expected statement", 2, 2);
        row("expected end of statement", "x = 1 2", 1025, "Expected end of statement", 1, 6);
        row("expected expression", "x = ", 1023, "Expected expression", 1, 4);
        row("expected ')'", "x = (1 + 2", 1006, "Expected ')'", 1, 10);
        row("unterminated string", "x = \"abc", 1033, "Unterminated string constant", 1, 4);
        row("invalid character", "x = 1 $ 2", 1032, "Invalid character", 1, 6);
        row("missing end if", "If x Then\nx = 1\n", 1014, "Expected 'End'", 3, 0);
        row("case with To is not VBScript", "Select Case 1\nCase 1 To 3\nEnd Select", 1025,
            "Expected end of statement", 2, 7);
        row("case is is not VBScript", "Select Case 1\nCase Is > 3\nEnd Select", 1023,
            "Expected expression", 2, 5);
        row("exit for outside a loop", "Exit For", 1039, "Invalid 'exit' statement", 1, 5);
        row("parentheses on a sub call", "Sub S(a, b): End Sub\nS(1, 2)", 1044,
            "Cannot use parentheses when calling a Sub", 2, 0);
        row("name redefined", "Dim a\nDim a", 1041, "Name redefined", 2, 4);
        row("procedure named like a variable", "Dim a\nSub A: End Sub", 1041, "Name redefined", 2,
            4);
        row("procedure named as a variable", "Dim A\nFunction a(): End Function", 1041,
            "Name redefined", 2, 9);
        // run-time errors
        row("invalid procedure call", "x = 1\nx = Mid(\"abc\", 0)", 5,
            "Invalid procedure call or argument", 2, 0);
        row("overflow", "x = CInt(40000)", 6, "Overflow", 1, 0);
        row("subscript out of range", "Dim a(2): x = a(5)", 9, "Subscript out of range", 1, 10);
        row("fixed array", "Dim a(2)\nReDim a(3)", 10, "This array is fixed or temporarily locked",
            2, 0);
        row("division by zero", "x = 1 / 0", 11, "Division by zero", 1, 0);
        row("type mismatch", "x = \"a\" * 2", 13, "Type mismatch", 1, 0);
        row("out of stack space", "Function F(n): F = F(n + 1): End Function\nx = F(1)", 28,
            "Out of stack space", 1, 15);
        row("object required", "Dim o\no.Foo", 424, "Object required", 2, 0);
        row("no such member", "Set d = CreateObject(\"Scripting.Dictionary\")\nd.Nope", 438,
            "Object doesn't support this property or method", 2, 0);
        row("private member", "Class C: Private m: End Class\nSet c = New C: x = c.m", 438,
            "Object doesn't support this property or method", 2, 15);
        row("wrong number of arguments", "Function F(a): End Function\nx = F(1, 2)", 450,
            "Wrong number of arguments or invalid property assignment", 2, 0);
        row("variable is undefined", "Option Explicit\nDim a\na = 1\nb = 2", 500,
            "Variable is undefined", 4, 0);
        row("undefined ReDim bound", "Option Explicit\nReDim a(n)", 500, "Variable is undefined", 2,
            0);
        row("undefined sub", "x = 1\nNoSuchSub 1", 13, "Type mismatch", 2, 0);
        row("invalid use of null", "x = CLng(Null)", 94, "Invalid use of Null", 1, 0);
        row("class not defined", "Set x = New Nope", 506, "Class not defined", 1, 0);
        row("error inside a procedure", "Sub S\n  x = 1 / 0\nEnd Sub\nS", 11, "Division by zero", 2,
            2);
        row("err raise", "Err.Raise 1234", 1234, "Unknown runtime error", 1, 0);
        // a run-time error points at the start of its statement, keyword included
        row("err raise indented", "x = 1\n    Err.Raise 5", 5, "Invalid procedure call or argument",
            2, 4);
        row("call statement", "x = 1: Call Err.Raise(9)", 9, "Subscript out of range", 1, 7);
        row("set statement", "Dim o\n  Set o = o.Child", 424, "Object required", 2, 2);
        row("continued statement", "x = 1 + _\n    1 / 0", 11, "Division by zero", 1, 0);
        row("inside an if", "If True Then\n  y = 2: x = CLng(\"a\")\nEnd If", 13, "Type mismatch",
            2, 9);
        // a syntax error in executed text is reported at the statement that runs it
        row("execute", "x = 1\n  Execute \"If Then Else\"", 1023, "Expected expression", 2, 2);
        row("executeglobal", "ExecuteGlobal \"x = (1\"", 1006, "Expected ')'", 1, 0);
        row("eval", "x = 1: y = Eval(\"1 +\")", 1023, "Expected expression", 1, 7);
        row("dictionary key exists",
            "Set d = CreateObject(\"Scripting.Dictionary\")\nd.Add 1, 1\nd.Add 1, 2", 457,
            "This key is already associated with an element of this collection", 3, 0);
        row("dictionary element not found",
            "Set d = CreateObject(\"Scripting.Dictionary\")\nd.Remove \"x\"", 32811,
            "Element not found", 2, 0);
        (void)compile;
    }

    void errors()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(int, line);
        QFETCH(int, column);
        quillora::VBScriptEngine engine;
        QVERIFY(!engine.addCode(code));
        const quillora::ScriptError &e = engine.error();
        QCOMPARE(e.number, number);
        QCOMPARE(e.description, description);
        QCOMPARE(e.line, line);
        QCOMPARE(e.column, column);
        const bool compileError = number >= 1000 && number < 1100;
        QCOMPARE(e.source, compileError ? QStringLiteral("Microsoft VBScript compilation error")
                                        : QStringLiteral("Microsoft VBScript runtime error"));
        QCOMPARE(e.text, code.split(u'\n').value(line - 1));
    }

    void errRaiseKeepsGivenTexts()
    {
        quillora::VBScriptEngine engine;
        QVERIFY(!engine.addCode("Err.Raise vbObjectError + 7, \"MyApp\", \"It broke\""));
        QCOMPARE(engine.error().number, int(0x80040007));
        QCOMPARE(engine.error().source, QStringLiteral("MyApp"));
        QCOMPARE(engine.error().description, QStringLiteral("It broke"));
    }

    void onErrorResumeNext()
    {
        ScriptRun s;
        const QString out =
            s.run("Sub Fails: x = 1 / 0: WScript.Echo \"not reached\": End Sub\n"
                  "On Error Resume Next\n"
                  "Fails\n"
                  "WScript.Echo \"after\", Err.Number, Err.Description, Err.Source\n"
                  "Err.Clear\n"
                  "WScript.Echo Err.Number\n"
                  "y = CInt(\"abc\"): WScript.Echo Err.Number\n"
                  "If 1 / 0 = 1 Then WScript.Echo \"then part\"\n"
                  "Err.Clear\n"
                  "Err.Raise 5\n"
                  "WScript.Echo Err.Number, Err\n"
                  "On Error GoTo 0\n"
                  "WScript.Echo Err.Number\n"
                  "x = 1 / 0\n"
                  "WScript.Echo \"not reached\"");
        QCOMPARE(out,
                 QStringLiteral("after 11 Division by zero Microsoft VBScript runtime error|0|13|"
                                "then part|5 5|0|error 11"));
    }

    // On Error Resume Next traps a syntax error in the text of Execute, ExecuteGlobal and
    // Eval like a run-time error: Err holds the compilation error and the script goes on.
    void dynamicSyntaxErrorIsTrapped_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("execute")
            << "Execute \"If Then Else\""
            << "1023 Expected expression Microsoft VBScript compilation error|go on";
        QTest::newRow("execute global")
            << "ExecuteGlobal \"x = (1\""
            << "1006 Expected ')' Microsoft VBScript compilation error|go on";
        QTest::newRow("eval")
            << "y = Eval(\"1 +\")"
            << "1023 Expected expression Microsoft VBScript compilation error|go on";
        QTest::newRow("execute in a sub")
            << "Sub S: Execute \"Dim\": End Sub: S"
            << "1010 Expected identifier Microsoft VBScript compilation error|go on";
        QTest::newRow("good text runs") << "Execute \"z = 5\": WScript.Echo z"
                                        << "5|0  |go on";
    }

    void dynamicSyntaxErrorIsTrapped()
    {
        QFETCH(QString, statement);
        QFETCH(QString, expected);
        ScriptRun s;
        const QString out = s.run("On Error Resume Next\n" + statement +
                                  "\nWScript.Echo Err.Number, Err.Description, Err.Source\n"
                                  "WScript.Echo \"go on\"");
        QCOMPARE(out, expected);
    }

    void resumeNextIsPerProcedure()
    {
        ScriptRun s;
        const QString out = s.run("Sub Inner\n On Error Resume Next\n x = 1 / 0\n"
                                  " WScript.Echo \"inner\", Err.Number\nEnd Sub\n"
                                  "Inner\nWScript.Echo \"outer\"\nx = 1 / 0");
        QCOMPARE(out, QStringLiteral("inner 11|outer|error 11"));
    }
};

QTEST_GUILESS_MAIN(TestVbsErrors)
#include "tst_vbs_errors.moc"
