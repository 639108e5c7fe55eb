// Encoding detection and the byte form of text beyond what the editor round trips show.

#include "editor/textcodec.h"
#include "tests/support/timebudget.h"

#include <QTest>

namespace {

// Hands `bytes` to `take` the way readFileInPieces does, `size` new bytes at a time.
void feedInPieces(const QByteArray &bytes, qsizetype size,
                  const std::function<qsizetype(QByteArrayView, bool)> &take)
{
    QByteArray pending;
    for (qsizetype at = 0;;) {
        const QByteArray next = bytes.mid(at, size);
        at += next.size();
        pending += next;
        const bool last = next.isEmpty();
        const qsizetype taken = take(pending, last);
        if (taken < 0 || last)
            return;
        pending.remove(0, taken);
    }
}

} // namespace

class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void detection_data();
    void detection();
    void windows1252Replacement();
    void firstUnencodable_data();
    void firstUnencodable();
    void splitLines_data();
    void splitLines();
    void manyLineBreaksWrittenInLinearTime();
    void breaksKeptPerLine_data();
    void breaksKeptPerLine();
    void dominantBreak_data();
    void dominantBreak();
    void decodingInPieces_data();
    void decodingInPieces();
    void lineBreakShifts();
};

void TestTextCodec::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("lineBreak");
    QTest::newRow("ascii") << QByteArray("a\r\nb") << int(TextEncoding::Utf8)
                           << int(LineBreak::CrLf);
    QTest::newRow("no break") << QByteArray("a") << int(TextEncoding::Utf8) << int(LineBreak::Lf);
    QTest::newRow("cut-off utf8 sequence")
        << QByteArray("ab\xC3") << int(TextEncoding::Windows1252) << int(LineBreak::Lf);
    QTest::newRow("overlong utf8")
        << QByteArray("\xC0\xAF") << int(TextEncoding::Windows1252) << int(LineBreak::Lf);
    QTest::newRow("utf8 mark") << QByteArray("\xEF\xBB\xBFx\ry") << int(TextEncoding::Utf8WithMark)
                               << int(LineBreak::Cr);
    QTest::newRow("utf16 le mark")
        << QByteArray("\xFF\xFEx\0", 4) << int(TextEncoding::Utf16LE) << int(LineBreak::Lf);
    QTest::newRow("utf16 be mark")
        << QByteArray("\xFE\xFF\0x", 4) << int(TextEncoding::Utf16BE) << int(LineBreak::Lf);
    QTest::newRow("utf16 odd length")
        << QByteArray("\xFF\xFEx\0\n\0!", 7) << int(TextEncoding::Utf16LE) << int(LineBreak::Lf);
    // A mark followed by bytes that are not UTF-8 is no mark: the whole file, mark
    // included, is Windows-1252, and comes back unchanged.
    QTest::newRow("utf8 mark, then invalid byte")
        << QByteArray("\xEF\xBB\xBF\xC3") << int(TextEncoding::Windows1252) << int(LineBreak::Lf);
    QTest::newRow("utf8 mark, then cut-off sequence")
        << QByteArray("\xEF\xBB\xBF"
                      "ab\xE2\x82")
        << int(TextEncoding::Windows1252) << int(LineBreak::Lf);
    QTest::newRow("two utf8 marks") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF")
                                    << int(TextEncoding::Utf8WithMark) << int(LineBreak::Lf);
    QTest::newRow("utf8 mark only")
        << QByteArray("\xEF\xBB\xBF") << int(TextEncoding::Utf8WithMark) << int(LineBreak::Lf);
    QTest::newRow("half a utf8 mark")
        << QByteArray("\xEF\xBB") << int(TextEncoding::Windows1252) << int(LineBreak::Lf);
    QTest::newRow("utf16 lone surrogates") << QByteArray("\xFF\xFE\x00\xD8x\0\x00\xDC\x00\xD8", 10)
                                           << int(TextEncoding::Utf16LE) << int(LineBreak::Lf);
}

void TestTextCodec::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(int, lineBreak);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(int(decoded.format.encoding), encoding);
    QCOMPARE(int(decoded.format.lineBreak), lineBreak);
    QCOMPARE(encodeText(decoded.text, decoded.format), bytes);
}

