// The scheme catalogue, the extension rules and content detection.

#include "editor/textcodec.h"
#include "schemes/schemecatalogue.h"

#include <QTest>

#include "tests/support/timebudget.h"

class tst_SchemeCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void catalogue();
    void extensionRules_data();
    void extensionRules();
    void textPos_data();
    void textPos();
    void detectScheme_data();
    void detectScheme();
    void detectSchemeLargeText();
};

void tst_SchemeCatalogue::catalogue()
{
    QStringList captions, names, prefixes;
    for (const SchemeEntry &entry : schemeCatalogue()) {
        captions << entry.menuCaption.toString();
        names << entry.name.toString();
        prefixes << entry.prefix.toString();
    }
    QCOMPARE(captions, QStringList({"ASM", "C/C++", "CSS", "Fortran", "HTML", "Java", "JavaScript",
                                    "Pascal", "Perl", "PHP", "Python", "Ruby", "SQL",
                                    "Visual Basic", "VBScript", "XML/XSL", "", "None"}));
    QCOMPARE(names, QStringList({"ASM", "C/C++", "CSS", "Fortran", "HTML", "Java", "JavaScript",
                                 "Pascal", "Perl", "PHP", "Python", "Ruby", "SQL", "VBasic",
                                 "VBScript", "XML", "C#", "TXT"}));
    QCOMPARE(prefixes,
             QStringList({"Asm", "C", "Css", "Fortran", "Html", "Java", "Js", "Pas", "Pearl", "Php",
                          "Pyth", "Ruby", "Sql", "Vb", "Vbs", "Xml", "C", ""}));
    QCOMPARE(schemeEntry(Scheme::CSharp).menuItem, u"");
    QCOMPARE(schemeEntry(Scheme::CSharp).highlighter, u"SynCSSyn1");
    QCOMPARE(schemeEntry(Scheme::Css).highlighter, u"SynCssSyn1");
    QCOMPARE(proposalItemsFileName(schemeEntry(Scheme::Perl)), u"PearlItems.src");
    QCOMPARE(proposalInsertsFileName(schemeEntry(Scheme::Python)), u"PythInserts.src");

    const QList<Scheme> byCode = {
        Scheme::None, Scheme::Pascal, Scheme::Cpp, Scheme::JavaScript, Scheme::VisualBasic,
        Scheme::Html, Scheme::Xml,    Scheme::Php, Scheme::Java,       Scheme::Perl};
    for (int code = 0; code < byCode.size(); ++code)
        QCOMPARE(schemeForContentCode(code), byCode[code]);
    QCOMPARE(schemeForContentCode(10), Scheme::None);
}

void tst_SchemeCatalogue::extensionRules_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");  // status-bar scheme name
    QTest::addColumn<QString>("items"); // proposal Items file, empty for None

    auto row = [](const char *file, const char *name, const char *items) {
        QTest::newRow(file) << QString::fromUtf8(file) << QString::fromUtf8(name)
                            << QString::fromUtf8(items);
    };
    row("Page.PHTML", "HTML", "HtmlItems.src"); // rule 2 before PHP
    row("index.php3", "PHP", "PhpItems.src");
    row("svc.asmx", "ASM", "AsmItems.src");
    row("data.json", "JavaScript", "JsItems.src");
    row("page.jsp", "JavaScript", "JsItems.src");
    row("style.xsl", "XML", "XmlItems.src");
    row("schema.xsd", "XML", "XmlItems.src");
    row("Unit1.PAS", "Pascal", "PasItems.src");
    row("prog.cs", "C#", "CItems.src");
    row("a.plist", "Perl", "PearlItems.src");
    row("Module1.vb", "TXT", "");
    row("file.hpp", "TXT", "");
    row("file.cc", "TXT", "");
    row("prog.f90", "TXT", "");
    row("notes.txt", "TXT", "");
    row("Makefile", "TXT", "");
    row("name.", "TXT", "");
    row("", "TXT", "");
    row("/home/me/site.d/readme", "TXT", ""); // a dot in a folder name is no extension
    row("/home/me/x.htm/page.c", "C/C++", "CItems.src");
    row("boot.S.asm", "ASM", "AsmItems.src");
    row("project.dproj", "Pascal", "PasItems.src");
    row("pkg.dpk", "Pascal", "PasItems.src");
    row("unit.pp", "Pascal", "PasItems.src");
    row("main.h", "C/C++", "CItems.src");
    row("tool.VCXPROJ", "C/C++", "CItems.src");
    row("login.vbs", "VBScript", "VbsItems.src");
    row("app.vbsproj", "VBScript", "VbsItems.src");
    row("Form1.bas", "VBasic", "VbItems.src");
    row("app.vbproj", "VBasic", "VbItems.src");
    row("types.dtd", "XML", "XmlItems.src");
    row("site.css", "CSS", "CssItems.src");
    row("site.scss", "TXT", "");
    row("app.csproj", "C#", "CItems.src");
    row("Main.java", "Java", "JavaItems.src");
    row("Main.class", "TXT", "");
    row("run.py", "Python", "PythItems.src");
    row("gui.pyw", "Python", "PythItems.src");
    row("calc.for", "Fortran", "FortranItems.src");
    row("calc.f", "TXT", "");
    row("app.rb", "Ruby", "RubyItems.src");
    row("lib.pm", "Perl", "PearlItems.src");
    row("form.cgi", "Perl", "PearlItems.src");
    row("schema.sql", "SQL", "SqlItems.src");
}

