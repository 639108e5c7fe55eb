// Regular-expression search and replace: the replacement escapes, replace all against
// results worked out by hand (and checked with Perl's s///mg, which follows the same
// rules), the piecewise search in UTF-8 against a search of the whole text, and the
// message for an invalid pattern.

#include "texttools/regexsearch.h"

#include <QRandomGenerator>
#include <QTest>

class TestRegexSearch : public QObject
{
    Q_OBJECT

private slots:
    void replaceAll_data();
    void replaceAll();
    void replaceFirstOnly();
    void findInUtf8_data();
    void findInUtf8();
    void findInUtf8AgreesWithWholeText();
    void invalidPatternNamesPosition_data();
    void invalidPatternNamesPosition();
};

void TestRegexSearch::replaceAll_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    const auto row = [](const char *name, const char *pattern, bool matchCase, bool wholeWord,
                        const char *text, const char *replacement, const char *expected,
                        int count) {
        QTest::newRow(name) << QString::fromUtf8(pattern) << matchCase << wholeWord
                            << QString::fromUtf8(text) << QString::fromUtf8(replacement)
                            << QString::fromUtf8(expected) << count;
    };
    row("captures", "(\\w+)@(\\w+)", true, false, "ann@box, bob@host", "\\2 at \\1",
        "box at ann, host at bob", 2);
    row("whole match \\0", "[0-9]+", true, false, "a1 b22", "<\\0>", "a<1> b<22>", 2);
    row("unset group is empty", "(a)|(b)", true, false, "ab", "[\\1\\2]", "[a][b]", 2);
    row("escapes n t backslash", ",", true, false, "a,b", "\\n\\t\\\\", "a\n\t\\b", 1);
    row("dollar is literal", "(a)", true, false, "a", "$1\\x", "$1\\x", 1);
    row("line starts", "^", true, false, "a\nb\n", "> ", "> a\n> b\n", 2);
    row("line ends", "$", true, false, "a\nb\n", ";", "a;\nb;\n;", 3);
    row("empty matches advance", "x*", true, false, "axb", "-", "-a--b-", 4);
    row("empty pattern on empty text", "", true, false, "", "!", "!", 1);
    row("pattern over lines", "a\\nb", true, false, "a\nb\na\nc", "X", "X\na\nc", 1);
    row("lazy over lines", "<b>([\\s\\S]*?)</b>", true, false, "<b>x\ny</b><b>z</b>", "\\1",
        "x\nyz", 2);
    row("dot stays in its line", "a.b", true, false, "a\nb", "X", "a\nb", 0);
    row("case folded beyond ASCII", "ä+", false, false, "ÄäB", "-", "-B", 1);
    row("case kept", "abc", true, false, "ABC abc", "X", "ABC X", 1);
    row("word characters beyond ASCII", "\\w+", true, false, "grüße, 日本", "W", "W, W", 2);
    row("whole word", "cat", true, true, "cat concat cat.", "dog", "dog concat dog.", 2);
    row("whole word alternation", "a|ab", true, true, "ab a", "X", "X X", 2);
    row("astral character is one", ".", true, false, "😀x", "-", "--", 2);
    row("no hit keeps text", "q", true, false, "abc", "X", "abc", 0);
}

void TestRegexSearch::replaceAll()
{
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(QString, text);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QFETCH(int, count);
    const RegexSearch regex(pattern, matchCase, wholeWord);
    QVERIFY(regex.isValid());
    qsizetype hits = -1;
    QCOMPARE(regex.replaceAll(text, replacement, &hits), expected);
    QCOMPARE(hits, qsizetype(count));
}

void TestRegexSearch::replaceFirstOnly()
{
    const RegexSearch regex(QStringLiteral("(o)"), true, false);
    qsizetype hits = 0;
    QCOMPARE(regex.replaceAll(u"foo boo", u"0\\1", &hits, true), QStringLiteral("f0oo boo"));
    QCOMPARE(hits, qsizetype(1));
}

