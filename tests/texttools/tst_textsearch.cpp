// The search routines: the edge cases of the document search and the file search, the
// UTF-8 form of the document search against the UTF-16 one, and replace all.

#include "tests/support/timebudget.h"
#include "texttools/textsearch.h"

#include <QRandomGenerator>
#include <QTest>

class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void findInText_data();
    void findInText();
    void findInFileText_data();
    void findInFileText();
    void utf8SearchAgreesWithFindInText();
    void longPatternsAreFoundInLinearTime();
    void rejectedWholeWordHitsCostLittle();
    void replaceAll_data();
    void replaceAll();
};

void TestTextSearch::findInText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("expected");

    QTest::newRow("plain") << "hello world"
                           << "world" << 1 << false << false << 7;
    QTest::newRow("empty text") << ""
                                << "a" << 1 << false << false << 0;
    QTest::newRow("empty pattern") << "abc"
                                   << "" << 1 << false << false << 0;
    QTest::newRow("start 0") << "abc"
                             << "a" << 0 << false << false << 0;
    QTest::newRow("start negative") << "abc"
                                    << "a" << -5 << false << false << 0;
    QTest::newRow("start after hit") << "abcabc"
                                     << "abc" << 2 << false << false << 4;
    QTest::newRow("start beyond end") << "abc"
                                      << "c" << 4 << false << false << 0;
    QTest::newRow("case folded") << "ABC"
                                 << "b" << 1 << false << false << 2;
    QTest::newRow("match case misses") << "ABC"
                                       << "b" << 1 << false << true << 0;
    QTest::newRow("umlaut not folded")
        << QStringLiteral("ä") << QStringLiteral("Ä") << 1 << false << false << 0;
    QTest::newRow("whole word at start") << "cat sat"
                                         << "cat" << 1 << true << false << 1;
    QTest::newRow("whole word in concat") << "concat"
                                          << "cat" << 1 << true << false << 0;
    QTest::newRow("digits are non-word") << "x1"
                                         << "x" << 1 << true << false << 1;
    QTest::newRow("e acute is a word char")
        << QStringLiteral("xé") << "x" << 1 << true << false << 0;
    QTest::newRow("underscore non-word") << "_x_"
                                         << "x" << 1 << true << false << 2;
    QTest::newRow("code above 255 non-word")
        << QStringLiteral("Ωx") << "x" << 1 << true << false << 2;
    QTest::newRow("line breaks non-word") << "a\r\ncat\r\n"
                                          << "cat" << 1 << true << false << 4;
    QTest::newRow("rejected then found") << "cats cat"
                                         << "cat" << 1 << true << false << 6;
    QTest::newRow("continue right after rejected") << "xx x"
                                                   << "x" << 1 << true << false << 4;
    QTest::newRow("overlap skipped after reject") << "aaa aa"
                                                  << "aa" << 1 << true << false << 5;
}

void TestTextSearch::findInText()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, start);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(int, expected);
    QCOMPARE(FindInText(text, pattern, start, wholeWord, matchCase), expected);
}

void TestTextSearch::findInFileText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("expected");

    QTest::newRow("plain") << "a cat"
                           << "cat" << 1 << false << false << 3;
    QTest::newRow("none") << "a dog"
                          << "cat" << 1 << false << false << -1;
    QTest::newRow("start below 1 counts as 1") << "cat"
                                               << "cat" << -3 << false << false << 1;
    QTest::newRow("case folded") << "CAT"
                                 << "cat" << 1 << false << false << 1;
    QTest::newRow("match case") << "CAT"
                                << "cat" << 1 << false << true << -1;
    QTest::newRow("whole word at start") << "cat x"
                                         << "cat" << 1 << true << false << 1;
    QTest::newRow("digit is a word char") << "x1"
                                          << "x" << 1 << true << false << -1;
    QTest::newRow("hyphen is not") << "x-1"
                                   << "x" << 1 << true << false << 1;
    QTest::newRow("underscore is a word char") << "x_"
                                               << "x" << 1 << true << false << -1;
    QTest::newRow("bracket is a word char") << "[x]"
                                            << "x" << 1 << true << false << -1;
    QTest::newRow("umlaut is not") << QStringLiteral("äxä") << "x" << 1 << true << false << 2;
    // A rejected occurrence makes the search go on one beyond its end: the "x" right
    // after the rejected "xx" is skipped, the one after the space is found.
    QTest::newRow("restart skips one") << "xx;x x"
                                       << "x" << 1 << true << false << 4;
    // "x;" at 4 would count, but it begins right after the rejected one at 2.
    QTest::newRow("skip hides adjacent hit") << "ax;x;"
                                             << "x;" << 1 << true << false << -1;
    QTest::newRow("empty pattern") << "abc"
                                   << "" << 1 << false << false << -1;
}

void TestTextSearch::findInFileText()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, start);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(int, expected);
    QCOMPARE(FindInFileText(text, pattern, start, wholeWord, matchCase), qsizetype(expected));
}

