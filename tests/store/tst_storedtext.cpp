// The cipher and the plain-text check are a file format shared with files written by
// earlier versions of the program: the byte vectors below are worked out by hand from the
// key "kuve" (6B 75 76 65) and must never change.

#include "store/storedtext.h"

#include "editor/textcodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestStoredText : public QObject
{
    Q_OBJECT
private slots:
    void isScrambled_data();
    void isScrambled();
    void isScrambledFollowsItsRemovals();
    void scrambleKnownBytes_data();
    void scrambleKnownBytes();
    void everyByteSurvives();
    void storedRoundTrip_data();
    void storedRoundTrip();
    void plainFilesRead_data();
    void plainFilesRead();
    void readFailuresAreReported();
};

void TestStoredText::isScrambled_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scrambled");

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("only spaces, tabs and CR LF") << QStringLiteral(" \t\r\n  \t\r\n ") << false;
    QTest::newRow("Hello, World!") << QStringLiteral("Hello, World!") << false;
    // C 5, P 3, N = 5 / 1.4 = 3.57 -> 4 (rounded, not cut off), 3 < 4.
    QTest::newRow("Grüße") << QStringLiteral("Grüße") << true;
    // C 14, P 12, N 10.
    QTest::newRow("Grüße aus Berlin") << QStringLiteral("Grüße aus Berlin") << false;
    QTest::newRow("one non-ASCII character") << QStringLiteral("ü") << true;
    QTest::newRow("kqo only, mixed case") << QStringLiteral("kqoKQOkQoKqO") << false;
    // The lone LF survives the CR LF removal and is dropped from P: C 5, P 4, N 4.
    QTest::newRow("lone LF") << QStringLiteral("ab\ncd") << false;
    // Removal order: the tab goes first, so "kqo" closes up and goes too.
    QTest::newRow("tab inside kqo") << QStringLiteral("k\tqoé") << true;
    QTest::newRow("CR LF inside kqo") << QStringLiteral("kq\r\noé") << true;
    // One pass without overlaps: "k[kqo]qo" leaves "kqo" standing; C 4, P 3, N 3.
    QTest::newRow("kqo joined by its own removal stays") << QStringLiteral("kkqoqoé") << false;
    // The Kelvin sign folds to "k", so "Kqo" four times is all removed; kept, it would
    // be C 12, P 8, N 9.
    QTest::newRow("Kelvin sign counts as k")
        << QString::fromUtf16(u"\u212Aqo\u212Aqo\u212Aqo\u212Aqo") << false;
    // The CR LF removal does not look again at what it joins: "\r\n" stays. C 4, P 2, N 3.
    QTest::newRow("CR LF joined by its own removal stays") << QStringLiteral("\r\r\n\nab") << true;
    // Spaces go after "kqo": "k qo" is not "kqo". C 4, P 3, N 3.
    QTest::newRow("space inside kqo stays until the end") << QStringLiteral("k qoé") << false;
    // C 7, N 5: P 4 is below, P 5 is not.
    QTest::newRow("threshold, P one below N") << QStringLiteral("abcdéüö") << true;
    QTest::newRow("threshold, P equal to N") << QStringLiteral("abcdeüö") << false;
    // A character outside the BMP is two UTF-16 units: C 4, P 2, N 3.
    QTest::newRow("length in UTF-16 units") << QStringLiteral("ab\U0001F600") << true;
    // C 3, P 1, N 2.
    QTest::newRow("control characters") << QStringLiteral("a\x01\x02") << true;
    QTest::newRow("scrambled text read as Windows-1252")
        << fromWindows1252(ScrambleText(u"Hello, World!")) << true;
}

void TestStoredText::isScrambled()
{
    QFETCH(QString, text);
    QFETCH(bool, scrambled);
    QCOMPARE(IsScrambled(text), scrambled);
}

// The check as it is defined: four removals, each one left-to-right pass over the whole
// text that drops non-overlapping occurrences, then the count of what is left.
static bool scrambledByDefinition(QString text)
{
    const auto removeAll = [](const QString &from, QStringView pattern, Qt::CaseSensitivity cs) {
        QString out;
        qsizetype at = 0;
        for (qsizetype hit; (hit = from.indexOf(pattern, at, cs)) >= 0; at = hit + pattern.size())
            out += from.mid(at, hit - at);
        return out + from.mid(at);
    };
    text = removeAll(text, u"\r\n", Qt::CaseSensitive);
    text = removeAll(text, u"\t", Qt::CaseSensitive);
    text = removeAll(text, u"kqo", Qt::CaseInsensitive);
    text = removeAll(text, u" ", Qt::CaseSensitive);
    const qsizetype printable = std::count_if(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 33 && c.unicode() <= 126;
    });
    if (printable == text.size())
        return false;
    return printable == 0 || printable < (10 * text.size() + 7) / 14;
}