void tst_SchemeCatalogue::extensionRules()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QFETCH(QString, items);
    const SchemeEntry &entry = schemeEntry(schemeForFileName(fileName));
    QCOMPARE(entry.name.toString(), name);
    QCOMPARE(entry.prefix.isEmpty() ? QString() : proposalItemsFileName(entry), items);
}

void tst_SchemeCatalogue::textPos_data()
{
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("editorLength"); // -1: the text's own length
    QTest::addColumn<qsizetype>("expected");

    QTest::newRow("found") << "end"
                           << "begin x END" << qsizetype(1) << qsizetype(-1) << qsizetype(9);
    QTest::newRow("from start") << "x"
                                << "x..x" << qsizetype(2) << qsizetype(-1) << qsizetype(4);
    QTest::newRow("start 0 counts as 1") << "ab"
                                         << "ab" << qsizetype(0) << qsizetype(-1) << qsizetype(1);
    QTest::newRow("negative start") << "ab"
                                    << "ab" << qsizetype(-5) << qsizetype(-1) << qsizetype(1);
    QTest::newRow("start at length") << "b"
                                     << "ab" << qsizetype(2) << qsizetype(-1) << qsizetype(-1);
    QTest::newRow("not found") << "procedure"
                               << "program x;" << qsizetype(1) << qsizetype(-1) << qsizetype(-1);
    QTest::newRow("blank text") << "a"
                                << " \r\n\t" << qsizetype(1) << qsizetype(-1) << qsizetype(-1);
    QTest::newRow("blank sub") << "  "
                               << "a  b" << qsizetype(1) << qsizetype(-1) << qsizetype(-1);
    QTest::newRow("editor shorter than sub")
        << "abc"
        << "xxabc" << qsizetype(1) << qsizetype(2) << qsizetype(-1);
    QTest::newRow("trailing blank kept")
        << "sub "
        << "Sub1\r\nSUB x" << qsizetype(1) << qsizetype(-1) << qsizetype(7);
    // Only A to Z fold: Unicode case pairs of ASCII letters do not match.
    QTest::newRow("Kelvin sign is not k")
        << "kb" << QStringLiteral("\u212Ab kb") << qsizetype(1) << qsizetype(-1) << qsizetype(4);
    QTest::newRow("long s is not s")
        << "sub " << QStringLiteral("\u017Fub x") << qsizetype(1) << qsizetype(-1) << qsizetype(-1);
}

void tst_SchemeCatalogue::textPos()
{
    QFETCH(QString, sub);
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, editorLength);
    QFETCH(qsizetype, expected);
    QCOMPARE(TextPos(sub, text, start, editorLength < 0 ? text.size() : editorLength), expected);
}

