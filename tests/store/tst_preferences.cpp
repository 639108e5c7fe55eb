// The preferences file: values read back as written, unknown keys kept, defaults for a
// missing file or a value that does not parse, a failed write reported.

#include "store/preferences.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_preferences : public QObject
{
    Q_OBJECT
private slots:
    void roundTripKeepsUnknownKeys();
    void missingFileAndBadValuesGiveDefaults();
    void failedWriteIsReported();
};

void tst_preferences::roundTripKeepsUnknownKeys()
{
    QTemporaryDir dir;
    const QString path = Preferences::filePath(dir.path() + u'/');
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFlater.feature=x=y\r\nview.zoom=3\nno equals sign\r\n");
    file.close();

    Preferences preferences;
    QVERIFY(preferences.load(path));
    QCOMPARE(preferences.value(QStringLiteral("later.feature")), QStringLiteral("x=y"));
    QCOMPARE(preferences.intValue(QStringLiteral("view.zoom"), 0), 3);
    preferences.setBoolValue(QStringLiteral("view.whitespace"), true);
    preferences.setValue(QStringLiteral("note"), QStringLiteral("Grüße\nzwei"));
    // Written anew, the file is the owner's alone.
    QVERIFY(QFile::remove(path));
    QVERIFY(preferences.save(path));

    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("later.feature=x=y\r\nview.zoom=3\r\nview.whitespace=1\r\n"
                                        "note=Gr\xC3\xBC\xC3\x9F"
                                        "e zwei\r\n"));
    QCOMPARE(file.permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    Preferences again;
    QVERIFY(again.load(path));
    QCOMPARE(again, preferences);
}

void tst_preferences::missingFileAndBadValuesGiveDefaults()
{
    QTemporaryDir dir;
    Preferences preferences;
    QVERIFY(preferences.load(dir.filePath(QStringLiteral("none.txt"))));
    QCOMPARE(preferences.boolValue(QStringLiteral("a"), true), true);
    preferences.setValue(QStringLiteral("a"), QStringLiteral("maybe"));
    preferences.setValue(QStringLiteral("n"), QStringLiteral("12px"));
    QCOMPARE(preferences.boolValue(QStringLiteral("a"), false), false);
    QCOMPARE(preferences.intValue(QStringLiteral("n"), 7), 7);
}

void tst_preferences::failedWriteIsReported()
{
    QTemporaryDir dir;
    Preferences preferences;
    preferences.setIntValue(QStringLiteral("n"), 1);
    const SaveResult saved = preferences.save(dir.filePath(QStringLiteral("missing/p.txt")));
    QVERIFY(!saved.ok);
    QVERIFY(!saved.error.isEmpty());
}

QTEST_GUILESS_MAIN(tst_preferences)
#include "tst_preferences.moc"