void TestStoredText::isScrambledFollowsItsRemovals()
{
    // Short texts over the characters the removals look at, where their order and their
    // joins decide: every one must get the answer of the definition.
    static constexpr char16_t alphabet[] = {u'k',  u'K',  u'q', u'Q', u'o',      u'O',    u'\r',
                                            u'\n', u'\t', u' ', u'a', u'\u00e9', u'\x01', 0x212A};
    QRandomGenerator random(25);
    for (int round = 0; round < 50000; ++round) {
        QString text;
        for (int i = random.bounded(14); i > 0; --i)
            text += QChar(alphabet[random.bounded(int(std::size(alphabet)))]);
        QVERIFY2(IsScrambled(text) == scrambledByDefinition(text),
                 qPrintable(QString::fromLatin1(text.toUtf8().toHex(' '))));
    }
}

void TestStoredText::scrambleKnownBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    // H+k, e+u, l+v, l+e, then the key starts again: o+k.
    QTest::newRow("Hello") << QStringLiteral("Hello") << bytesOf({0xB3, 0xDA, 0xE2, 0xD1, 0xDA});
    // ü is FC and ß DF in Windows-1252; the sums wrap modulo 256.
    QTest::newRow("Grüße") << QStringLiteral("Grüße") << bytesOf({0xB2, 0xE7, 0x72, 0x44, 0xD0});
    // The key runs on across line breaks.
    QTest::newRow("two lines") << QStringLiteral("a\r\nb") << bytesOf({0xCC, 0x82, 0x80, 0xC7});
    // € is 80; Ω has no Windows-1252 byte and becomes "?" (3F).
    QTest::newRow("euro and unmappable") << QStringLiteral("€Ω") << bytesOf({0xEB, 0xB4});
    // Bytes 0, LF and CR come out of scrambling like any other.
    QTest::newRow("makes 00 0A 0D") << QStringLiteral("••—") << bytesOf({0x00, 0x0A, 0x0D});
}

void TestStoredText::scrambleKnownBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ScrambleText(text), bytes);
    if (!text.contains(u'Ω'))
        QCOMPARE(UnscrambleText(bytes), text);
}

void TestStoredText::everyByteSurvives()
{
    QByteArray all;
    for (int round = 0; round < 3; ++round) {
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
    }
    QCOMPARE(ScrambleText(UnscrambleText(all)), all);
    QCOMPARE(UnscrambleText(ScrambleText(UnscrambleText(all))), UnscrambleText(all));
}

void TestStoredText::storedRoundTrip_data()
{
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("settings-like")
        << QStringList{QStringLiteral("Courier New"), QStringLiteral("9"), QStringLiteral("true")};
    QTest::newRow("umlauts and euro")
        << QStringList{QStringLiteral("Grüße"), QStringLiteral("€ 5")};
    QTest::newRow("empty lines") << QStringList{QString(), QStringLiteral("a"), QString()};
    // The first three characters scramble to 00 0A 0D on disk.
    QTest::newRow("bytes 00, LF and CR on disk")
        << QStringList{QStringLiteral("••—Hello World"), QStringLiteral("second")};
}

void TestStoredText::storedRoundTrip()
{
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmora.ini"));

    QVERIFY(WriteStoredText(path, lines));
    // Exactly the scrambled bytes: no mark, no final line break.
    QCOMPARE(readAll(path), ScrambleText(lines.join(QStringLiteral("\r\n"))));
    struct stat info
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0600));

    const StoredText stored = ReadStoredText(path);
    QVERIFY2(stored.result, qPrintable(stored.result.error));
    QCOMPARE(stored.lines, lines);
}

void TestStoredText::plainFilesRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << QByteArray("Courier New\r\n10\r\nfalse")
                           << QStringList{"Courier New", "10", "false"};
    QTest::newRow("mixed breaks, final break")
        << QByteArray("a\nb\rc\r\n") << QStringList{"a", "b", "c", ""};
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
                                                   "e aus Berlin")
                                     << QStringList{QStringLiteral("Grüße aus Berlin")};
    QTest::newRow("Windows-1252") << QByteArray("Gr\xFC\xDF"
                                                "e aus Berlin")
                                  << QStringList{QStringLiteral("Grüße aus Berlin")};
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestStoredText::plainFilesRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.src"));
    writeAll(path, bytes);

    const StoredText stored = ReadStoredText(path);
    QVERIFY(stored.result);
    QCOMPARE(stored.lines, lines);
}

void TestStoredText::readFailuresAreReported()
{
    QTemporaryDir dir;
    const StoredText missing = ReadStoredText(dir.filePath(QStringLiteral("none.ini")));
    QVERIFY(!missing.result);
    QVERIFY(!missing.result.error.isEmpty());
    QVERIFY(missing.lines.isEmpty());

    const StoredText folder = ReadStoredText(dir.path());
    QVERIFY(!folder.result);
    QVERIFY(!folder.result.error.isEmpty());

    const SaveResult notWritten =
        WriteStoredText(dir.filePath(QStringLiteral("no/such/folder.ini")), {QStringLiteral("x")});
    QVERIFY(!notWritten);
    QVERIFY(!notWritten.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestStoredText)
#include "tst_storedtext.moc"
