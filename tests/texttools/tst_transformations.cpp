// The text transformations: the examples of hyphen removal, its one pass against the
// step-by-step removal, line-break removal and insertion, the integer conversion of go
// to line.

#include "tests/support/timebudget.h"
#include "texttools/textsearch.h"
#include "texttools/transformations.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Hyphen removal as a loop that edits the text hyphen by hyphen and reads it afresh
// after each deletion: the behaviour the one pass must reproduce.
QString removeHyphensStepByStep(QString text, int &count)
{
    static const QStringList shortExceptions = {"-to-", "-of-", "Know-how", "the-art",
                                                "fast-movin"};
    count = 0;
    qsizetype at = text.indexOf(u'-');
    while (at >= 0) {
        const QString lower = asciiLower(text);
        bool keep = hyphenInMarkup(lower, at + 1);
        keep = keep || at + 1 >= text.size() || text[at + 1] < u'a' || text[at + 1] > u'z';
        const QString near = text.mid(qMax<qsizetype>(0, at - 4), 10);
        for (const QString &exception : shortExceptions)
            keep = keep || near.contains(exception);
        keep = keep || text.mid(qMax<qsizetype>(0, at - 15), 25).contains(QStringLiteral("www."));
        if (!keep) {
            text.remove(at, 1);
            ++count;
            // The next search starts one beyond the hyphen's old place.
            at = text.indexOf(u'-', at + 1);
        } else {
            at = text.indexOf(u'-', at + 1);
        }
    }
    return text;
}

} // namespace

class TestTransformations : public QObject
{
    Q_OBJECT

private slots:
    void markupTest_data();
    void markupTest();
    void removeHyphenation_data();
    void removeHyphenation();
    void onePassMatchesStepByStep();
    void hyphenRemovalIsLinear();
    void removeLineBreaks_data();
    void removeLineBreaks();
    void insertLineBreaks_data();
    void insertLineBreaks();
    void caseConversionsAreAsciiOnly();
    void strToInt_data();
    void strToInt();
};

void TestTransformations::markupTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("inside");
    // The hyphen is always the first character; the test looks after it.
    QTest::newRow("plain text") << "-known words" << false;
    QTest::newRow("attribute in a tag") << "-width=\"3\">text" << true;
    QTest::newRow("text before a tag") << "-known <b>x</b>" << false;
    QTest::newRow("css property") << "-size: 12px; }" << true;
    QTest::newRow("before a css block") << "-known { a: b }" << false;
    QTest::newRow("lone closing tag bracket") << "-x >" << true;
}

void TestTransformations::markupTest()
{
    QFETCH(QString, text);
    QFETCH(bool, inside);
    QCOMPARE(hyphenInMarkup(text, 1), inside);
}

void TestTransformations::removeHyphenation_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    QTest::newRow("hy-phen") << "hy-phen"
                             << "hyphen" << 1;
    QTest::newRow("across lines") << "hy-\r\nphen"
                                  << "hy-\r\nphen" << 0;
    QTest::newRow("up-to-date") << "up-to-date"
                                << "up-to-date" << 0;
    QTest::newRow("state-of-the-art") << "state-of-the-art"
                                      << "state-of-the-art" << 0;
    QTest::newRow("Know-how") << "Know-how"
                              << "Know-how" << 0;
    QTest::newRow("know-how") << "know-how"
                              << "knowhow" << 1;
    QTest::newRow("well-known") << "a well-known fact"
                                << "a wellknown fact" << 1;
    QTest::newRow("E-Mail") << "E-Mail"
                            << "E-Mail" << 0;
    QTest::newRow("web address") << "see www.my-site.com"
                                 << "see www.my-site.com" << 0;
    QTest::newRow("far from www") << "www.x.com and then long-winded"
                                  << "www.x.com and then longwinded" << 1;
    QTest::newRow("in a tag") << "<a data-x=\"1\">re-do</a>"
                              << "<a data-x=\"1\">redo</a>" << 1;
    QTest::newRow("in a style block") << "p { font-size: 2px }"
                                      << "p { font-size: 2px }" << 0;
    // Hyphens of style sheets, scripts and comments inside a page stay: a selector keeps
    // matching the class of the same name.
    QTest::newRow("selector in a style element")
        << "<style>.main-box {\r\ncolor: red }</style><p class=\"main-box\">re-do</p>"
        << "<style>.main-box {\r\ncolor: red }</style><p class=\"main-box\">redo</p>" << 1;
    QTest::newRow("script element in any case") << "<SCRIPT>var a = b-c;</Script> re-do"
                                                << "<SCRIPT>var a = b-c;</Script> redo" << 1;
    QTest::newRow("comment") << "<!-- see-also --> re-do"
                             << "<!-- see-also --> redo" << 1;
    QTest::newRow("unclosed style") << "<style>.a-b "
                                    << "<style>.a-b " << 0;
    QTest::newRow("end of text") << "end-"
                                 << "end-" << 0;
    QTest::newRow("umlaut follower") << QStringLiteral("x-ä") << QStringLiteral("x-ä") << 0;
    QTest::newRow("empty") << ""
                           << "" << 0;
}

