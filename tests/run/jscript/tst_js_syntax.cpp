// The JScript grammar check: each compile error number with JScript's text, line and
// (0-based) column, texts JScript takes, and the engine reporting what the check finds.

#include "run/jscript/jscriptengine.h"
#include "run/jscript/syntaxcheck.h"

#include <QTest>

using quillora::js::checkSyntax;

class TestJsSyntax : public QObject
{
    Q_OBJECT

private slots:
    void faults_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        auto row = [](const char *name, const char *code, int number, const char *text, int line,
                      int column) {
            QTest::newRow(name) << QString::fromUtf8(code) << number << QString::fromUtf8(text)
                                << line << column;
        };
        row("operator without operand", "var a = 1;\na+*2;", 1002, "Syntax error", 2, 2);
        row("empty for condition", "for(i=0;) {}", 1002, "Syntax error", 1, 8);
        row("if without condition", "if(", 1002, "Syntax error", 1, 3);
        row("missing :", "x = a ? b c", 1003, "Expected ':'", 1, 10);
        row("missing : after case", "switch (x) { case 1 x; }", 1003, "Expected ':'", 1, 20);
        row("two statements on a line", "a = 1 b = 2", 1004, "Expected ';'", 1, 6);
        row("octal before a fraction", "001.5", 1004, "Expected ';'", 1, 3);
        row("letter after a number", "1_", 1004, "Expected ';'", 1, 1);
        row("for without second ;", "for(i=0;i<10", 1004, "Expected ';'", 1, 12);
        row("if without (", "if", 1005, "Expected '('", 1, 2);
        row("function without (", "function {};", 1005, "Expected '('", 1, 9);
        row("missing ) of if", "function main() {\n  if (a > 0 {\n  }\n}", 1006, "Expected ')'", 2,
            12);
        row("missing ) of a call", "f(1, 2;", 1006, "Expected ')'", 1, 6);
        row("missing ) of a for", "for(i=0; i<10; i++", 1006, "Expected ')'", 1, 18);
        row("missing ]", "x = [1, 2;", 1007, "Expected ']'", 1, 9);
        row("missing ] of an index", "x = a[1;", 1007, "Expected ']'", 1, 7);
        row("missing { of a switch", "switch (x) case 1:", 1008, "Expected '{'", 1, 11);
        row("missing { of a try", "try x(); catch (e) {}", 1008, "Expected '{'", 1, 4);
        row("missing }", "function f() {\n  return 1;\n", 1009, "Expected '}'", 3, 0);
        row("missing } of an object", "x = {a: 1 b: 2}", 1009, "Expected '}'", 1, 10);
        row("var without a name", "var = 3", 1010, "Expected identifier", 1, 4);
        row("member without a name", "a.b.(c)", 1010, "Expected identifier", 1, 4);
        row("catch without a name", "try {} catch (1) {}", 1010, "Expected identifier", 1, 14);
        row("set without =", "/*@cc_on @set @x 1 @*/", 1011, "Expected '='", 1, 17);
        row("unterminated regular expression", "x = /abc\n", 1012, "Expected '/'", 1, 8);
        row("invalid character", "x = #", 1014, "Invalid character", 1, 4);
        row("unterminated string", "var s = 'abc;\nx = 1;", 1015, "Unterminated string constant", 1,
            8);
        row("unterminated comment", "x = 1; /* note\nmore", 1016, "Unterminated comment", 1, 7);
        row("return outside a function", "x = 1;\n  return;", 1018,
            "'return' statement outside of function", 2, 2);
        row("break outside a loop", "f(); break;", 1019, "Can't have 'break' outside of loop", 1,
            5);
        row("continue outside a loop", "if (a) continue;", 1020,
            "Can't have 'continue' outside of loop", 1, 7);
        row("continue to a block label", "l: { while (true) continue l; }", 1020,
            "Can't have 'continue' outside of loop", 1, 18);
        row("bad hexadecimal escape", "x = \"\\x4g\";", 1023, "Expected hexadecimal digit", 1, 8);
        row("bad unicode escape", "x = '\\u12';", 1023, "Expected hexadecimal digit", 1, 9);
        row("do without while", "do { x++; } until (x)", 1024, "Expected 'while'", 1, 12);
        row("label redefined", "l: { l: while (true); }", 1025, "Label redefined", 1, 5);
        row("label not found", "while (true) break nowhere;", 1026, "Label not found", 1, 19);
        row("two defaults", "switch (x) { default: default: }", 1027,
            "'default' can only appear once in a 'switch' statement", 1, 22);
        row("bad property name", "x = {1: 2, +: 3}", 1028, "Expected identifier, string or number",
            1, 11);
        row("@if without @end", "/*@cc_on @if (@_win32) x = 1; @*/", 1029, "Expected '@end'", 1,
            33);
        row("conditional compilation off", "x = @_jscript_version;", 1030,
            "Conditional compilation is turned off", 1, 4);
        row("set to no constant", "/*@cc_on @set @x = ; @*/", 1031, "Expected constant", 1, 19);
        row("set without @", "/*@cc_on @set x = 1 @*/", 1032, "Expected '@'", 1, 14);
        row("set of a number", "/*@cc_on @set @1 = 2 @*/", 1010, "Expected identifier", 1, 14);
        row("try alone", "try {}\nx = 1;", 1033, "Expected 'catch'", 2, 0);
        row("throw before a line break", "throw\nnew Error();", 1035,
            "Throw must be followed by an expression on the same source line", 2, 0);
    }

    void faults()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(int, line);
        QFETCH(int, column);
        const quillora::js::SyntaxFault f = checkSyntax(code);
        QCOMPARE(f.number, number);
        QCOMPARE(f.description, description);
        QCOMPARE(f.line, line);
        QCOMPARE(f.column, column);
    }

    // Texts JScript takes, also where a later language would not.
    void accepted_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("octal and legacy escapes") << "x = 010 + 08.5 + '\\101\\8\\v';";
        QTest::newRow("regular expression after =") << "var r = /a[/]b\\//gi; x = a / b / c;";
        QTest::newRow("division after a name and )") << "x = (a) / 2 / (b);";
        QTest::newRow("anonymous function statement") << "function () {}\nnosemicolon();";
        QTest::newRow("let as a name") << "var let = 1; let++;";
        QTest::newRow("automatic semicolons") << "a = 1\nb = 2\nc = a\n++b\n{ x() }";
        QTest::newRow("labels on a loop") << "a: b: while (x) { continue a; break b; }";
        QTest::newRow("break out of a labelled block") << "l: { break l; }";
        QTest::newRow("return in a nested function") << "x = function () { return 1; };";
        QTest::newRow("return and for in")
            << "function f(o) { for (var k in o) { if (k) return k; } for (k in o); }";
        QTest::newRow("switch and try")
            << "switch (x) { case 1: break; default: y(); }\n"
               "try { a() } catch (e) { b() } finally { c() }\ntry { a() } finally { }";
        QTest::newRow("do while without ;") << "do x++; while (x < 3) y = 1";
        QTest::newRow("object and array literals") << "o = { a: [1, , 3], 'b': {}, 2: null };";
        QTest::newRow("new and calls") << "x = new Date().getTime(); y = new a.b.C(1)(2)[3];";
        QTest::newRow("conditional compilation")
            << "/*@cc_on @set @v = 2 @if (@_jscript_version >= 5) x = 1; @elif (@v) x = 2;"
               " @else x = 3; @end @*/\n//@cc_on\nx = @_jscript_version;";
        QTest::newRow("@set and @if outside a comment turn it on")
            << "@set @x = 1\nx = @x;\n@if (@x) y = 1; @end\n/*@ z = 1; @*/ //@ z = 2;";
        QTest::newRow("plain comment with an at sign") << "/* @cc_on */ /*@ note */ x = 1;";
        QTest::newRow("unicode") << "var \u00e4 = '\u00fc'; // \u2028";
        QTest::newRow("event handler") << "function window::onload() { }";
    }

    void accepted()
    {
        QFETCH(QString, code);
        const quillora::js::SyntaxFault f = checkSyntax(code);
        QVERIFY2(!f.isSet(), qPrintable(QStringLiteral("%1 at %2, %3: %4")
                                            .arg(f.number)
                                            .arg(f.line)
                                            .arg(f.column)
                                            .arg(f.description)));
    }

    void deepNestingGivesNoFault()
    {
        QVERIFY(!checkSyntax(QString(100000, u'(')).isSet());
        QVERIFY(!checkSyntax(QString(100000, u'[')).isSet());
    }

    // The engine reports what the check finds, and its own message where the check finds
    // nothing (a rule of the engine's language only).
    void engineReportsTheFault_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::newRow("missing )")
            << "function main() {\n  if (a > 0 {\n  }\n}" << 1006 << "Expected ')'" << 2 << 12;
        QTest::newRow("missing ]")
            << "var a = [1, 2;\nfunction main() {}" << 1007 << "Expected ']'" << 1 << 13;
        QTest::newRow("missing }") << "function main() {\n  var a = 1;\n"
                                   << 1009 << "Expected '}'" << 3 << 0;
        // (a text that says "use strict" is given to the engine as written)
        QTest::newRow("the engine's own rule")
            << "'use strict'; a: b: while (x) { continue a; }" << 1020
            << "Can't have 'continue' outside of loop" << 1 << 42;
    }

    void engineReportsTheFault()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(int, line);
        QFETCH(int, column);
        quillora::JScriptEngine engine;
        QVERIFY(!engine.addCode(code));
        const quillora::ScriptError &e = engine.error();
        QCOMPARE(e.number, number);
        QCOMPARE(e.source, QStringLiteral("Microsoft JScript compilation error"));
        QCOMPARE(e.description, description);
        QCOMPARE(e.line, line);
        QCOMPARE(e.column, column);
        QCOMPARE(e.text, code.split(u'\n').value(line - 1));
    }
};

QTEST_GUILESS_MAIN(TestJsSyntax)
#include "tst_js_syntax.moc"