void tst_SchemeCatalogue::detectScheme_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");

    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blank") << "  \r\n\t " << 0;
    QTest::newRow("plain prose") << "Dear reader,\r\nnothing to see." << 0;
    QTest::newRow("Pascal begin end") << "program p;\r\nBEGIN\r\n  writeln;\r\nEnd." << 1;
    QTest::newRow("Pascal procedure alone") << "Procedure" << 1;
    QTest::newRow("end before begin") << "the end\r\nbegin again" << 0;
    QTest::newRow("Pascal beats braces") << "begin { comment } end" << 1;
    QTest::newRow("HTML") << "<!DOCTYPE html>\r\n<HTML lang=de>" << 5;
    QTest::newRow("HTML head") << "<head></head>" << 5;
    QTest::newRow("XML") << "<?xml version=\"1.0\"?><a/>" << 6;
    QTest::newRow("PHP") << "<?php echo 1; ?>" << 7;
    QTest::newRow("Java") << "public class A {\r\n}" << 8;
    QTest::newRow("Java static") << "static int f() { return 1; }" << 8;
    QTest::newRow("C") << "#include <stdio.h>\r\nint main() { return 0; }" << 2;
    QTest::newRow("C with public") << "#include <STDIO.H>\r\npublic: {}" << 2;
    QTest::newRow("JavaScript") << "function f() { return 1; }" << 3;
    QTest::newRow("Visual Basic") << "Sub Main() {\r\n  x = 1\r\nEnd Sub" << 4;
    QTest::newRow("VB without end sub") << "Sub Main()\r\n" << 0;
    QTest::newRow("Perl") << "#!/usr/bin/perl\r\nprint 1;" << 9;
    QTest::newRow("Perl with braces is JS") << "#!/usr/bin/perl\r\nsub f { 1 }" << 3;
    QTest::newRow("end, begin, end") << "end; begin x end" << 1;
    QTest::newRow("sub needs its blank") << "Sub\r\nEnd Sub" << 0;
    QTest::newRow("end sub supplies sub") << "x {\r\nEnd Sub " << 4;
    QTest::newRow("one character") << "{" << 0;
    QTest::newRow("brace pair, two characters") << "{}" << 3;
}

// The rules read literally, one TextPos search per word, as a second opinion on the
// one-pass DetectScheme.
static int detectByTextPos(const QString &text)
{
    auto find = [&](const char16_t *sub, qsizetype start = 1) {
        return TextPos(QStringView(sub), text, start, text.size());
    };
    auto found = [&](const char16_t *sub) { return find(sub) > 0; };
    const qsizetype begin = find(u"begin");
    if ((begin > 0 && find(u"end", begin) > 0) || found(u"procedure"))
        return 1;
    if (found(u"<html") || found(u"<head>"))
        return 5;
    if (found(u"<?xml"))
        return 6;
    if (found(u"<?php"))
        return 7;
    if (found(u"{") && found(u"}")) {
        if (!found(u"stdio.h") && (found(u"public") || found(u"static")))
            return 8;
        return found(u"stdio.h") ? 2 : 3;
    }
    if (found(u"sub ") && found(u"end sub"))
        return 4;
    return found(u"#!/usr/bin/perl") ? 9 : 0;
}

void tst_SchemeCatalogue::detectScheme()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(DetectScheme(text), code);
    QCOMPARE(detectByTextPos(text), code);
    // The editor's own bytes, with LF breaks, give the same answer.
    QString lfText = text;
    normaliseLineBreaks(lfText);
    QCOMPARE(DetectScheme(QByteArrayView(lfText.toUtf8())), code);
}

void tst_SchemeCatalogue::detectSchemeLargeText()
{
    // A paste into a large document without a scheme: one pass, well under a second.
    QString text;
    const QString line = QStringLiteral("Plain words, nothing to recognise in them at all.\r\n");
    text.reserve(line.size() * 400000);
    for (int i = 0; i < 400000; ++i)
        text += line;
    text += QStringLiteral("#!/usr/bin/perl");
    SpeedTimer timer;
    timer.start();
    QCOMPARE(DetectScheme(text), 9);
    qInfo("content detection over %lld characters: %lld ms", text.size(), timer.elapsed());
    QVERIFY(timer.elapsed() < timeBudget(150));
}

QTEST_APPLESS_MAIN(tst_SchemeCatalogue)
#include "tst_schemecatalogue.moc"
