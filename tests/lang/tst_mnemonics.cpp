// Access keys of menu captions: unique per menu, and the shown text is the caption.

#include "lang/mnemonics.h"

#include <QSet>
#include <QTest>

class TestMnemonics : public QObject
{
    Q_OBJECT

private slots:
    void withMnemonics_data();
    void withMnemonics();
    void withoutMnemonic_data();
    void withoutMnemonic();
};

void TestMnemonics::withMnemonics_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QStringList>("marked");

    QTest::newRow("first letters")
        << QStringList{"Datei", "Bearbeiten", "Optionen", "Sprache", "Hilfe"} << QString()
        << QStringList{"&Datei", "&Bearbeiten", "&Optionen", "&Sprache", "&Hilfe"};
    QTest::newRow("a later word, then any letter, case ignored")
        << QStringList{"Save", "Save as...", "save"} << QString()
        << QStringList{"&Save", "Save &as...", "sa&ve"};
    QTest::newRow("key name after a run of spaces is not used")
        << QStringList{"Ausschneiden          STRG+X", "Alles auswählen       STRG+A"} << QString()
        << QStringList{"&Ausschneiden          STRG+X", "A&lles auswählen       STRG+A"};
    QTest::newRow("taken keys stay free")
        << QStringList{"Exit", "Extra"} << QStringLiteral("X") << QStringList{"&Exit", "Ex&tra"};
    QTest::newRow("ampersand shown, umlaut skipped")
        << QStringList{"a&b.txt", "Über"} << QString() << QStringList{"&a&&b.txt", "Ü&ber"};
    QTest::newRow("no free letter")
        << QStringList{"ab", "ba", "AB", ""} << QString() << QStringList{"&ab", "&ba", "AB", ""};
    QTest::newRow("digit") << QStringList{"a", "a1"} << QString() << QStringList{"&a", "a&1"};
}

void TestMnemonics::withMnemonics()
{
    QFETCH(QStringList, captions);
    QFETCH(QString, taken);
    QFETCH(QStringList, marked);
    const QStringList got = ::withMnemonics(captions, taken);
    QCOMPARE(got, marked);
    QSet<QChar> keys;
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(::withoutMnemonic(got[i]), captions[i]);
        const qsizetype at =
            QString(got[i]).replace(QStringLiteral("&&"), QStringLiteral("__")).indexOf(u'&');
        if (at >= 0) {
            const QChar key = got[i][at + 1].toLower();
            QVERIFY(!keys.contains(key));
            QVERIFY(!taken.toLower().contains(key));
            keys.insert(key);
        }
    }
}

void TestMnemonics::withoutMnemonic_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("mark") << "&File"
                          << "File";
    QTest::newRow("doubled") << "Tom && Jerry"
                             << "Tom & Jerry";
    QTest::newRow("both") << "&a&&b"
                          << "a&b";
    QTest::newRow("trailing") << "x&"
                              << "x&";
    QTest::newRow("none") << "plain"
                          << "plain";
}

void TestMnemonics::withoutMnemonic()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(::withoutMnemonic(text), shown);
}

QTEST_GUILESS_MAIN(TestMnemonics)
#include "tst_mnemonics.moc"
