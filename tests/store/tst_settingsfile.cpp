#include "store/datafolder.h"
#include "store/settingsfile.h"
#include "store/storedtext.h"
#include "tests/store/independentcipher.h"
#include "tests/support/timebudget.h"

#include <QDebug>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

char *toString(const Settings &settings)
{
    QString text;
    QDebug(&text) << settings;
    return qstrdup(text.toUtf8().constData());
}

namespace {

const QString kEnglish = QStringLiteral("English");
const QString kGerman = QStringLiteral("Deutsch");

// The values of a run in which settings were already applied, so that "keeps its value"
// is told apart from "back to the default".
Settings earlier()
{
    Settings s;
    s.fontName = QStringLiteral("Earlier Font");
    s.fontSize = 14;
    s.lineNumbers = false;
    s.ftpUser = QStringLiteral("old user");
    s.ftpPassword = QStringLiteral("old password");
    s.ftpServer = QStringLiteral("old.server");
    s.ftpLoginMode = QStringLiteral("UserLogin");
    s.browserPath = QStringLiteral("/old/browser");
    s.colours = {11, 22, 33, 44};
    s.language = 7;
    s.flag = false;
    return s;
}

QStringList fullFile()
{
    return {QStringLiteral("Arial"),      QStringLiteral("12"),
            QStringLiteral("true"),       QStringLiteral("user"),
            QStringLiteral("secret"),     QStringLiteral("ftp.example.org"),
            QStringLiteral("UserLogin"),  QStringLiteral("/usr/bin/browser"),
            QStringLiteral("255"),        QStringLiteral("$FF00"),
            QStringLiteral("0x00808080"), QStringLiteral("65280"),
            QStringLiteral("r1"),         QStringLiteral("r2"),
            QStringLiteral("1"),          QStringLiteral("true")};
}

QStringList with(QStringList lines, int index, const QString &value)
{
    lines[index] = value;
    return lines;
}

// What reading fullFile() over earlier() gives.
Settings fullFileRead()
{
    Settings s = earlier();
    s.fontName = QStringLiteral("Arial");
    s.fontSize = 12;
    s.lineNumbers = true;
    s.ftpUser = QStringLiteral("user");
    s.ftpPassword = QStringLiteral("secret");
    s.ftpServer = QStringLiteral("ftp.example.org");
    s.ftpLoginMode = QStringLiteral("UserLogin");
    s.browserPath = QStringLiteral("/usr/bin/browser");
    s.colours = {255, 0xFF00, 0x808080, 65280};
    s.reserved1 = QStringLiteral("r1");
    s.reserved2 = QStringLiteral("r2");
    s.language = 1;
    s.flag = true;
    return s;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void strToInt_data();
    void strToInt();
    void readSettings_data();
    void readSettings();
    void readPlainFile();
    void noFile();
    void languageSwitchWithoutFile();
    void updateKeepsOtherLines();
    void updateReportsUnreadableFile();
    void failedUpdateKeepsEarlierFile();
    void deleteFailedFileRemovesOnlyLeftovers_data();
    void deleteFailedFileRemovesOnlyLeftovers();
    void badInput_data();
    void badInput();
    void unreadableFile();
    void setupLinesWithoutFile();
    void setupLinesKeepFieldsForBlankLines();
    void dataFolderIsPrivate();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

void TestSettingsFile::init()
{
    m_folder = m_dir.path() + u'/' + QString::fromLatin1(QTest::currentTestFunction()) + u'/';
    if (QTest::currentDataTag())
        m_folder += QString::fromLatin1(QTest::currentDataTag()) + u'/';
    QVERIFY(ensureDataFolder(m_folder));
}

void TestSettingsFile::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<int>>("value");
    const std::optional<int> fails;

    QTest::newRow("decimal") << QStringLiteral("8388608") << std::optional(8388608);
    QTest::newRow("zero") << QStringLiteral("0") << std::optional(0);
    QTest::newRow("leading zeros") << QStringLiteral("0009") << std::optional(9);
    QTest::newRow("leading spaces") << QStringLiteral("   12") << std::optional(12);
    QTest::newRow("plus") << QStringLiteral("+7") << std::optional(7);
    QTest::newRow("minus") << QStringLiteral("-7") << std::optional(-7);
    QTest::newRow("dollar hex") << QStringLiteral("$FF") << std::optional(255);
    QTest::newRow("0x hex, lower case") << QStringLiteral("0x00808080") << std::optional(0x808080);
    QTest::newRow("0X hex") << QStringLiteral("0Xff") << std::optional(255);
    QTest::newRow("negative hex") << QStringLiteral("-$10") << std::optional(-16);
    QTest::newRow("hex uses all 32 bits") << QStringLiteral("$FFFFFFFF") << std::optional(-1);
    QTest::newRow("largest") << QStringLiteral("2147483647") << std::optional(2147483647);
    QTest::newRow("smallest") << QStringLiteral("-2147483648")
                              << std::optional(std::numeric_limits<int>::min());
    QTest::newRow("too large") << QStringLiteral("2147483648") << fails;
    QTest::newRow("far too large") << QStringLiteral("99999999999999999999999") << fails;
    QTest::newRow("hex too large") << QStringLiteral("$100000000") << fails;
    QTest::newRow("empty") << QString() << fails;
    QTest::newRow("only spaces") << QStringLiteral("  ") << fails;
    QTest::newRow("trailing space") << QStringLiteral("12 ") << fails;
    QTest::newRow("leading tab") << QStringLiteral("\t12") << fails;
    QTest::newRow("word") << QStringLiteral("big") << fails;
    QTest::newRow("exponent") << QStringLiteral("1e3") << fails;
    QTest::newRow("sign only") << QStringLiteral("-") << fails;
    QTest::newRow("two signs") << QStringLiteral("--1") << fails;
    QTest::newRow("space after sign") << QStringLiteral("- 1") << fails;
    QTest::newRow("dollar only") << QStringLiteral("$") << fails;
    QTest::newRow("0x only") << QStringLiteral("0x") << fails;
    QTest::newRow("hex digit in decimal") << QStringLiteral("12ab") << fails;
    QTest::newRow("bad hex digit") << QStringLiteral("$FG") << fails;
    QTest::newRow("non-ASCII digit") << QStringLiteral("\u0663") << fails;
}

void TestSettingsFile::strToInt()
{
    QFETCH(QString, text);
    QFETCH(std::optional<int>, value);
    QCOMPARE(StrToInt(text), value);
}

void TestSettingsFile::readSettings_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("systemLanguage");
    QTest::addColumn<Settings>("expected");
    QTest::addColumn<bool>("corrupted");