// The editor searches its UTF-8 buffer with LF breaks; the result must be the occurrence
// FindInText gives on the CR LF text. Byte and index positions are converted here the
// slow, obvious way.
void TestTextSearch::utf8SearchAgreesWithFindInText()
{
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("A"),  QStringLiteral("b"),
                                QStringLiteral(" "), QStringLiteral("\n"), QStringLiteral("ä"),
                                QStringLiteral("Ä"), QStringLiteral("é"),  QStringLiteral("Ω"),
                                QStringLiteral("😀"), QStringLiteral("1"),  QStringLiteral("-")};
    QRandomGenerator random(42);
    for (int round = 0; round < 3000; ++round) {
        QString lf;
        const int length = random.bounded(0, 30);
        for (int i = 0; i < length; ++i)
            lf += pieces[random.bounded(int(pieces.size()))];
        QString pattern;
        const int patternLength = random.bounded(1, 4);
        for (int i = 0; i < patternLength; ++i) {
            QString piece = pieces[random.bounded(int(pieces.size()))];
            if (piece != u"\n")
                pattern += piece;
        }
        if (pattern.isEmpty())
            continue;
        const bool wholeWord = random.bounded(2);
        const bool matchCase = random.bounded(2);
        QString crlf = lf;
        crlf.replace(u'\n', QStringLiteral("\r\n"));
        const QByteArray bytes = lf.toUtf8();
        // Start at every character start of the LF text.
        for (qsizetype lfIndex = 0; lfIndex <= lf.size(); ++lfIndex) {
            if (lfIndex < lf.size() && lf[lfIndex].isLowSurrogate())
                continue;
            const qsizetype crlfIndex = lfIndex + lf.left(lfIndex).count(u'\n');
            const qsizetype from = lf.left(lfIndex).toUtf8().size();
            const qsizetype hit = findInUtf8(bytes, pattern.toUtf8(), from, wholeWord, matchCase);
            int got = 0;
            if (hit >= 0) {
                const QString before = QString::fromUtf8(bytes.left(hit));
                got = int(before.size() + before.count(u'\n')) + 1;
            }
            const int expected =
                FindInText(crlf, pattern, int(crlfIndex) + 1, wholeWord, matchCase);
            if (got != expected)
                QFAIL(qPrintable(QStringLiteral("text %1 pattern %2 start %3 ww %4 mc %5: %6 != %7")
                                     .arg(crlf.toUtf8().toPercentEncoding(), pattern)
                                     .arg(crlfIndex + 1)
                                     .arg(wholeWord)
                                     .arg(matchCase)
                                     .arg(got)
                                     .arg(expected)));
        }
    }
}

void TestTextSearch::longPatternsAreFoundInLinearTime()
{
    // "b" followed by 9,999 "a": a skip table alone would compare almost the whole
    // pattern at every one of the 20 M positions.
    const QString pattern = u'b' + QString(9999, u'a');
    QString text(20'000'000, u'a');
    SpeedTimer timer;
    timer.start();
    QCOMPARE(FindInText(text, pattern, 1, false, true), 0);
    QCOMPARE(FindInFileText(text, pattern, 1, false, false), qsizetype(-1));
    text.replace(15'000'000, 1, u'b');
    QCOMPARE(FindInText(text, pattern, 1, false, false), 15'000'001);
    const QByteArray bytes = text.toLatin1();
    QCOMPARE(findInUtf8(bytes, pattern.toLatin1(), 0, true, false), qsizetype(-1));
    QVERIFY2(timer.elapsed() < timeBudget(20'000), qPrintable(QString::number(timer.elapsed())));
}

void TestTextSearch::rejectedWholeWordHitsCostLittle()
{
    // 50,000 hits inside words before the one whole word: each rejected hit must cost
    // about the distance to the next, not the rest of the text.
    const QString text = QStringLiteral("other ").repeated(50'000) + QStringLiteral("the");
    const QByteArray bytes = text.toLatin1();
    SpeedTimer timer;
    timer.start();
    QCOMPARE(FindInText(text, QStringLiteral("THE"), 1, true, false), int(text.size()) - 2);
    QCOMPARE(findInUtf8(bytes, "THE", 0, true, false), text.size() - 3);
    QVERIFY2(timer.elapsed() < timeBudget(300), qPrintable(QString::number(timer.elapsed())));
}

void TestTextSearch::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    QTest::newRow("no overlap") << "aaaa"
                                << "aa"
                                << "b" << false << "bb" << 2;
    QTest::newRow("odd run") << "aaa"
                             << "aa"
                             << "b" << false << "ba" << 1;
    QTest::newRow("grows") << "aaa"
                           << "a"
                           << "aa" << false << "aaaaaa" << 3;
    QTest::newRow("empty replacement") << "a-b-c"
                                       << "-"
                                       << "" << false << "abc" << 2;
    QTest::newRow("replacement holds search") << "cat"
                                              << "cat"
                                              << "catcat" << false << "catcat" << 1;
    QTest::newRow("umlaut folds") << QStringLiteral("Äpfel äpfel") << QStringLiteral("ä") << "ae"
                                  << false << "aepfel aepfel" << 2;
    QTest::newRow("match case") << "Cat cat"
                                << "cat"
                                << "dog" << true << "Cat dog" << 1;
    QTest::newRow("empty search") << "abc"
                                  << ""
                                  << "x" << false << "abc" << 0;
    QTest::newRow("sharp s keeps positions") << QStringLiteral("ßa") << "a"
                                             << "b" << false << QStringLiteral("ßb") << 1;
}

void TestTextSearch::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(bool, matchCase);
    QFETCH(QString, expected);
    QFETCH(int, count);
    qsizetype replaced = -1;
    QCOMPARE(replaceAllText(text, search, replacement, matchCase, &replaced), expected);
    QCOMPARE(replaced, qsizetype(count));
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