void TestTextCodec::windows1252Replacement()
{
    const QString text = QStringLiteral("a€ü") + QString::fromUcs4(U"\U0001F600") + u'Ω';
    QCOMPARE(toWindows1252(text), QByteArray("a\x80\xFC??"));
    QCOMPARE(fromWindows1252(QByteArray("\x80\x9F\xA0")), QStringLiteral("€Ÿ\u00A0"));
}

void TestTextCodec::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one") << "a" << QStringList{"a"};
    QTest::newRow("all three styles") << "a\r\nb\rc\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("final break") << "a\r\n" << QStringList{"a", ""};
    QTest::newRow("lf cr is two breaks") << "a\n\rb" << QStringList{"a", "", "b"};
}

void TestTextCodec::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(::splitLines(text), lines);
}

void TestTextCodec::breaksKeptPerLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("all three") << QByteArray("a\nb\r\nc\rd") << QStringLiteral("a\nb\nc\nd");
    QTest::newRow("final cr lf among lf")
        << QByteArray("a\nb\nc\r\n") << QStringLiteral("a\nb\nc\n");
    QTest::newRow("cr then lf-only lines")
        << QByteArray("x\ry\nz\n\n") << QStringLiteral("x\ny\nz\n\n");
    QTest::newRow("lf cr is two breaks") << QByteArray("\n\r") << QStringLiteral("\n\n");
    QTest::newRow("binary, windows-1252") << QByteArray("\x7F"
                                                        "ELF\x02\x01\r\0\0\n\x90\r\r\n\xFF\n",
                                                        16)
                                          << (QStringLiteral("\x7F"
                                                             "ELF\x02\x01\n") +
                                              QChar(0) + QChar(0) + u'\n' + QChar(0x90) +
                                              QStringLiteral("\n\n") + QChar(0xFF) + u'\n');
    QTest::newRow("utf16 mixed") << QByteArray("\xFF\xFEx\0\r\0y\0\n\0z\0\r\0\n\0", 16)
                                 << QStringLiteral("x\ny\nz\n");
}

void TestTextCodec::breaksKeptPerLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(encodeText(decoded.text, decoded.format, decoded.breaks), bytes);
}

void TestTextCodec::dominantBreak_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("dominant");
    QTest::addColumn<int>("exceptions");
    QTest::newRow("most frequent wins") << QByteArray("a\rb\nc\nd") << int(LineBreak::Lf) << 1;
    QTest::newRow("first on a tie") << QByteArray("a\r\nb\nc") << int(LineBreak::CrLf) << 1;
    QTest::newRow("none: lf") << QByteArray("abc") << int(LineBreak::Lf) << 0;
    QTest::newRow("uniform cr") << QByteArray("a\rb\r") << int(LineBreak::Cr) << 0;
}

void TestTextCodec::dominantBreak()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, dominant);
    QFETCH(int, exceptions);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(int(decoded.breaks.dominant()), dominant);
    QCOMPARE(int(decoded.format.lineBreak), dominant);
    QCOMPARE(int(decoded.breaks.exceptions().size()), exceptions);
}

void TestTextCodec::decodingInPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf8 mixed breaks")
        << QByteArray("\xEF\xBB\xBF\xC3\xA4\r\n\r\rb\n\xE2\x82\xAC\r");
    QTest::newRow("windows-1252") << QByteArray("\xE4\r\n\x80\r\r\n\xFF");
    QTest::newRow("utf16 le, pair and cr lf")
        << QByteArray("\xFF\xFE\x3D\xD8\x00\xDE\r\0\n\0\r\0\x00\xD8!", 15);
    QTest::newRow("utf16 be") << QByteArray("\xFE\xFF\0\r\0\n\xD8\x3D\xDE\x00\0\r", 12);
}

