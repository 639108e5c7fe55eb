// The seventeen highlighters: each really colours its language, and the colour step
// reaches the style the lexer gives a keyword, identifier, comment or symbol.

#include "editor/highlighters.h"

#include <QTest>
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

namespace {

// The style Scintilla gives the first character of `token` in `text`.
int styleOf(QsciScintilla &editor, const QString &text, const QString &token)
{
    const qsizetype at = text.indexOf(token);
    if (at < 0)
        return -1;
    return int(
        editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(at)));
}

int foregroundOf(QsciScintilla &editor, int style)
{
    return int(editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE,
                                    static_cast<unsigned long>(style)));
}

void showText(QsciScintilla &editor, QsciLexer *lexer, const QString &text)
{
    editor.setLexer(lexer);
    editor.setText(text);
    editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0ul, -1l);
}

} // namespace

class tst_Highlighters : public QObject
{
    Q_OBJECT
private slots:
    void allSeventeen();
    void kinds_data();
    void kinds();
    void namedAttributes_data();
    void namedAttributes();
    void designColours_data();
    void designColours();
};

void tst_Highlighters::allSeventeen()
{
    Highlighters highlighters;
    QCOMPARE(highlighters.all().size(), 17);
    QVERIFY(highlighters.byName(u"SynCSSyn1") != highlighters.byName(u"SynCssSyn1"));
    QVERIFY(!highlighters.byName(u"syncppsyn1"));
    for (QsciLexer *lexer : highlighters.all()) {
        const QString name = highlighterName(lexer);
        QCOMPARE(highlighters.byName(name), lexer);
        // A style without a description is skipped when the lexer is set: every style
        // the colour step uses must have one.
        QList<int> used;
        for (int kind : {0, 1, 2, 5})
            used += kindStyles(lexer, kind);
        used += namedStyles(lexer, u"ValueAttri") + namedStyles(lexer, u"AndAttri") +
                namedStyles(lexer, u"PropertyAttri");
        for (int style : std::as_const(used))
            QVERIFY2(!lexer->description(style).isEmpty(), qPrintable(name));
        // One monospace font for every style.
        for (int style : std::as_const(used))
            QCOMPARE(lexer->font(style).family(), lexer->font(0).family());
    }
    QCOMPARE(highlighterName(nullptr), QString());
}

void tst_Highlighters::kinds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    // The token of each kind; empty where the highlighter lacks the kind.
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("symbol");

    auto row = [](const char *name, const char *text, const char *keyword, const char *identifier,
                  const char *comment, const char *symbol) {
        QTest::newRow(name) << name << text << keyword << identifier << comment << symbol;
    };
    row("SynCppSyn1", "int value = 1; // note", "int", "value", "//", "=");
    row("SynJavaSyn1", "public int value = 1; // note", "int", "value", "//", "=");
    row("SynPasSyn1", "begin value := 1; { note } end", "begin", "value", "{", ":=");
    row("SynVBSyn1", "Dim value = 1 ' note", "Dim", "value", "'", "=");
    row("SynCSSyn1", "public int value = 1; // note", "int", "value", "//", "");
    row("SynHTMLSyn1", "<p class=\"a\">x &amp; y<!-- note --></p>", "p", "class", "<!--", "=");
    row("SynJScriptSyn1", "var value = Math.abs(1); // note", "var", "value", "//", "=");
    row("SynPHPSyn1", "<?php echo $value + 1; // note\n?>", "echo", "$value", "//", "+");
    row("SynVBScriptSyn1", "Dim value = 1 ' note", "Dim", "value", "'", "=");
    row("SynXMLSyn1", "<a b=\"1\"><!-- note --></a>", "a", "b", "<!--", "=");
    row("SynPerlSyn1", "my $value = 1; # note", "my", "$value", "#", "=");
    row("SynPythonSyn1", "def f(): return 1 # note", "def", "", "#", "(");
    row("SynRubySyn1", "def f\n  value = 1 # note\nend", "def", "value", "#", "");
    row("SynSQLSyn1", "SELECT amount FROM t; -- note", "SELECT", "amount", "--", ";");
    row("SynAsmSyn1", "mov value, 1 ; note", "mov", "value", ";", ",");
    row("SynFortranSyn1", "program p\n  amount = 1 ! note\nend program p", "program", "amount", "!",
        "=");
    row("SynCssSyn1", "@import url(a.css); p { color: red !important; } /* note */", "import", "",
        "/*", "");
}

