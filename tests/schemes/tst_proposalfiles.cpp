// Proposal files: loading a pair plain or scrambled, the "$ret" step and the starter pairs.

#include "schemes/proposalfiles.h"
#include "schemes/schemecatalogue.h"
#include "store/storedtext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/timebudget.h"

namespace {

const QString kStarterFolder = QStringLiteral(QUILLORA_SOURCE_DIR "/schemes/proposals");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class tst_ProposalFiles : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void loadPair_data();
    void loadPair();
    void scrambledPairReadsLikePlain();
    void missingFileEmptiesLists();
    void unreadableFileReportsPath();
    void hugeAndBrokenFiles();
    void expandReturnMarkers_data();
    void expandReturnMarkers();
    void starterFolderLookup();
    void installCopiesMissingPairsOnly();
    void shippedStarterPairs();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void tst_ProposalFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_ProposalFiles::loadPair_data()
{
    QTest::addColumn<QByteArray>("itemsFile");
    QTest::addColumn<QByteArray>("insertsFile");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("inserts");

    QTest::newRow("CR LF, no final break")
        << QByteArray("begin\r\nif") << QByteArray("begin$retend;\r\nif  then")
        << QStringList{"begin", "if"} << QStringList{"begin$retend;", "if  then"};
    QTest::newRow("blank line kept as an entry")
        << QByteArray("a\n\nc") << QByteArray("A\nB\nC") << QStringList{"a", "", "c"}
        << QStringList{"A", "B", "C"};
    QTest::newRow("final break gives an empty last entry")
        << QByteArray("a\r\nb\r\n") << QByteArray("A\rB\r") << QStringList{"a", "b", ""}
        << QStringList{"A", "B", ""};
    QTest::newRow("three items, two inserts")
        << QByteArray("x\ny\nz") << QByteArray("X\nY") << QStringList{"x", "y", "z"}
        << QStringList{"X", "Y"};
    QTest::newRow("blank files add nothing")
        << QByteArray(" \r\n\t\r\n") << QByteArray("\x01\x02 \x1f") << QStringList{}
        << QStringList{};
    // U+2028 (E2 80 A8 in UTF-8) separates lines like the other breaks.
    QTest::newRow("line separator") << QByteArray("a\xE2\x80\xA8"
                                                  "b\r\nc")
                                    << QByteArray("A\xE2\x80\xA8\xE2\x80\xA8"
                                                  "C")
                                    << QStringList{"a", "b", "c"} << QStringList{"A", "", "C"};
    QTest::newRow("UTF-16 blank and non-blank")
        << QByteArray("\xFF\xFE \x00\r\x00\n\x00", 8) << QByteArray("\xFE\xFF\x00x", 4)
        << QStringList{} << QStringList{"x"};
    QTest::newRow("UTF-8 with mark and Windows-1252")
        << QByteArray("\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
                      "e aus Berlin")
        << QByteArray("Gr\xFC\xDF"
                      "e aus Berlin")
        << QStringList{QStringLiteral("Grüße aus Berlin")}
        << QStringList{QStringLiteral("Grüße aus Berlin")};
}

void tst_ProposalFiles::loadPair()
{
    QFETCH(QByteArray, itemsFile);
    QFETCH(QByteArray, insertsFile);
    QFETCH(QStringList, items);
    QFETCH(QStringList, inserts);
    writeBytes(path("PasItems.src"), itemsFile);
    writeBytes(path("PasInserts.src"), insertsFile);

    QStringList gotItems{"left over"}, gotInserts{"left over"};
    const ProposalLoad load =
        loadProposalPair(path("PasItems.src"), path("PasInserts.src"), gotItems, gotInserts);
    QVERIFY(load.loaded);
    QVERIFY(load.result.ok);
    QCOMPARE(gotItems, items);
    QCOMPARE(gotInserts, inserts);
}

void tst_ProposalFiles::scrambledPairReadsLikePlain()
{
    const QStringList items = {"procedure", "", QStringLiteral("fünf"), "while"};
    const QStringList inserts = {"procedure Name;$retbegin$ret$retend;", "x", "5", "while do"};
    writeBytes(path("PlainItems.src"), items.join("\r\n").toUtf8());
    writeBytes(path("PlainInserts.src"), inserts.join("\r\n").toUtf8());
    QVERIFY(WriteStoredText(path("CodedItems.src"), items).ok);
    QVERIFY(WriteStoredText(path("CodedInserts.src"), inserts).ok);
    QVERIFY(IsScrambled(QString::fromLatin1(readBytes(path("CodedItems.src")))));

    QStringList plainItems, plainInserts, codedItems, codedInserts;
    QVERIFY(
        loadProposalPair(path("PlainItems.src"), path("PlainInserts.src"), plainItems, plainInserts)
            .loaded);
    QVERIFY(
        loadProposalPair(path("CodedItems.src"), path("CodedInserts.src"), codedItems, codedInserts)
            .loaded);
    QCOMPARE(plainItems, items);
    QCOMPARE(plainInserts, inserts);
    QCOMPARE(codedItems, plainItems);
    QCOMPARE(codedInserts, plainInserts);
}

void tst_ProposalFiles::missingFileEmptiesLists()
{
    writeBytes(path("CItems.src"), "int");
    QStringList items{"old"}, inserts{"old"};
    const ProposalLoad load =
        loadProposalPair(path("CItems.src"), path("CInserts.src"), items, inserts);
    QVERIFY(!load.loaded);
    QVERIFY(load.result.ok); // a missing file is no error
    QVERIFY(items.isEmpty());
    QVERIFY(inserts.isEmpty());
}

void tst_ProposalFiles::unreadableFileReportsPath()
{
    // A folder where the Inserts file should be exists but cannot be read as a file.
    writeBytes(path("JsItems.src"), "alert\nfor");
    QVERIFY(QDir(m_dir->path()).mkdir("JsInserts.src"));
    QStringList items, inserts;
    const ProposalLoad load =
        loadProposalPair(path("JsItems.src"), path("JsInserts.src"), items, inserts);
    QVERIFY(!load.loaded);
    QVERIFY(!load.result.ok);
    QVERIFY(!load.result.error.isEmpty());
    QCOMPARE(load.failedPath, path("JsInserts.src"));
    QCOMPARE(items, QStringList({"alert", "for"})); // as far as it was filled
    QVERIFY(inserts.isEmpty());
}

void tst_ProposalFiles::hugeAndBrokenFiles()
{
    QByteArray items, inserts;
    for (int i = 0; i < 100000; ++i) {
        items += "item" + QByteArray::number(i) + "\r\n";
        inserts += "code" + QByteArray::number(i) + QByteArray("$ret\xff\xfe\x00x\r\n", 10);
    }
    items.chop(2);
    inserts.chop(2);
    writeBytes(path("HugeItems.src"), items);
    writeBytes(path("HugeInserts.src"), inserts);

    QStringList gotItems, gotInserts;
    SpeedTimer timer;
    timer.start();
    const ProposalLoad load =
        loadProposalPair(path("HugeItems.src"), path("HugeInserts.src"), gotItems, gotInserts);
    const qint64 ms = timer.elapsed();
    qInfo("100,000-line pair loaded in %lld ms", ms);
    QVERIFY(load.loaded);
    QCOMPARE(gotItems.size(), 100000);
    QCOMPARE(gotItems.last(), u"item99999");
    QCOMPARE(gotInserts.size(), 100000);
    QVERIFY(gotInserts.first().contains(QChar(0)));
    QVERIFY2(ms < timeBudget(250),
             "loading a 100,000-line pair must stay well under half a second");
}

void tst_ProposalFiles::expandReturnMarkers_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("lineBreak");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inner") << "begin$retend;"
                           << "\r\n"
                           << "begin\r\nend;";
    QTest::newRow("trailing") << "x;$ret"
                              << "\n"
                              << "x;\n";
    QTest::newRow("adjacent") << "$ret$ret"
                              << "\n"
                              << "\n\n";
    QTest::newRow("no overlap") << "$$retret"
                                << "\n"
                                << "$\nret";
    QTest::newRow("capitals literal") << "a$RETb$Ret"
                                      << "\n"
                                      << "a$RETb$Ret";
    QTest::newRow("blank after dollar") << "a$ retb"
                                        << "\n"
                                        << "a$ retb";
    QTest::newRow("none") << "plain"
                          << "\n"
                          << "plain";
}

