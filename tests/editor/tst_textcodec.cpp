// Encoding detection and the byte form of text beyond what the editor round trips show.

#include "editor/textcodec.h"

#include <QElapsedTimer>
#include <QTest>

class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void detection_data();
    void detection();
    void windows1252Replacement();
    void splitLines_data();
    void splitLines();
    void mixedBreaksWrittenInFirstStyle();
    void manyLineBreaksWrittenInLinearTime();
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

void TestTextCodec::mixedBreaksWrittenInFirstStyle()
{
    const DecodedText decoded = decodeText(QByteArray("a\nb\r\nc\rd"));
    QCOMPARE(decoded.text, QStringLiteral("a\nb\nc\nd"));
    QCOMPARE(encodeText(decoded.text, decoded.format), QByteArray("a\nb\nc\nd"));
}

void TestTextCodec::manyLineBreaksWrittenInLinearTime()
{
    // Two million CR LF lines: a replace that moves the text per thousand breaks would
    // take many seconds here.
    QString text;
    for (int i = 0; i < 2'000'000; ++i)
        text += QStringLiteral("line of text\n");
    QElapsedTimer timer;
    timer.start();
    const QByteArray bytes = encodeText(text, {TextEncoding::Utf8, LineBreak::CrLf, {}});
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(bytes.size(), text.size() + 2'000'000);
    QVERIFY(bytes.endsWith("text\r\n"));
}

QTEST_APPLESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