void tst_Highlighters::kinds()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(QString, identifier);
    QFETCH(QString, comment);
    QFETCH(QString, symbol);

    Highlighters highlighters;
    QsciLexer *lexer = highlighters.byName(name);
    QVERIFY(lexer);
    QsciScintilla editor;
    showText(editor, lexer, text);

    const QList<std::pair<int, QString>> kinds = {{AttributeKind::Keyword, keyword},
                                                  {AttributeKind::Identifier, identifier},
                                                  {AttributeKind::Comment, comment},
                                                  {AttributeKind::Symbol, symbol}};
    int colour = 0x102030;
    for (const auto &[kind, token] : kinds) {
        colour += 0x010101;
        if (token.isEmpty()) {
            QVERIFY2(kindStyles(lexer, kind).isEmpty(), qPrintable(QString::number(kind)));
            QVERIFY(!setKindColour(lexer, kind, colour));
            continue;
        }
        const int style = styleOf(editor, text, token);
        QVERIFY2(
            kindStyles(lexer, kind).contains(style),
            qPrintable(
                QStringLiteral("kind %1: \"%2\" has style %3").arg(kind).arg(token).arg(style)));
        QVERIFY(setKindColour(lexer, kind, colour));
        // Scintilla keeps colours as 0x00BBGGRR too.
        QCOMPARE(foregroundOf(editor, style), colour);
    }
}

void tst_Highlighters::namedAttributes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("token");

    QTest::newRow("HTML value") << "SynHTMLSyn1"
                                << "<p class=\"a\">x</p>"
                                << "ValueAttri"
                                << "\"a\"";
    QTest::newRow("HTML entity") << "SynHTMLSyn1"
                                 << "<p>x &amp; y</p>"
                                 << "AndAttri"
                                 << "&amp;";
    QTest::newRow("CSS property") << "SynCssSyn1"
                                  << "p { color: red; }"
                                  << "PropertyAttri"
                                  << "color";
    QTest::newRow("CSS value") << "SynCssSyn1"
                               << "p { color: red; }"
                               << "ValueAttri"
                               << "red";
}

void tst_Highlighters::namedAttributes()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, attribute);
    QFETCH(QString, token);

    Highlighters highlighters;
    QsciLexer *lexer = highlighters.byName(name);
    QsciScintilla editor;
    showText(editor, lexer, text);
    const int style = styleOf(editor, text, token);
    QVERIFY2(namedStyles(lexer, attribute).contains(style), qPrintable(QString::number(style)));
    QVERIFY(setNamedColour(lexer, attribute, 0x0A0B0C));
    QCOMPARE(foregroundOf(editor, style), 0x0A0B0C);
    QVERIFY(!setNamedColour(highlighters.byName(u"SynPasSyn1"), attribute, 0x0A0B0C));
}

void tst_Highlighters::designColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<int>("colour");

    QTest::newRow("Pascal asm green") << "SynPasSyn1"
                                      << "begin asm mov ax, 1 end; end"
                                      << "mov" << 0x008000;
    QTest::newRow("Pascal keyword navy") << "SynPasSyn1"
                                         << "begin end"
                                         << "begin" << 0x800000;
    QTest::newRow("HTML entity navy") << "SynHTMLSyn1"
                                      << "<p>&amp;</p>"
                                      << "&amp;" << 0x800000;
    QTest::newRow("HTML comment grey") << "SynHTMLSyn1"
                                       << "<!-- c -->"
                                       << "<!--" << 0x808080;
    QTest::newRow("JScript non-reserved maroon") << "SynJScriptSyn1"
                                                 << "var d = new Date();"
                                                 << "Date" << 0x000080;
    QTest::newRow("JScript symbol red") << "SynJScriptSyn1"
                                        << "var d = 1;"
                                        << "=" << 0x0000FF;
    QTest::newRow("VBScript number green") << "SynVBScriptSyn1"
                                           << "x = 42"
                                           << "42" << 0x008000;
    QTest::newRow("Ruby symbol teal") << "SynRubySyn1"
                                      << "x = 1"
                                      << "=" << 0x808000;
}

void tst_Highlighters::designColours()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(int, colour);

    Highlighters highlighters;
    QsciScintilla editor;
    showText(editor, highlighters.byName(name), text);
    QCOMPARE(foregroundOf(editor, styleOf(editor, text, token)), colour);
}

QTEST_MAIN(tst_Highlighters)
#include "tst_highlighters.moc"