    QTest::newRow("all 16 lines") << fullFile() << kGerman << fullFileRead() << false;
    {
        // The missing lines read as empty: server, login mode and browser become empty,
        // colours and flag keep their values, the language comes from the system.
        Settings s = earlier();
        s.fontName = QStringLiteral("Arial");
        s.fontSize = 12;
        s.lineNumbers = true;
        s.ftpUser = QStringLiteral("user");
        s.ftpPassword = QStringLiteral("secret");
        s.ftpServer.clear();
        s.ftpLoginMode.clear();
        s.browserPath.clear();
        s.language = 0;
        QTest::newRow("five lines, German system") << fullFile().mid(0, 5) << kGerman << s << false;
        s.language = 1;
        QTest::newRow("five lines, English system")
            << fullFile().mid(0, 5) << kEnglish << s << false;
        QTest::newRow("language name searched case-sensitively")
            << fullFile().mid(0, 5) << QStringLiteral("deutsch") << s << false;
    }
    {
        Settings s = fullFileRead();
        s.language = 2;
        QTest::newRow("language 2")
            << with(fullFile(), LanguageLine, QStringLiteral("2")) << kGerman << s << false;
        s.language = 0;
        QTest::newRow("blank language, German system")
            << with(fullFile(), LanguageLine, QStringLiteral("  "))
            << QStringLiteral("Deutsch (Schweiz)") << s << false;
    }
    {
        // Everything before line 14 is in force; the flag line is never reached.
        Settings s = fullFileRead();
        s.language = earlier().language;
        s.flag = earlier().flag;
        QTest::newRow("language x")
            << with(fullFile(), LanguageLine, QStringLiteral("x")) << kGerman << s << true;
    }
    {
        Settings s = fullFileRead();
        s.fontSize = 9;
        QTest::newRow("size big") << with(fullFile(), FontSizeLine, QStringLiteral("big"))
                                  << kGerman << s << false;
        // Sizes no editor can show are treated like text.
        QTest::newRow("size 0") << with(fullFile(), FontSizeLine, QStringLiteral("0")) << kGerman
                                << s << false;
        QTest::newRow("size huge") << with(fullFile(), FontSizeLine, QStringLiteral("2000000000"))
                                   << kGerman << s << false;
    }
    {
        Settings s = fullFileRead();
        s.colours = {255, 22, 33, 44};
        QTest::newRow("colour red stops the colours")
            << with(fullFile(), FirstColourLine + 1, QStringLiteral("red")) << kGerman << s
            << false;
        s.colours = {255, 22, 0x808080, 65280};
        QTest::newRow("blank colour is skipped")
            << with(fullFile(), FirstColourLine + 1, QStringLiteral(" ")) << kGerman << s << false;
    }
    {
        Settings s = fullFileRead();
        QTest::newRow("False is not false")
            << with(fullFile(), LineNumbersLine, QStringLiteral("False")) << kGerman << s << false;
        s.lineNumbers = false;
        QTest::newRow("false") << with(fullFile(), LineNumbersLine, QStringLiteral("false"))
                               << kGerman << s << false;
    }
    {
        Settings s = fullFileRead();
        s.flag = false;
        QTest::newRow("flag false")
            << with(fullFile(), FlagLine, QStringLiteral("false")) << kGerman << s << false;
    }
    {
        // Font name and FTP lines are taken untrimmed; a blank font name keeps the font.
        QStringList lines = fullFile();
        lines[FontNameLine] = QStringLiteral(" \t");
        lines[FtpUserLine] = QStringLiteral(" user ");
        Settings s = fullFileRead();
        s.fontName = earlier().fontName;
        s.ftpUser = QStringLiteral(" user ");
        QTest::newRow("untrimmed and blank lines") << lines << kGerman << s << false;
    }
}