void TestRegexSearch::findInUtf8_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("notEmptyAt");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    QTest::newRow("byte positions after non-ASCII")
        << QStringLiteral("b+") << QByteArray("äöbb") << 0 << -1 << 4 << 6;
    QTest::newRow("from skips earlier")
        << QStringLiteral("a") << QByteArray("a a") << 1 << -1 << 2 << 3;
    QTest::newRow("look-behind sees the line before from")
        << QStringLiteral("(?<=x)y") << QByteArray("xy") << 1 << -1 << 1 << 2;
    QTest::newRow("^ only at line starts")
        << QStringLiteral("^b") << QByteArray("ab\nb") << 1 << -1 << 3 << 4;
    QTest::newRow("over a line break")
        << QStringLiteral("a\\nb") << QByteArray("xa\nb") << 0 << -1 << 1 << 4;
    QTest::newRow("empty hit passed over")
        << QStringLiteral("x*") << QByteArray("ab") << 0 << 0 << 1 << 1;
    QTest::newRow("empty hit at end")
        << QStringLiteral("$") << QByteArray("ab") << 2 << -1 << 2 << 2;
    QTest::newRow("none") << QStringLiteral("z") << QByteArray("ab\ncd") << 0 << -1 << -1 << -1;
    QTest::newRow("four-byte character") << QStringLiteral("b")
                                         << QByteArray("\xF0\x9F\x98\x80"
                                                       "b")
                                         << 0 << -1 << 4 << 5;
}

void TestRegexSearch::findInUtf8()
{
    QFETCH(QString, pattern);
    QFETCH(QByteArray, text);
    QFETCH(int, from);
    QFETCH(int, notEmptyAt);
    QFETCH(int, start);
    QFETCH(int, end);
    const RegexSearch::Utf8Hit hit =
        RegexSearch(pattern, true, false).findInUtf8(text, from, notEmptyAt);
    QCOMPARE(hit.start, qsizetype(start));
    QCOMPARE(hit.end, qsizetype(end));
}

// Hits far beyond the first piece, and a greedy pattern that runs over piece ends: the
// piecewise search finds what one search over the whole text finds.
void TestRegexSearch::findInUtf8AgreesWithWholeText()
{
    QRandomGenerator random(22);
    QByteArray text;
    while (text.size() < 400000) {
        const int kind = random.bounded(40);
        if (kind == 0)
            text += "\n";
        else if (kind == 1)
            text += "ü";
        else if (kind == 2)
            text += "key=value";
        else
            text += char('a' + random.bounded(26));
    }
    for (const QString &pattern : {QStringLiteral("key=(\\w+)\\n?"), QStringLiteral("^q[^\\n]*$"),
                                   QStringLiteral("zz[a-z]*\\n[a-z]+"), QStringLiteral("ü{2}")}) {
        const RegexSearch regex(pattern, true, false);
        const QString whole = QString::fromUtf8(text);
        qsizetype from = 0;
        for (int round = 0; round < 50; ++round) {
            const RegexSearch::Utf8Hit hit = regex.findInUtf8(text, from);
            const qsizetype offset = QString::fromUtf8(text.first(from)).size();
            const QRegularExpressionMatch match = regex.expression().match(whole, offset);
            if (!match.hasMatch()) {
                QCOMPARE(hit.start, qsizetype(-1));
                break;
            }
            QCOMPARE(hit.start, whole.first(match.capturedStart()).toUtf8().size());
            QCOMPARE(hit.end, whole.first(match.capturedEnd()).toUtf8().size());
            from = hit.end + 1 + random.bounded(100000);
            while (from < text.size() && (text[from] & 0xC0) == 0x80)
                ++from;
            if (from > text.size())
                break;
        }
    }
}

void TestRegexSearch::invalidPatternNamesPosition_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("position");
    QTest::newRow("unclosed group") << QStringLiteral("a(b") << false << 4;
    QTest::newRow("unclosed group, whole word") << QStringLiteral("a(b") << true << 4;
    QTest::newRow("nothing to repeat") << QStringLiteral("*a") << false << 1;
    QTest::newRow("unclosed class") << QStringLiteral("x[a") << true << 4;
    QTest::newRow("trailing backslash") << QStringLiteral("ab\\") << true << 4;
}

void TestRegexSearch::invalidPatternNamesPosition()
{
    QFETCH(QString, pattern);
    QFETCH(bool, wholeWord);
    QFETCH(int, position);
    const RegexSearch regex(pattern, false, wholeWord);
    QVERIFY(!regex.isValid());
    QVERIFY2(regex.errorText(0).startsWith(
                 QStringLiteral("Ungültiger regulärer Ausdruck an Position %1: ").arg(position)),
             qPrintable(regex.errorText(0)));
    QVERIFY(regex.errorText(1).startsWith(
        QStringLiteral("Invalid regular expression at position %1: ").arg(position)));
    QCOMPARE(regex.replaceAll(u"ab", u"x"), QStringLiteral("ab"));
    QCOMPARE(regex.findInUtf8("ab", 0).start, qsizetype(-1));
    QVERIFY(RegexSearch(QStringLiteral("a"), false, wholeWord).errorText(0).isEmpty());
}

QTEST_GUILESS_MAIN(TestRegexSearch)
#include "tst_regexsearch.moc"