void tst_ProposalFiles::expandReturnMarkers()
{
    QFETCH(QString, value);
    QFETCH(QString, lineBreak);
    QFETCH(QString, expected);
    QCOMPARE(::expandReturnMarkers(value, lineBreak), expected);
}

void tst_ProposalFiles::starterFolderLookup()
{
    const QString program = path("prefix/bin");
    QVERIFY(QDir().mkpath(program));
    QCOMPARE(starterProposalFolder(program), QString());
    QVERIFY(QDir().mkpath(path("prefix/share/quillora/proposals")));
    QCOMPARE(starterProposalFolder(program), path("prefix/share/quillora/proposals"));
    QVERIFY(QDir().mkpath(path("prefix/bin/proposals")));
    QCOMPARE(starterProposalFolder(program), path("prefix/bin/proposals"));
}

void tst_ProposalFiles::installCopiesMissingPairsOnly()
{
    const QString data = path("qldata/");
    QVERIFY(QDir().mkpath(data));
    writeBytes(data + "PasItems.src", "mine"); // a whole pair of the user
    writeBytes(data + "PasInserts.src", "my code");
    writeBytes(data + "HtmlItems.src", "half"); // a half pair stays half

    const StarterInstall install = installStarterProposals(kStarterFolder, data);
    QVERIFY2(install.result.ok, qPrintable(install.result.error));
    QCOMPARE(install.copiedPairs, 14);
    QCOMPARE(readBytes(data + "PasItems.src"), QByteArray("mine"));
    QCOMPARE(readBytes(data + "PasInserts.src"), QByteArray("my code"));
    QCOMPARE(readBytes(data + "HtmlItems.src"), QByteArray("half"));
    QVERIFY(!QFile::exists(data + "HtmlInserts.src"));
    QCOMPARE(readBytes(data + "VbsInserts.src"), readBytes(kStarterFolder + "/VbsInserts.src"));
    QVERIFY(QFileInfo(data + "VbsInserts.src").permissions() & QFile::WriteOwner);

    // A second start finds every pair there and copies nothing.
    QCOMPARE(installStarterProposals(kStarterFolder, data).copiedPairs, 0);
    QCOMPARE(installStarterProposals(QString(), data).copiedPairs, 0);
}