void TestSettingsFile::readSettings()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, systemLanguage);
    QFETCH(Settings, expected);
    QFETCH(bool, corrupted);

    const QString path = settingsFilePath(m_folder);
    QVERIFY(WriteStoredText(path, lines));
    Settings settings = earlier();
    const SettingsReadResult result = ReadSettingsFile(m_folder, settings, systemLanguage);

    QCOMPARE(settings, expected);
    QCOMPARE(result.status, corrupted ? SettingsRead::Corrupted : SettingsRead::Read);
    QCOMPARE(QFile::exists(path), !corrupted);
}

void TestSettingsFile::readPlainFile()
{
    writeBytes(settingsFilePath(m_folder), fullFile().join(QStringLiteral("\r\n")).toLatin1());
    Settings settings = earlier();
    QCOMPARE(ReadSettingsFile(m_folder, settings, kGerman).status, SettingsRead::Read);
    QCOMPARE(settings, fullFileRead());
}

void TestSettingsFile::noFile()
{
    Settings settings = earlier();
    QCOMPARE(ReadSettingsFile(m_folder, settings, kGerman).status, SettingsRead::NoFile);
    Settings expected = earlier();
    expected.ftpUser.clear();
    expected.ftpPassword.clear();
    expected.ftpServer.clear();
    expected.ftpLoginMode = QStringLiteral("Anonymous");
    QCOMPARE(settings, expected);
    QVERIFY(!QFile::exists(settingsFilePath(m_folder)));
}

void TestSettingsFile::languageSwitchWithoutFile()
{
    Settings settings; // the values at start: no file has been read
    settings.language = 1;
    const SettingsUpdate update = UpdateSettingsFile(m_folder, settings);
    QVERIFY(update.read);
    QVERIFY2(update.write, qPrintable(update.write.error));

    const QString path = settingsFilePath(m_folder);
    struct stat info
    {
    };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0600));
    const QByteArray plain = " \r\n \r\n \r\n \r\n \r\n \r\n \r\n \r\n \r\n \r\n \r\n \r\n"
                             "\r\n\r\n1\r\ntrue";
    QCOMPARE(readBytes(path), ScrambleText(QString::fromLatin1(plain)));
    if (const std::optional<QByteArray> independent = unscrambleWithPython(path))
        QCOMPARE(*independent, plain);
    else
        qWarning("python3 not found: the independent cipher check did not run");

    Settings read; // a fresh start reading the file
    QCOMPARE(ReadSettingsFile(m_folder, read, kGerman).status, SettingsRead::Read);
    Settings expected;
    expected.ftpUser = expected.ftpPassword = expected.ftpServer = QStringLiteral(" ");
    expected.ftpLoginMode = expected.browserPath = QStringLiteral(" ");
    expected.language = 1;
    QCOMPARE(read, expected);
}

