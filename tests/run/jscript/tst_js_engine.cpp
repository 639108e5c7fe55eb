// The JScript engine: results, JScript's error numbers with their positions, the host's
// message boxes, the automation objects, interruption and the console runner.

#include "run/jscript/jscriptengine.h"
#include "run/jscript/legacysyntax.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using quillora::JScriptEngine;
using quillora::ScriptError;
using quillora::js::engineText;
using quillora::js::rewriteLegacySyntax;

namespace {

class Host : public quillora::ScriptHost
{
public:
    QStringList shown;
    int messageBox(const QString &prompt, int, const QString &) override
    {
        shown << prompt;
        return 1;
    }
    QString inputBox(const QString &, const QString &, const QString &, bool *cancelled) override
    {
        *cancelled = true;
        return QString();
    }
};

// Adds the code and calls `procedure`; the result as text, or "error N line L col C".
QString runScript(const QString &code, const QString &procedure = QStringLiteral("main"),
                  const QStringList &args = {}, Host *host = nullptr)
{
    JScriptEngine engine;
    engine.setHost(host);
    QVariant result;
    if (!engine.addCode(code) || !engine.run(procedure, args, &result)) {
        const ScriptError &e = engine.error();
        return QStringLiteral("error %1 line %2 col %3").arg(e.number).arg(e.line).arg(e.column);
    }
    return result.toString();
}

} // namespace

