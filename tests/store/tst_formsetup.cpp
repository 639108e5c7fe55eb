#include "lang/mnemonics.h"
#include "store/formsetup.h"
#include "store/storedtext.h"
#include "tests/store/independentcipher.h"
#include "tests/support/scriptedprompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The 16 lines OK writes after the first show without a file (German, editor size 11).
QStringList firstShowLines()
{
    return {QString(),
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
            QStringLiteral("0"),
            QStringLiteral("false")};
}

TFormSetup &form(QDialog &dialog)
{
    return static_cast<TFormSetup &>(dialog);
}

} // namespace

class TestFormSetup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstShowWithoutFile();
    void untickingAnonymousWritesUserLogin();
    void cancelWritesNothing();
    void captions_data();
    void captions();
    void showStepFailures_data();
    void showStepFailures();
    void failedWriteKeepsDialogOpen();
    void fontDialogFillsNameAndSize();
    void colourAndBrowserPickers();

private:
    QTemporaryDir m_dir;
    QString m_folder;
    ScriptedPrompts *m_prompts = nullptr;
    TFormSetup *m_form = nullptr;
};

void TestFormSetup::init()
{
    m_folder = m_dir.path() + u'/' + QString::fromLatin1(QTest::currentTestFunction()) + u'/';
    if (QTest::currentDataTag())
        m_folder += QString::fromLatin1(QTest::currentDataTag()) + u'/';
    QVERIFY(QDir().mkpath(m_folder));
    m_prompts = new ScriptedPrompts;
    m_form = new TFormSetup(*m_prompts);
    // What the options command sets before each show.
    m_form->IPfad = m_folder;
    m_form->SLanguage = 0;
    m_form->FSize = 11;
    m_form->EditFont->setText(QStringLiteral("Courier New"));
}

void TestFormSetup::cleanup()
{
    QVERIFY2(m_prompts->done(), "not every scripted prompt was asked");
    delete m_form;
    delete m_prompts;
}