void TestSettingsFile::updateKeepsOtherLines()
{
    QStringList lines = fullFile();
    lines << QStringLiteral("extra 16") << QStringLiteral("extra 17");
    const QString path = settingsFilePath(m_folder);
    QVERIFY(WriteStoredText(path, lines));

    Settings settings;
    settings.reserved1 = QStringLiteral("new r1");
    settings.reserved2.clear();
    settings.language = 0;
    settings.flag = false;
    QVERIFY(UpdateSettingsFile(m_folder, settings).write);

    lines[Reserved1Line] = QStringLiteral("new r1");
    lines[Reserved2Line].clear();
    lines[LanguageLine] = QStringLiteral("0");
    lines[FlagLine] = QStringLiteral("false");
    QCOMPARE(ReadStoredText(path).lines, lines);
}

void TestSettingsFile::updateReportsUnreadableFile()
{
    const QString path = settingsFilePath(m_folder);
    QVERIFY(QDir().mkdir(path));
    const SettingsUpdate update = UpdateSettingsFile(m_folder, Settings());
    QVERIFY(!update.read);
    QVERIFY(!update.read.error.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
}

void TestSettingsFile::failedUpdateKeepsEarlierFile()
{
    // A failed write used to be followed by deleting the settings file; the earlier file
    // is whole after a failed safe write and must stay.
    const QString path = settingsFilePath(m_folder);
    QVERIFY(WriteStoredText(path, fullFile()));
    const QByteArray before = readBytes(path);

    SettingsUpdate update;
    {
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 8; // smaller than any settings file
        ::setrlimit(RLIMIT_FSIZE, &tiny);
        Settings settings = fullFileRead();
        settings.language = 0;
        update = UpdateSettingsFile(m_folder, settings);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    QVERIFY(update.read);
    QVERIFY(!update.write);
    QCOMPARE(readBytes(path), before);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Velmora.ini")});
}

void TestSettingsFile::deleteFailedFileRemovesOnlyLeftovers_data()
{
    QTest::addColumn<QString>("failedPath");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("settings file")
        << QStringLiteral("Velmora.ini") << QStringLiteral("Velmora.ini");
    QTest::newRow("INI in any case")
        << QStringLiteral("/elsewhere/SETUP.INI") << QStringLiteral("Velmora.ini");
    QTest::newRow("recent files list")
        << QStringLiteral("files.txt") << QStringLiteral("files.txt");
}

void TestSettingsFile::deleteFailedFileRemovesOnlyLeftovers()
{
    QFETCH(QString, failedPath);
    QFETCH(QString, fileName);
    const QString intact = m_folder + fileName;
    const QString leftover = intact + QStringLiteral(".Qx7Lm2");
    writeBytes(intact, "intact");
    writeBytes(leftover, "half");

    DeleteFailedFile(m_folder,
                     QDir::isRelativePath(failedPath) ? m_folder + failedPath : failedPath);
    QCOMPARE(readBytes(intact), QByteArray("intact"));
    QVERIFY(!QFile::exists(leftover));
}

void TestSettingsFile::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("mayBeCorrupted");

    const QByteArray whole = ScrambleText(fullFile().join(QStringLiteral("\r\n")));
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("truncated") << whole.left(whole.size() / 2) << false;
    QTest::newRow("cut inside a line break") << whole.left(whole.indexOf(char(0x82)) + 1) << false;
    QTest::newRow("binary garbage")
        << QByteArray("\x00\xFF\x13\x80\x81\x8D\x00\x00\xFE\xFF\x00\x41", 12) << true;
    QRandomGenerator random(20240611);
    QByteArray noise(10 * 1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    QTest::newRow("10 MB of random bytes") << noise << true;
}

void TestSettingsFile::badInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, mayBeCorrupted);
    const QString path = settingsFilePath(m_folder);
    writeBytes(path, bytes);

    Settings settings;
    SpeedTimer timer;
    timer.start();
    const SettingsReadResult result = ReadSettingsFile(m_folder, settings, kGerman);
    qInfo("%s: %lld ms, %s", QTest::currentDataTag(), qlonglong(timer.elapsed()),
          result.status == SettingsRead::Read ? "read" : "corrupted");

    QVERIFY(result.status != SettingsRead::NoFile);
    if (!mayBeCorrupted)
        QCOMPARE(result.status, SettingsRead::Read);
    QCOMPARE(QFile::exists(path), result.status == SettingsRead::Read);
    QVERIFY(settings.fontSize >= 1 && settings.fontSize <= 500);
    // Linear work: even under the sanitizers this is far below the limit.
    QVERIFY(timer.elapsed() < 20000);
}