class TestJsEngine : public QObject
{
    Q_OBJECT
private slots:
    void results_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("arguments are strings")
            << "function main(x) { return x + x; }" << QStringList{"21"} << "2121";
        QTest::newRow("no return") << "function main() { }" << QStringList{} << "";
        QTest::newRow("number") << "function main() { return 6 * 7; }" << QStringList{} << "42";
        QTest::newRow("object") << "function main() { return {a: 1}; }" << QStringList{}
                                << "[object Object]";
        QTest::newRow("dictionary")
            << "function main() { var d = new ActiveXObject('Scripting.Dictionary');"
               " d.Add('a', 1); d.add('b', 2); var s = d.Count + ':';"
               " for (var e = new Enumerator(d); !e.atEnd(); e.moveNext()) s += e.item() + "
               "d.Item(e.item());"
               " return s + (d.Exists('b') ? 'y' : 'n') + new "
               "VBArray(d.Keys()).toArray().join(''); }"
            << QStringList{} << "2:a1b2yab";
        QTest::newRow("regexp")
            << "function main() { var r = new ActiveXObject('VBScript.RegExp');"
               " r.Pattern = '\\\\d+'; r.Global = true; var m = r.Execute('a12b345'); var s = '';"
               " for (var e = new Enumerator(m); !e.atEnd(); e.moveNext()) s += e.item().Value + "
               "'@' + e.item().FirstIndex + ' ';"
               " return s + m.Count + r.Pattern; }"
            << QStringList{} << "12@1 345@4 2\\d+";
        QTest::newRow("filesystemobject")
            << "function main() { var f = new ActiveXObject('Scripting.FileSystemObject');"
               " return f.GetExtensionName('a/b.txt') + f.FileExists('/nonexistent/x'); }"
            << QStringList{} << "txtfalse";
        QTest::newRow("unknown progid caught")
            << "function main() { try { new ActiveXObject('No.Such'); } catch (e) { return "
               "e.number & 0xFFFF; } }"
            << QStringList{} << "429";
        QTest::newRow("standard error and description")
            << "function main() { try { nope(); } catch (e) {"
               " return (e instanceof ReferenceError) + ' ' + e.description; } }"
            << QStringList{} << "true nope is not defined";
        QTest::newRow("built-ins through call and apply without arguments")
            << "function main() { return Object.prototype.toString.call() + "
               "String(Math.max.apply())"
               " + (function (a, b) { return this.x + a + b; }).call({x: 1}, 2, 3); }"
            << QStringList{} << "[object Undefined]-Infinity6";
        QTest::newRow("html methods of strings")
            << "function main() { return 'x'.bold() + 'y'.anchor('n') + 'z'.fontsize(3); }"
            << QStringList{} << "<B>x</B><A NAME=\"n\">y</A><FONT SIZE=\"3\">z</FONT>";
        QTest::newRow("sort with null")
            << "function main() { CollectGarbage(); var s = [3, 1, 2].sort(null).join() + "
               "[1, 3, 2].sort(function (a, b) { return b - a; }).join();"
               " try { [2, 1].sort(null, 1); } catch (e) { s += ' ' + (e.number & 0xFFFF); }"
               " return s; }"
            << QStringList{} << "1,2,33,2,1 5014";
        QTest::newRow("error numbers")
            << "function main() { var s = new Error('x').number + ' ';"
               " try { null.x; } catch (e) { s += (e.number & 0xFFFF) + ' ' + (e.number >> 16); }"
               " try { nope(); } catch (e) { s += ' ' + (e.number & 0xFFFF); }"
               " var own = new Error('y'); own.number = 7; return s + ' ' + own.number; }"
            << QStringList{} << "0 5007 -32758 5009 7";
        QTest::newRow("script's own Array, Object and Reflect")
            << "function main() { Array = 1; Object = 2; Reflect = 3; String = 4; Proxy = 5;"
               " var d = new ActiveXObject('Scripting.Dictionary'); d.Add('a', 1); var s = '';"
               " for (var e = new Enumerator(d); !e.atEnd(); e.moveNext()) s += e.item();"
               " return s + d.Count + Math.max.call(null, 2, 3); }"
            << QStringList{} << "a13";
        QTest::newRow("split by a regular expression")
            << "function main() { return ['test'.split(/x*/), 'a b'.split(/\\s*/),"
               " 'a1b22c'.split(/(\\d)/), 'abc'.split(/(?:)/), 'a,b,c'.split(/,/, 2),"
               " ''.split(/x*/).length, ''.split(/a/).length, 'a,b'.split(',')].join(' '); }"
            << QStringList{} << "t,e,s,t a,b a,1,b,2,,2,c a,b,c a,b 0 1 a,b";
        // JScript's rules for regular expressions: lastIndex, match results, replace, split,
        // source and toString
        const char *expression = "function main() { var r, m; return String(%1); }";
        const QList<std::pair<const char *, const char *>> regexpRules = {
            {"(r = /b+/, r.exec('abbc'), r.lastIndex)", "3"},
            {"(r = /b/g, r.lastIndex = 1, r.exec('ab'), r.exec('ab'), r.lastIndex)", "0"},
            {"(r = /a/g, r.lastIndex = {valueOf: function () { throw 1; }}, r.exec(' a').index)",
             "1"},
            {"(r = /a/g, r.lastIndex = '2', r.exec('aaa').index)", "2"},
            {"(r = /a/g, r.lastIndex = -1, r.exec('a'))", "null"},
            {"(r = /a/y, [String(r.exec('ba')), r.lastIndex = 1, r.exec('ba').index, r.lastIndex])",
             "null,1,1,2"},
            {"(m = /b/.exec('abc'), [m.index, m.input, m.lastIndex])", "1,abc,2"},
            {"/(a)|(b)/.exec('a')[2] === ''", "true"},
            {"(m = 'xaba'.match(/a/g), [m, m.index, m.input, m.lastIndex].join('|'))",
             "a,a|3|xaba|4"},
            {"(r = /c/, 'abc'.search(r) + '' + r.lastIndex)", "23"},
            {"[' a '.search(), 'a'.match()]", ","},
            {"(/(b)/.exec('abc'), /z/.exec('abc'), 'q'.match(/z/), RegExp.$1 + RegExp.input)",
             "babc"},
            {"'1 2 3'.replace('2', '$&$`')", "1 $&$` 3"},
            {"'xxx'.replace(/^\\s*|\\s*$/g, 'y')", "yxxxy"},
            {"'abc'.replace(/(b)/, \"[$1|$&|$`|$'|$$|$2|$01]\")", "a[b|b|a|c|$|$2|b]c"},
            {"'a1b2'.replace(/\\d/g, function (m, at) { return '<' + m + at + '>'; })",
             "a<11>b<23>"},
            {"(r = /a/g, 'bab'.replace(r, 'c') + r.lastIndex + RegExp.leftContext)", "bcb2b"},
            {"(r = /a/g, 'aa'.replace(r, function () { return 'b'.replace(r, 'c') + r.test('a'); "
             "}))",
             "btruebtrue"},
            {"['1,,2,'.split(/,+/).join('|'), '1ab2'.split(/(a)b/).join('|'),"
             " 'a/b'.split(/\\//).join('|'), 'abc'.split(/x/).join('|')]",
             "1|2|,1|a|2,a|b,abc"},
            {"['aundefinedb'.split(undefined).join('|'), 'aundefinedb'.split().length,"
             " 'a\\n\\nb'.split(/\\n/).length]",
             "a|b,1,3"},
            {"(r = /,/, '1,2,3'.split(r, 2) + '|' + r.lastIndex + '|' + RegExp.rightContext)",
             "1,2|4|3"},
            {"[/a\\//ig, new RegExp('a/'), new RegExp(), /x/mgi].join(' ')",
             "/a\\//ig /a// // /x/igm"},
            {"[new RegExp().source === '', new RegExp(/\\//.source).test('/'),"
             " RegExp.prototype.source === '', RegExp.prototype.lastIndex]",
             "true,true,true,0"},
            {"[''.replace.length, ''.search.length, ''.split.length, /a/.exec.length]", "1,0,2,1"},
        };
        for (const auto &[text, expected] : regexpRules)
            QTest::newRow(text) << QString::fromLatin1(expression).arg(QLatin1String(text))
                                << QStringList{} << QString::fromUtf8(expected);
        // JScript's scope rules, brought in by the rewrite before the engine parses a text
        const QList<std::pair<const char *, const char *>> scopeRules = {
            {"function main() { if (false) { function f() { return 'f'; } } return f(); }", "f"},
            {"function main() { var a = function g() { return 1; }; var b = function g() {"
             " return 2; }; return [g(), a(), b(), a !== g].join(); }",
             "2,1,2,true"},
            {"x = function h() { return 'h'; };\nfunction main() { return h(); }", "h"},
            {"function f(a) { return g(); }\nfunction g() { return f.arguments[0] + ',' +"
             " (f.arguments === null); }\nfunction main() { f.arguments = 1;"
             " return f('x') + ',' + (f.arguments === null); }",
             "x,false,true"},
            {"function main() { var n = 0; for (var k in 'abc') n++;"
             " for (k in {a: 1, b: 2}) n++; return n; }",
             "2"},
            {"function main() { var let = 2; let = let * 3; let x = {let: let}; return x.let; }",
             "6"},
            {"function main() { function () { return 1; } return 'ok'; }", "ok"},
            {"function main() { a: b: for (var i = 0; i < 3; i++) { while (true) continue a; }"
             " return i; }",
             "3"},
            {"function main() { while (true) { l: break; } return 'out'; }", "out"},
            // the label goes, the line breaks of a comment beside it stay
            {"function main() { while (true) { l /*\n*/ : break; }\n"
             " try { null.x; } catch (e) { return e.lineNumber; } }",
             "3"},
            {"function main() { return (function () { return arguments.toString(); })(1); }",
             "[object Object]"},
            // modern code is left as it is
            {"function main() { 'use strict'; if (true) { function f() {} } return typeof f; }",
             "undefined"},
        };
        for (const auto &[code, expected] : scopeRules)
            QTest::newRow(code) << QString::fromUtf8(code) << QStringList{}
                                << QString::fromUtf8(expected);
        QTest::newRow("script engine")
            << "function main() { return ScriptEngine(); }" << QStringList{} << "JScript";
        // built-ins misused: JScript's number and text (caught, so the check runs on)
        const char *caught =
            "function main() { try { %1; return 'none'; } catch (e) {"
            " return e.name + ' ' + (e.number & 0xFFFF) + ' ' + e.description; } }";
        const QList<std::pair<const char *, const char *>> misuses = {
            {"Date.prototype.getTime.call({})", "TypeError 5006 Date object expected"},
            {"Number.prototype.toFixed.call('1')", "TypeError 5001 Number expected"},
            {"Boolean.prototype.valueOf.call(1)", "TypeError 5010 Boolean expected"},
            {"RegExp.prototype.test.call({}, 'a')",
             "TypeError 5016 Regular Expression object expected"},
            {"(3).toString(1)", "TypeError 5 Invalid procedure call or argument"},
            {"(3).toFixed(21)", "RangeError 5026 The number of fractional digits is out of range"},
            {"(1).toPrecision(0)", "RangeError 5027 The precision is out of range"},
            {"decodeURI('%')", "URIError 5025 The URI to be decoded is not a valid encoding"},
            {"encodeURI('\\uD800')",
             "URIError 5024 The URI to be encoded contains an invalid character"},
            {"GetObject('x')", "Error 429 Automation server can't create object"},
            {"new Date(0).setTime()", "TypeError 449 Argument not optional"},
            {"throw new RegExpError('bad')", "RegExpError 0 bad"},
        };
        for (const auto &[call, expected] : misuses)
            QTest::newRow(call) << QString::fromLatin1(caught).arg(QLatin1String(call))
                                << QStringList{} << QString::fromUtf8(expected);
        // a syntax error of eval'd text: the number from the engine's message
        const char *evaluated = "function main() { try { eval(\"%1\"); return 'none'; }"
                                " catch (e) { return e.name + ' ' + (e.number & 0xFFFF); } }";
        const QList<std::pair<const char *, const char *>> evalFaults = {
            {"while (true) break nowhere;", "SyntaxError 1026"},
            {"l: { l: while (true); }", "SyntaxError 1025"},
            {"if (a) continue;", "SyntaxError 1020"},
            {"x = @a", "SyntaxError 1030"},
        };
        for (const auto &[text, expected] : evalFaults)
            QTest::newRow(text) << QString::fromLatin1(evaluated).arg(QLatin1String(text))
                                << QStringList{} << QString::fromUtf8(expected);
        // more built-ins misused, with JScript's own numbers
        const QList<std::pair<const char *, const char *>> moreMisuses = {
            {"Array.prototype.toString.call({})", "TypeError 5031 Array object expected"},
            {"Function.prototype.toString.call({})", "TypeError 5002 Function expected"},
            {"Function.prototype.call.call(1)", "TypeError 5002 Function expected"},
            {"Enumerator.prototype.atEnd.call({})", "TypeError 5015 Enumerator object expected"},
            {"new VBArray({})", "TypeError 5013 VBArray expected"},
            {"VBArray.prototype.lbound.call(null)", "TypeError 5013 VBArray expected"},
            {"throw new Error(7, 'seven')", "Error 7 seven"},
        };
        for (const auto &[call, expected] : moreMisuses)
            QTest::newRow(call) << QString::fromLatin1(caught).arg(QLatin1String(call))
                                << QStringList{} << QString::fromUtf8(expected);
        // eval'd text JScript's grammar refuses: its compile error numbers
        const QList<std::pair<const char *, const char *>> grammarFaults = {
            {"for(i=0;) {}", "SyntaxError 1002"}, {"if", "SyntaxError 1005"},
            {"'abc", "SyntaxError 1015"},         {"01a", "SyntaxError 1004"},
            {"return;", "SyntaxError 1018"},
        };
        for (const auto &[text, expected] : grammarFaults)
            QTest::newRow(text) << QString::fromLatin1(evaluated).arg(QLatin1String(text))
                                << QStringList{} << QString::fromUtf8(expected);
        QTest::newRow("eval keeps its scope and later syntax")
            << "function main() { var x = 4; return [eval('x'), eval('let y = 2; y'),"
               " eval('((a) => a + 1)(1)'), eval('010'), eval(5),"
               " {eval: function (t) { return t + '!'; }}.eval('m')].join(); }"
            << QStringList{} << "4,2,2,8,5,m!";
        QTest::newRow("conditional compilation")
            << "/*@cc_on @*/\nfunction main() { var r = [];\n"
               "@if (@_jscript_version >= 5.8) r.push('5.8'); @elif (true) r.push('elif');"
               " @else r.push('old'); @end\n"
               "@set @n = (2 + 2/2) r.push(@n, @_win32, isNaN(@nothing), @_jscript);\n"
               "@set @n = -@n r.push(1-@n, '@n');\n"
               "/*@ r.push('in a comment'); @*/ // r.push('not here');\n"
               "@if (false) this does not parse \"@end\n"
               "r.push(eval('@_jscript_version')); return r.join(); }"
            << QStringList{} << "5.8,3,true,true,true,4,@n,in a comment,5.8";
        QTest::newRow("function texts")
            << "function main() { var f = new Function('a', 'b', 'return a + b + 010;');"
               " return [f(1, 2), f, isNaN.toString(), f instanceof Function,"
               " f.constructor === Function, Function('return this;')() === this].join('|'); }"
            << QStringList{}
            << "11|function anonymous(a, b) {\nreturn a + b + 010;\n}|"
               "\nfunction isNaN() {\n    [native code]\n}\n|true|true|true";
        QTest::newRow("JSON.parse: reviver and JScript's leniency")
            << "function main() { var n = 0, v = JSON.parse('{\"a\": [1, {\"b\": 2}], \"c\": 3}',"
               " function (k, x) { n++; return k === 'c' ? undefined : typeof x === 'number' ? -x "
               ": x; });"
               " var e; try { JSON.parse('{bad'); } catch (x) { e = x.name; }"
               " return [n, v.a[0], v.a[1].b, 'c' in v, JSON.parse('- 1'), JSON.parse('.5'),"
               " JSON.parse('[-1e99999, \".5 - 1\"]').join(), e].join(); }"
            << QStringList{} << "6,-1,-2,false,-1,0.5,-Infinity,.5 - 1,SyntaxError";
        QTest::newRow("dates in JScript's free forms")
            << "function main() { return [Date.parse('Jan 20 2009 UTC+1'), Date.parse('12Au91 "
               "UTC'),"
               " Date.parse('7/02/17 UTC'), Date.parse('71 11:32AM Dec 12 UTC BC'),"
               " Date.parse('23/71/2000 11::32::UTC'), new Date('3 July 2009 22:28:00 UTC+0100') - "
               "0,"
               " Date.parse('Jan Jan 20 2009'), Date.parse('2009-01-20T00:00:00Z'),"
               " typeof Date(), new Date(5) instanceof Date].join(); }"
            << QStringList{}
            << "1232406000000,681955200000,-1656806400000,-64346358480000,1010662320000,"
               "1246656480000,NaN,1232409600000,string,true";
        QTest::newRow("Date.prototype, JScript's lengths, toLocaleString")
            << "function main() { return [Date.prototype.getTime(), ''.indexOf.length,"
               " ''.slice.length, Object.length, Enumerator.length, 'abcb'.lastIndexOf('b'),"
               " {toString: function () { return arguments.length; }}.toLocaleString(1)]"
               ".join(); }"
            << QStringList{} << "0,2,0,0,7,3,0";
        QTest::newRow("JScript's Error, getYear, encodeURI()")
            << "function main() { return [Error.prototype.toString.call({}),"
               " Error.prototype.toString.call({name: 'N'}), String(new TypeError('t')),"
               " Error.prototype.toString.call({message: 'M'}),"
               " new Date(1995, 0, 1).getYear(), new Date(2010, 0, 1).getYear(), encodeURI(),"
               " new Error('m').number, new Error('m').message, Error.length,"
               " new Error(1) instanceof Error, [1, 2]].join(); }"
            << QStringList{} << "[object Error],N,TypeError: t,M,95,2010,undefined,0,m,1,true,1,2";
        QTest::newRow("guarded methods still work")
            << "function main() { return [new Date(0).getTime(), (5).toFixed(2), "
               "(255).toString(16),"
               " true.toString(), /a/.test('a'), Date.prototype.getTime.length,"
               " RegExpError.length, GetObject.length, new RegExpError('x') instanceof Error]"
               ".join(); }"
            << QStringList{} << "0,5.00,ff,true,true,0,1,2,true";
        QTest::newRow("static RegExp properties")
            << "function main() { var r = /a(b)?/, s = [RegExp.leftContext];"
               " r.exec('xaby'); s.push(RegExp.leftContext, RegExp.rightContext, RegExp.$1,"
               " RegExp.lastMatch, r.lastIndex);"
               " 'caac'.replace(/a/g, 'x'); s.push(RegExp.leftContext, RegExp.rightContext);"
               " 'q1w'.search(/\\d/); s.push(RegExp.lastMatch, RegExp.input);"
               " RegExp.leftContext = 'z'; s.push(RegExp.leftContext); return s.join('|'); }"
            << QStringList{} << "|x|y|b|ab|3|ca|c|1|q1w|q";
    }
    void results()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(runScript(code, QStringLiteral("main"), args), expected);
    }

    void arrayResultKeepsItems()
    {
        JScriptEngine engine;
        QVariant result;
        QVERIFY(engine.addCode(QStringLiteral("function f() { return [1, 'a']; }")));
        QVERIFY(engine.run(QStringLiteral("f"), {}, &result));
        QCOMPARE(result.toList(), (QVariantList{1, QStringLiteral("a")}));
    }

    void errors_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        const QString c = QStringLiteral("Microsoft JScript compilation error");
        const QString r = QStringLiteral("Microsoft JScript runtime error");
        QTest::newRow("syntax line 3 col 4") << "function main() {\n  var a = 1;\n  a+*2;\n}"
                                             << 1002 << c << "Syntax error" << 3 << 4;
        QTest::newRow("missing )")
            << "function main() {\n  if (a {\n  }\n}" << 1006 << c << "Expected ')'" << 2 << 8;
        QTest::newRow("missing ;")
            << "function main() {\n  a b\n}" << 1004 << c << "Expected ';'" << 2 << 4;
        QTest::newRow("unterminated string") << "function main() {\n  var s = 'abc;\n}" << 1015 << c
                                             << "Unterminated string constant" << 2 << 10;
        QTest::newRow("return outside")
            << "return 1;" << 1018 << c << "'return' statement outside of function" << 1 << 0;
        QTest::newRow("undefined name") << "function main() {\n  var x = 1;\n  return x + nope;\n}"
                                        << 5009 << r << "'nope' is undefined" << 3 << 13;
        QTest::newRow("member of undefined") << "function main() {\n  var u;\n  return u.size;\n}"
                                             << 5007 << r << "Object expected" << 3 << 11;
        QTest::newRow("method of undefined member")
            << "function main() {\n  var o = {};\n  o.p.q();\n}" << 5007 << r << "Object expected"
            << 3 << 6;
        QTest::newRow("method missing")
            << "function main() {\n  var o = {};\n  o.bar();\n}" << 438 << r
            << "Object doesn't support this property or method" << 3 << 4;
        QTest::newRow("not a function") << "function main() {\n  var n = 1;  n();\n}" << 5002 << r
                                        << "Function expected" << 2 << 14;
        QTest::newRow("array length")
            << "function main() {\n  return new Array(-1);\n}" << 5029 << r
            << "Array length must be a finite positive integer" << 2 << 13;
        QTest::newRow("own description")
            << "function main() {\n  var e = new Error('x'); e.description = 'own'; throw e;\n}"
            << 5022 << r << "own" << 2 << 49;
        QTest::newRow("thrown value") << "function main() {\n  throw 5;\n}" << 5022 << r
                                      << "Exception thrown and not caught" << 0 << 0;
        QTest::newRow("jscript error object")
            << "function main() {\n  var e = new Error('own text'); e.number = 1234; throw e;\n}"
            << 1234 << r << "own text" << 2 << 50;
        QTest::newRow("recursion") << "function main() { return main() + 1; }" << 28 << r
                                   << "Out of stack space" << 1 << 0;
        QTest::newRow("built-in error through call")
            << "function main() {\n  var x = 2;\n  Array.prototype.forEach.call(null, main);\n}"
            << 5007 << r << "Object expected" << 3 << 2;
        QTest::newRow("syntax error raised by running code")
            << "var a = 1;\n(function () {\n  JSON.parse('{ ]');\n})();\nfunction main() {}" << 1002
            << r << "Syntax error" << 3 << 2;
        QTest::newRow("eval'd text JScript refuses")
            << "function main() {\n  eval('if (a {');\n}" << 1006 << r << "Expected ')'" << 2 << 2;
        QTest::newRow("new on a non-constructor")
            << "function main() {\n  return new Math.max(1);\n}" << 445 << r
            << "Object doesn't support this action" << 2 << 2;
        QTest::newRow("after conditional compilation")
            << "/*@cc_on @*/\n@if (@_win32)\n  nope();\n@end\nfunction main() {}" << 5009 << r
            << "'nope' is undefined" << 3 << 2;
        QTest::newRow("undefined procedure")
            << "function other() {}" << 5009 << r << "'main' is undefined" << 0 << 0;
        QTest::newRow("top-level error") << "var a = 1;\nzz();\nfunction main() {}" << 5009 << r
                                         << "'zz' is undefined" << 2 << 0;
        // the scope rewrite adds no line: errors stay on their lines, also inside a
        // function made from its text for the enclosing scope
        QTest::newRow("after a hoisted function")
            << "function main() {\n  if (false) { function f() {\n    return 1;\n  } }\n"
               "  var a = function g() {};\n  g();\n  return a + nope;\n}"
            << 5009 << r << "'nope' is undefined" << 7 << 13;
        QTest::newRow("inside a hoisted function of global code")
            << "if (false) {\n  function f() {\n    return nope;\n  }\n}\n"
               "function main() {\n  return f();\n}"
            << 5009 << r << "'nope' is undefined" << 3 << 11;
    }
    void errors()
    {
        QFETCH(QString, code);
        JScriptEngine engine;
        ScriptError heard;
        engine.setErrorListener([&](const ScriptError &e) { heard = e; });
        QVariant result;
        QVERIFY(!(engine.addCode(code) && engine.run(QStringLiteral("main"), {}, &result)));
        const ScriptError &e = engine.error();
        QTEST(e.number, "number");
        QTEST(e.source, "source");
        QTEST(e.description, "description");
        QTEST(e.line, "line");
        QTEST(e.column, "column");
        QCOMPARE(heard.number, e.number);
        if (e.line > 0)
            QCOMPARE(e.text, code.split(u'\n').at(e.line - 1));
    }

    void legacySyntax_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("octal number") << "a = 010;"
                                      << "a = 8  ;";
        QTest::newRow("octal zero") << "a = 00 + 0;"
                                    << "a = 0  + 0;";
        QTest::newRow("octal before member") << "077.toString()"
                                             << "63 .toString()";
        QTest::newRow("long octal in hex") << "01777777777777777777777"
                                           << "0xffffffffffffffff     ";
        QTest::newRow("leading zero decimal") << "x(080, 09.5)"
                                              << "x( 80,  9.5)";
        QTest::newRow("modern numbers kept") << "0; 0.5; .05; 1.05; 1e05; 0x1F; 0e1; 105"
                                             << "0; 0.5; .05; 1.05; 1e05; 0x1F; 0e1; 105";
        QTest::newRow("octal escape") << "s = \"\\101\\102\";"
                                      << "s = \"AB\"      ;";
        QTest::newRow("short escapes")
            << "'\\1\\08\\8'"
            << (QStringLiteral("'") + QChar(1)) + QChar(0) + QStringLiteral("88'   ");
        QTest::newRow("quote and line end escapes") << "'\\47\\134\\12'x"
                                                    << "'\\'\\\\\\n'    x";
        QTest::newRow("no vertical tab") << "'\\v1' + 1"
                                         << "'v1'  + 1";
        QTest::newRow("modern escapes kept") << "'\\0 \\x41 \\u0041 \\n \\\\101'"
                                             << "'\\0 \\x41 \\u0041 \\n \\\\101'";
        QTest::newRow("comments kept") << "// 010 '\\1'\n/* 010 */ 010"
                                       << "// 010 '\\1'\n/* 010 */ 8  ";
        QTest::newRow("regexp kept") << "r = /\\1 010/; n = a / 010 / 2;"
                                     << "r = /\\1 010/; n = a / 8   / 2;";
        QTest::newRow("regexp after return") << "return /[/]\\01/.test(s)"
                                             << "return /[/]\\01/.test(s)";
        QTest::newRow("identifier digits kept") << "v010 = $01;"
                                                << "v010 = $01;";
    }
    void legacySyntax()
    {
        QFETCH(QString, code);
        QFETCH(QString, rewritten);
        QCOMPARE(rewriteLegacySyntax(code), rewritten);
    }

    void evalCallsChecked_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("direct call") << "eval(a, b);"
                                     << "eval(__evalText(a), b);";
        QTest::newRow("nested") << "eval(eval(f(x)) + [1, 2])"
                                << "eval(__evalText(eval(__evalText(f(x))) + [1, 2]))";
        QTest::newRow("members and names kept")
            << "o.eval(c); o . eval(c); function eval(d) {} 'eval(x)' // eval(x)"
            << "o.eval(c); o . eval(c); function eval(d) {} 'eval(x)' // eval(x)";
        QTest::newRow("conditional compilation in place")
            << "/*@cc_on @if (@_win32) x = 010; @else\ny(); @end @*/ z = @_jscript;"
            << "                       x = 8  ;      \n              z = true     ;";
        QTest::newRow("no conditional compilation") << "/* @cc_on */ /*@if (a) @end */ x = '@if';"
                                                    << "/* @cc_on */ /*@if (a) @end */ x = '@if';";
        QTest::newRow("with legacy forms") << "eval('\\101', 010)"
                                           << "eval(__evalText('A'   ), 8  )";
    }
    void evalCallsChecked()
    {
        QFETCH(QString, code);
        QFETCH(QString, rewritten);
        quillora::js::CcState cc;
        QCOMPARE(engineText(code, cc), rewritten);
    }

    void legacySyntaxRuns()
    {
        QCOMPARE(
            runScript(QStringLiteral(
                "function main() { return [010, 080, 09.5, '\\101\\7'.charCodeAt(1)].join(); }")),
            QStringLiteral("8,80,9.5,7"));
        // the error after rewritten text is where the script has it
        JScriptEngine engine;
        QVERIFY(!engine.addCode(QStringLiteral("var s = '\\1\\2\\3' + 010; a+*2;")));
        QCOMPARE(engine.error().line, 1);
        QCOMPARE(engine.error().column, 26);
        QCOMPARE(engine.error().text, QStringLiteral("var s = '\\1\\2\\3' + 010; a+*2;"));
    }

    void alertAndMsgBoxReachTheHost()
    {
        Host host;
        QCOMPARE(
            runScript(QStringLiteral("function main() { alert('hi'); return MsgBox('q', 4); }"),
                      QStringLiteral("main"), {}, &host),
            QStringLiteral("1"));
        QCOMPARE(host.shown, (QStringList{"hi", "q"}));
    }

    void resetForgetsEverything()
    {
        JScriptEngine engine;
        QVERIFY(engine.addCode(QStringLiteral("var kept = 1; function f() { return kept; }")));
        engine.reset();
        QVERIFY(!engine.run(QStringLiteral("f"), {}));
        QCOMPARE(engine.error().number, 5009);
        engine.reset();
        QVERIFY(engine.addCode(QStringLiteral("function f() { return typeof kept; }")));
        QVariant r;
        QVERIFY(engine.run(QStringLiteral("f"), {}, &r));
        QCOMPARE(r.toString(), QStringLiteral("undefined"));
    }

    void interruptStopsAnEndlessLoop()
    {
        JScriptEngine engine;
        QVERIFY(engine.addCode(
            QStringLiteral("function f() { try { while (true) {} } catch (e) {} }")));
        QThread *watchdog = QThread::create([&] {
            QThread::msleep(200);
            engine.requestInterrupt();
        });
        watchdog->start();
        QVERIFY(!engine.run(QStringLiteral("f"), {}));
        watchdog->wait();
        delete watchdog;
        QCOMPARE(engine.error().description, QStringLiteral("Operation aborted"));
        // the engine is usable again
        QVERIFY(engine.addCode(QStringLiteral("function g() { return 1; }")));
        QVariant r;
        QVERIFY(engine.run(QStringLiteral("g"), {}, &r));
        QCOMPARE(r.toInt(), 1);
    }

    void bigScript()
    {
        QString code = QStringLiteral("function main() { return 7; }\n");
        const QString filler = QStringLiteral("var v%1 = 'some text to make the script big';\n");
        while (code.size() < 5 * 1024 * 1024)
            code += filler.arg(code.size());
        QCOMPARE(runScript(code), QStringLiteral("7"));
    }

    void consoleRunner()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("echo test.js"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("WScript.Echo('a', 1);\nWScript.echo(WScript.Arguments.Count(), "
                "WScript.Arguments(0));\n"
                "WScript.StdOut.WriteLine('out');\nvar x = undefinedThing;\n");
        f.close();
        QProcess p;
        p.start(QStringLiteral(QUILLORA_BINARY_DIR "/quillora-script"),
                {path, QStringLiteral("arg")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("a 1\n1 arg\nout\n"));
        QCOMPARE(
            QString::fromUtf8(p.readAllStandardError()),
            path + QStringLiteral(
                       "(4, 9) Microsoft JScript runtime error: 'undefinedThing' is undefined\n"));
        QCOMPARE(p.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TestJsEngine)
#include "tst_js_engine.moc"