void tst_ProposalFiles::shippedStarterPairs()
{
    QStringList prefixes;
    for (const SchemeEntry &entry : schemeCatalogue()) {
        if (entry.prefix.isEmpty() || prefixes.contains(entry.prefix))
            continue;
        prefixes << entry.prefix.toString();
        const QString itemsPath = kStarterFolder + u'/' + proposalItemsFileName(entry);
        const QString insertsPath = kStarterFolder + u'/' + proposalInsertsFileName(entry);
        QStringList items, inserts;
        QVERIFY2(loadProposalPair(itemsPath, insertsPath, items, inserts).loaded,
                 qPrintable(itemsPath));
        QVERIFY2(items.size() >= 15, qPrintable(itemsPath));
        QCOMPARE(items.size(), inserts.size());
        for (int i = 0; i < items.size(); ++i) {
            QVERIFY2(!items[i].trimmed().isEmpty() && !inserts[i].trimmed().isEmpty(),
                     qPrintable(QStringLiteral("%1 line %2").arg(itemsPath).arg(i + 1)));
        }
        // Written as the table editor writes: plain, CR LF, no break after the last line.
        for (const QString &file : {itemsPath, insertsPath}) {
            const QByteArray bytes = readBytes(file);
            QVERIFY2(!bytes.endsWith('\n') && !bytes.contains("\n\n"), qPrintable(file));
            QVERIFY2(!IsScrambled(QString::fromUtf8(bytes)), qPrintable(file));
            for (char c : bytes) {
                QVERIFY2(c == '\r' || c == '\n' || (c >= 32 && c < 127),
                         qPrintable(file + ": only printable ASCII"));
            }
            QVERIFY2(QString::fromUtf8(bytes).count(u'\n') == bytes.count("\r\n"),
                     qPrintable(file + ": lone LF"));
        }
    }
    QCOMPARE(prefixes.size(), 16);
}

QTEST_GUILESS_MAIN(tst_ProposalFiles)
#include "tst_proposalfiles.moc"