void TestSettingsFile::unreadableFile()
{
    const QString path = settingsFilePath(m_folder);
    QVERIFY(QDir().mkdir(path));
    Settings settings = earlier();
    SettingsReadResult result = ReadSettingsFile(m_folder, settings, kGerman);
    QCOMPARE(result.status, SettingsRead::Unreadable);
    QVERIFY(!result.detail.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(settings.fontName, earlier().fontName);
    QVERIFY(QDir().rmdir(path));

    if (::geteuid() == 0)
        QSKIP("root reads files without read permission");
    QVERIFY(WriteStoredText(path, fullFile()));
    QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
    result = ReadSettingsFile(m_folder, settings, kGerman);
    // Nothing is known to be wrong with a file that could not be read: it stays.
    QCOMPARE(result.status, SettingsRead::Unreadable);
    QCOMPARE(settings.fontName, earlier().fontName);
    QVERIFY(QFile::exists(path));
}

void TestSettingsFile::setupLinesWithoutFile()
{
    SetupFields fields;
    LoadSetupLines({}, 11, fields);
    QCOMPARE(fields.fontName, QString());
    QCOMPARE(fields.fontSize, QStringLiteral("11"));
    QVERIFY(fields.lineNumbers);
    QVERIFY(fields.anonymous);

    const QStringList expected = {QString(),
                                  QStringLiteral("11"),
                                  QStringLiteral("true"),
                                  QStringLiteral("ftp"),
                                  QStringLiteral("NoWord"),
                                  QStringLiteral("ftp.gnu.org"),
                                  QStringLiteral("Anonymous"),
                                  QString(),
                                  QStringLiteral("8388608"),
                                  QStringLiteral("128"),
                                  QStringLiteral("8421504"),
                                  QStringLiteral("8388608"),
                                  QString(),
                                  QString(),
                                  QStringLiteral("1"),
                                  QStringLiteral("false")};
    QCOMPARE(SetupFileLines(fields, 1), expected);
}

void TestSettingsFile::setupLinesKeepFieldsForBlankLines()
{
    SetupFields fields;
    fields.user = QStringLiteral("typed user");
    fields.browser = QStringLiteral("/typed/browser");
    fields.colours[1] = QStringLiteral("12345");
    QStringList lines = fullFile();
    lines[FtpUserLine] = QStringLiteral(" ");
    lines[BrowserLine].clear();
    lines[FirstColourLine + 1] = QStringLiteral(" ");
    lines[FtpLoginLine] = QStringLiteral("userlogin"); // only the exact word unticks
    LoadSetupLines(lines, 9, fields);

    QCOMPARE(fields.user, QStringLiteral("typed user"));
    QCOMPARE(fields.browser, QStringLiteral("/typed/browser"));
    QCOMPARE(fields.colours[1], QStringLiteral("128")); // blank colour: the default
    QCOMPARE(fields.fontSize, QStringLiteral("12"));
    QVERIFY(fields.anonymous);
    QCOMPARE(fields.reserved1, QStringLiteral("r1"));
}

void TestSettingsFile::dataFolderIsPrivate()
{
    QVERIFY(dataFolder().endsWith(QStringLiteral("/qldata/")));
    QVERIFY(dataFolder().startsWith(qEnvironmentVariable("XDG_DATA_HOME")));

    const QString folder = m_dir.path() + QStringLiteral("/fresh/share/qldata/");
    QVERIFY(ensureDataFolder(folder));
    struct stat info
    {
    };
    QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
    QVERIFY(ensureDataFolder(folder)); // already there

    writeBytes(m_dir.path() + QStringLiteral("/blocker"), "x");
    const FileResult blocked = ensureDataFolder(m_dir.path() + QStringLiteral("/blocker/qldata/"));
    QVERIFY(!blocked);
    QVERIFY(!blocked.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