void TestFormSetup::firstShowWithoutFile()
{
    m_prompts->expectExec([](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        [&] {
            QCOMPARE(f.EditFont->text(), QString());
            QCOMPARE(f.EditSize->text(), QStringLiteral("11"));
            QVERIFY(f.RadioButton1->isChecked());
            QCOMPARE(f.EditUser->text(), QStringLiteral("ftp"));
            QCOMPARE(f.MaskEditPass->text(), QStringLiteral("NoWord"));
            QCOMPARE(f.MaskEditPass->echoMode(), QLineEdit::Password);
            QCOMPARE(f.EditServer->text(), QStringLiteral("ftp.gnu.org"));
            QVERIFY(f.CheckAnonym->isChecked());
            QVERIFY(!f.EditUser->isEnabled());
            QVERIFY(!f.MaskEditPass->isEnabled());
            QCOMPARE(f.EditBrowser->text(), QString());
            QCOMPARE(f.EditIdentifier->text(), QStringLiteral("8388608"));
            QVERIFY(f.EditIdentifier->isReadOnly());
            QCOMPARE(f.swatchColour(KeywordColour), 0x00800000);
            QCOMPARE(f.swatchColour(ParameterColour), 0x00000080);
            QCOMPARE(f.swatchColour(CommentColour), 0x00808080);
            QCOMPARE(f.swatchColour(SymbolColour), 0x00800000);
        }();
        f.BitBtn1->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_form->Sgroesse, QStringLiteral("11"));

    const QString path = settingsFilePath(m_folder);
    QCOMPARE(ReadStoredText(path).lines, firstShowLines());
    if (const std::optional<QByteArray> independent = unscrambleWithPython(path))
        QCOMPARE(*independent, firstShowLines().join(QStringLiteral("\r\n")).toLatin1());
    else
        qWarning("python3 not found: the independent cipher check did not run");
}

void TestFormSetup::untickingAnonymousWritesUserLogin()
{
    m_prompts->expectExec([](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        f.CheckAnonym->click();
        [&] {
            QVERIFY(f.EditUser->isEnabled());
            QVERIFY(f.MaskEditPass->isEnabled());
        }();
        f.EditUser->setText(QStringLiteral("anna"));
        f.RadioButton2->click();
        f.BitBtn1->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
    const QStringList lines = ReadStoredText(settingsFilePath(m_folder)).lines;
    QCOMPARE(lines.value(FtpLoginLine), QStringLiteral("UserLogin"));
    QCOMPARE(lines.value(FtpUserLine), QStringLiteral("anna"));
    QCOMPARE(lines.value(LineNumbersLine), QStringLiteral("false"));
    QVERIFY(!m_form->ZeilenNummern);

    // The next show reads it back: user login, fields enabled, numbering off.
    m_prompts->expectExec([](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        [&] {
            QVERIFY(!f.CheckAnonym->isChecked());
            QVERIFY(f.EditUser->isEnabled());
            QVERIFY(f.RadioButton2->isChecked());
        }();
        f.BitBtn2->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
}

void TestFormSetup::cancelWritesNothing()
{
    m_prompts->expectExec([](QDialog &dialog) {
        form(dialog).EditSize->setText(QStringLiteral("30"));
        form(dialog).BitBtn2->click();
        return form(dialog).result();
    });
    QVERIFY(m_form->Execute()); // the caller re-reads the settings after Cancel too
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QVERIFY(!QFile::exists(settingsFilePath(m_folder)));
}

void TestFormSetup::captions_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("texts"); // window, RadioButton1, Label8, CheckAnonym, BitBtn2
    QTest::addColumn<QString>("browseHint");

    QTest::newRow("German") << 0
                            << QStringList{"Einstellungen", "An", "Schlüsselwort",
                                           "Anonym anmelden", "Abbrechen"}
                            << QStringLiteral("Durchsuchen");
    QTest::newRow("English") << 1 << QStringList{"Settings", "On", "Keyword", "Anonymous", "Cancel"}
                             << QStringLiteral("Search for browser");
    QTest::newRow("any other value is English")
        << 2 << QStringList{"Settings", "On", "Keyword", "Anonymous", "Cancel"}
        << QStringLiteral("Search for browser");
}

void TestFormSetup::captions()
{
    QFETCH(int, language);
    QFETCH(QStringList, texts);
    QFETCH(QString, browseHint);

    QCOMPARE(m_form->RadioButton1->text(), QStringLiteral("Ein")); // the design caption
    m_form->SLanguage = language;
    m_prompts->expectExec([&](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        [&] {
            QCOMPARE(f.windowTitle(), texts[0]);
            QCOMPARE(withoutMnemonic(f.RadioButton1->text()), texts[1]);
            QCOMPARE(withoutMnemonic(f.Label8->text()), texts[2]);
            QCOMPARE(withoutMnemonic(f.CheckAnonym->text()), texts[3]);
            QCOMPARE(withoutMnemonic(f.BitBtn2->text()), texts[4]);
            QCOMPARE(f.BitBtn4->toolTip(), browseHint);
            // The same in both languages.
            QCOMPARE(withoutMnemonic(f.Label9->text()), QStringLiteral("Parameter"));
            QCOMPARE(f.GroupBox2->title(), QStringLiteral("FTP Login"));
            QCOMPARE(withoutMnemonic(f.BitBtn1->text()), QStringLiteral("OK"));
            QCOMPARE(f.BitBtn5->toolTip(), QStringLiteral("Farbe für Schlüsselwort festlegen"));
        }();
        f.BitBtn1->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
    QCOMPARE(ReadStoredText(settingsFilePath(m_folder)).lines.value(LanguageLine),
             QString::number(language));
}

void TestFormSetup::showStepFailures_data()
{
    QTest::addColumn<QString>("colourLine");
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<QString>("errorContains");

    QTest::newRow("colour red") << QStringLiteral("red") << false << QStringLiteral("'red'");
    QTest::newRow("colour 1.5") << QStringLiteral("1.5") << false << QStringLiteral("'1.5'");
    QTest::newRow("settings file is a folder") << QString() << true << QString();
}

void TestFormSetup::showStepFailures()
{
    QFETCH(QString, colourLine);
    QFETCH(bool, folderInTheWay);
    QFETCH(QString, errorContains);

    const QString path = settingsFilePath(m_folder);
    if (folderInTheWay) {
        QVERIFY(QDir().mkdir(path));
    } else {
        QStringList lines(kSettingsLineCount);
        lines[FirstColourLine + 2] = colourLine;
        QVERIFY(WriteStoredText(path, lines));
    }
    QFile file(path);
    const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();

    // The error box, and no exec: the dialog does not open. A read error names the file.
    m_prompts->expectMessage(folderInTheWay ? path : errorContains);
    QVERIFY(!m_form->Execute());
    QVERIFY(!m_form->isVisible());
    if (folderInTheWay) {
        QVERIFY(QFileInfo(path).isDir());
    } else {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
}

void TestFormSetup::failedWriteKeepsDialogOpen()
{
    m_form->IPfad = m_folder + QStringLiteral("missing/");
    m_prompts->expectExec([this](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        m_prompts->expectMessage(settingsFilePath(m_form->IPfad));
        f.BitBtn1->click();
        [&] { QCOMPARE(f.result(), int(QDialog::Rejected)); }(); // not accepted: still open
        f.BitBtn2->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
    QVERIFY(!m_prompts->seen().last().text.isEmpty()); // the system's text
    QVERIFY(m_form->Sgroesse.isEmpty());
}

void TestFormSetup::fontDialogFillsNameAndSize()
{
    m_prompts->expectExec([this](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        m_prompts->expectFont(QFont(QStringLiteral("Liberation Mono"), 13));
        f.ButtonFont->click();
        m_prompts->expectFont(std::nullopt); // cancelled: nothing changes
        f.ButtonFont->click();
        [&] {
            QCOMPARE(f.EditFont->text(), QStringLiteral("Liberation Mono"));
            QCOMPARE(f.EditSize->text(), QStringLiteral("13"));
        }();
        f.BitBtn1->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
    // The font dialog starts from its own font, then from the last one chosen.
    QCOMPARE(m_prompts->seen()[1].text, QStringLiteral("MS Sans Serif"));
    QCOMPARE(m_prompts->seen()[2].text, QStringLiteral("Liberation Mono"));
    const QStringList lines = ReadStoredText(settingsFilePath(m_folder)).lines;
    QCOMPARE(lines.value(FontNameLine), QStringLiteral("Liberation Mono"));
    QCOMPARE(lines.value(FontSizeLine), QStringLiteral("13"));
}

void TestFormSetup::colourAndBrowserPickers()
{
    m_prompts->expectExec([this](QDialog &dialog) {
        TFormSetup &f = form(dialog);
        m_prompts->expectColour(0x000000FF);
        f.BitBtn6->click();
        m_prompts->expectColour(std::nullopt);
        f.BitBtn8->click();
        m_prompts->expectOpenFile(QStringLiteral("/opt/browser/run"));
        f.BitBtn4->click();
        [&] {
            QCOMPARE(f.EditParameter->text(), QStringLiteral("255"));
            QCOMPARE(f.swatchColour(ParameterColour), 0x000000FF);
            QCOMPARE(f.EditSymbol->text(), QStringLiteral("8388608"));
            QCOMPARE(f.EditBrowser->text(), QStringLiteral("/opt/browser/run"));
        }();
        f.BitBtn1->click();
        return f.result();
    });
    QVERIFY(m_form->Execute());
    // Each colour dialog starts from its row's value.
    QCOMPARE(m_prompts->seen()[1].text, QStringLiteral("128"));
    QCOMPARE(m_prompts->seen()[2].text, QStringLiteral("8388608"));
    const QStringList lines = ReadStoredText(settingsFilePath(m_folder)).lines;
    QCOMPARE(lines.value(FirstColourLine + 1), QStringLiteral("255"));
    QCOMPARE(lines.value(BrowserLine), QStringLiteral("/opt/browser/run"));
}

QTEST_MAIN(TestFormSetup)
#include "tst_formsetup.moc"