void TestTransformations::removeHyphenation()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, count);
    const HyphenRemoval removal = ::removeHyphenation(text);
    QCOMPARE(removal.text, expected);
    QCOMPARE(removal.count, count);
    if (count > 0) {
        // Only the stretch between the first and the last removed hyphen differs.
        QCOMPARE(text.left(removal.first), expected.left(removal.first));
        QCOMPARE(text.mid(removal.oldEnd), expected.mid(removal.newEnd));
    }
}

void TestTransformations::onePassMatchesStepByStep()
{
    const QStringList pieces = {"a",   "b",   "-",    "--",    "K",    "now", "how",  "www.", "<",
                                ">",   "{",   "}",    "\r\n",  " ",    "E",   "-to-", "to",   "of",
                                "the", "art", "fast", "movin", "Know", "x",   "M"};
    QRandomGenerator random(1);
    for (int round = 0; round < 4000; ++round) {
        QString text;
        for (int i = random.bounded(0, 40); i > 0; --i)
            text += pieces[random.bounded(int(pieces.size()))];
        int count = 0;
        const QString expected = removeHyphensStepByStep(text, count);
        const HyphenRemoval removal = ::removeHyphenation(text);
        if (removal.text != expected || removal.count != count)
            QFAIL(qPrintable(QStringLiteral("\"%1\": \"%2\" (%3) != \"%4\" (%5)")
                                 .arg(text, removal.text)
                                 .arg(removal.count)
                                 .arg(expected)
                                 .arg(count)));
    }
}

void TestTransformations::hyphenRemovalIsLinear()
{
    // 10 MB with 100,000 hyphens that go and markup far away at the end.
    QString text;
    const QString line = QStringLiteral("Some hyphen-ated words with no markup, in a line of text "
                                        "that is long enough to weigh in at about a hundred.\r\n");
    while (text.size() < 10'000'000)
        text += line;
    text += QStringLiteral("<p>");
    SpeedTimer timer;
    timer.start();
    const HyphenRemoval removal = ::removeHyphenation(text);
    QVERIFY(removal.count > 90'000);
    QVERIFY2(timer.elapsed() < timeBudget(5000), qPrintable(QString::number(timer.elapsed())));
}

void TestTransformations::removeLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("space kept") << "a \r\n b"
                                << "a b";
    QTest::newRow("words joined") << "a\r\nb"
                                  << "ab";
    QTest::newRow("70 spaces") << QString(70, u' ') << "  ";
    QTest::newRow("64 spaces") << QString(64, u' ') << " ";
    QTest::newRow("tabs stay") << "a\t\tb"
                               << "a\t\tb";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTransformations::removeLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::removeLineBreaks(text), expected);
}

void TestTransformations::insertLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a;b;") << "a;b;"
                          << ";"
                          << "a;\r\nb;\r\n";
    QTest::newRow("case of the typed value") << "xAy"
                                             << "a"
                                             << "xa\r\ny";
    QTest::newRow("umlaut folds") << QStringLiteral("Ä ä") << QStringLiteral("ä")
                                  << QStringLiteral("ä\r\n ä\r\n");
    QTest::newRow("longer value") << "1, 2, 3"
                                  << ", "
                                  << "1, \r\n2, \r\n3";
    QTest::newRow("empty value") << "a;b"
                                 << ""
                                 << "a;b";
}

void TestTransformations::insertLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(::insertLineBreaks(text, value), expected);
}

void TestTransformations::caseConversionsAreAsciiOnly()
{
    QCOMPARE(asciiUpperCase(QStringLiteral("straße äb")), QStringLiteral("STRAßE äB"));
    QCOMPARE(asciiLower(QStringLiteral("STRASSE ÄB")), QStringLiteral("strasse Äb"));
}

void TestTransformations::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("ok");
    QTest::newRow("plain") << "42" << 42 << true;
    QTest::newRow("leading blanks") << "  7" << 7 << true;
    QTest::newRow("negative") << "-3" << -3 << true;
    QTest::newRow("zero") << "0" << 0 << true;
    QTest::newRow("hex dollar") << "$1F" << 31 << true;
    QTest::newRow("hex 0x") << "0x10" << 16 << true;
    QTest::newRow("letters") << "abc" << 0 << false;
    QTest::newRow("empty") << "" << 0 << false;
    QTest::newRow("trailing blank") << "5 " << 0 << false;
    QTest::newRow("too large") << "99999999999" << 0 << false;
    QTest::newRow("sign only") << "-" << 0 << false;
}

void TestTransformations::strToInt()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(bool, ok);
    const std::optional<int> got = ::strToInt(text);
    QCOMPARE(got.has_value(), ok);
    if (ok)
        QCOMPARE(*got, value);
}

QTEST_GUILESS_MAIN(TestTransformations)
#include "tst_transformations.moc"