void TestTextCodec::decodingInPieces()
{
    // The editor reads large files piece by piece; wherever a piece ends (inside a
    // character, a surrogate pair, a CR LF pair or the mark), the outcome is that of
    // the whole.
    QFETCH(QByteArray, bytes);
    const TextEncoding encoding = detectEncoding(bytes);
    QByteArray whole;
    EditorTextDecoder wholeDecoder(encoding);
    wholeDecoder.feed(bytes, true, [&](QByteArrayView piece) {
        whole.append(piece);
        return true;
    });
    const LineBreaks wholeBreaks = wholeDecoder.takeBreaks();
    for (qsizetype pieceSize = 1; pieceSize <= 4; ++pieceSize) {
        EncodingDetector detector;
        feedInPieces(bytes, pieceSize, [&](QByteArrayView piece, bool last) {
            const qsizetype taken = detector.feed(piece, last);
            return detector.decided() ? -1 : taken;
        });
        QCOMPARE(int(detector.encoding()), int(encoding));

        EditorTextDecoder decoder(encoding);
        QByteArray out;
        feedInPieces(bytes, pieceSize, [&](QByteArrayView piece, bool last) {
            return decoder.feed(piece, last, [&](QByteArrayView o) {
                out.append(o);
                return true;
            });
        });
        QCOMPARE(out, whole);
        QCOMPARE(decoder.takeBreaks(), wholeBreaks);
        QCOMPARE(decoder.format(), wholeDecoder.format());
        QByteArray again;
        QVERIFY(encodeEditorText(out, decoder.format(), wholeBreaks, [&](QByteArrayView piece) {
            again.append(piece);
            return true;
        }));
        QCOMPARE(again, bytes);
    }
}

void TestTextCodec::lineBreakShifts()
{
    // Lines 1 (CR) and 3 (CR LF) differ from the dominant LF.
    LineBreaks breaks = decodeText(QByteArray("a\nb\rc\nd\r\ne\nf")).breaks;
    using E = LineBreaks::Exception;
    QCOMPARE(breaks.exceptions(), (std::vector<E>{{1, LineBreak::Cr}, {3, LineBreak::CrLf}}));
    // Splitting line 1 in two: the first half gets the dominant break, the second keeps CR.
    breaks.linesInserted(1, 1);
    QCOMPARE(breaks.exceptions(), (std::vector<E>{{2, LineBreak::Cr}, {4, LineBreak::CrLf}}));
    // Joining lines 2 .. 4 keeps the break of line 4.
    breaks.linesRemoved(2, 2);
    QCOMPARE(breaks.exceptions(), (std::vector<E>{{2, LineBreak::CrLf}}));
    QCOMPARE(breaks.breakOf(2), LineBreak::CrLf);
    QCOMPARE(breaks.breakOf(1), LineBreak::Lf);
    breaks.linesRemoved(0, 2);
    QCOMPARE(breaks.exceptions(), (std::vector<E>{{0, LineBreak::CrLf}}));
}

void TestTextCodec::manyLineBreaksWrittenInLinearTime()
{
    // Two million CR LF lines: a replace that moves the text per thousand breaks would
    // take many seconds here.
    QString text;
    for (int i = 0; i < 2'000'000; ++i)
        text += QStringLiteral("line of text\n");
    SpeedTimer timer;
    timer.start();
    const QByteArray bytes = encodeText(text, {TextEncoding::Utf8, LineBreak::CrLf, {}});
    QVERIFY2(timer.elapsed() < timeBudget(2000), qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(bytes.size(), text.size() + 2'000'000);
    QVERIFY(bytes.endsWith("text\r\n"));
}

void TestTextCodec::firstUnencodable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("character"); // 0: none
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("index");
    QTest::newRow("all of Windows-1252") << QStringLiteral("Grüße € ? \u0081 ‰") << 0 << 0 << 0;
    QTest::newRow("after mixed breaks") << QStringLiteral("a\r\nb\rc\nd Ж€") << 0x416 << 4 << 9;
    QTest::newRow("outside the BMP") << QStringLiteral("x😀") << 0x1F600 << 1 << 1;
}

void TestTextCodec::firstUnencodable()
{
    QFETCH(QString, text);
    QFETCH(int, character);
    QFETCH(int, line);
    QFETCH(int, index);
    const std::optional<Unencodable> found = ::firstUnencodable(text, TextEncoding::Windows1252);
    QCOMPARE(found.has_value(), character != 0);
    QCOMPARE(::firstUnencodable(text, TextEncoding::Utf8).has_value(), false);
    // The editor's form (LF breaks) gives the same character and line.
    QString lf = text;
    normaliseLineBreaks(lf);
    const std::optional<Unencodable> inEditor =
        firstUnencodableUtf8(toEditorUtf8(lf), TextEncoding::Windows1252);
    QCOMPARE(inEditor.has_value(), character != 0);
    if (!found)
        return;
    QCOMPARE(int(found->character), character);
    QCOMPARE(int(found->line), line);
    QCOMPARE(int(found->index), index);
    QCOMPARE(int(inEditor->character), character);
    QCOMPARE(int(inEditor->line), line);
}

QTEST_APPLESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
