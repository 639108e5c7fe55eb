// Help, the about box and the update check: the version text, the installer's arguments,
// the about box per language and the help pages per language and topic.

#include "desktop/aboutbox.h"
#include "desktop/helpcommands.h"
#include "desktop/helpwindow.h"
#include "desktop/productinfo.h"
#include "launchfixture.h"

#include <QAction>
#include <QLabel>
#include <QTextBrowser>

class TestHelpAbout : public QObject
{
    Q_OBJECT

private slots:
    void versionText_data();
    void versionText();
    void updateCheck_data();
    void updateCheck();
    void aboutBox_data();
    void aboutBox();
    void helpPages_data();
    void helpPages();
    void helpWindowNavigates();
    void helpPagesMissing();
    void helpPagesComplete();
};

void TestHelpAbout::versionText_data()
{
    QTest::addColumn<QString>("stamped");
    QTest::addColumn<QString>("text");
    const QString none = QString::fromUtf16(kNoVersionText);
    QTest::newRow("four parts") << "4.8.0.0"
                                << "4.8.0.0";
    QTest::newRow("three parts") << "0.1.0"
                                 << "0.1.0.0";
    QTest::newRow("one part") << "7"
                              << "7.0.0.0";
    QTest::newRow("leading zeros") << "04.08"
                                   << "4.8.0.0";
    QTest::newRow("largest part") << "65535.0.0.1"
                                  << "65535.0.0.1";
    QTest::newRow("missing") << "" << none;
    QTest::newRow("part too large") << "65536.0" << none;
    QTest::newRow("five parts") << "1.2.3.4.5" << none;
    QTest::newRow("empty part") << "1..2" << none;
    QTest::newRow("not a number") << "1.2-beta" << none;
    QTest::newRow("sign") << "+1.2" << none;
}

void TestHelpAbout::versionText()
{
    QFETCH(QString, stamped);
    QFETCH(QString, text);
    QCOMPARE(::versionText(stamped), text);
}

// No installer is ever started, whatever lies beside the program: the start does nothing,
// the menu item says that updates come through the package manager and opens the news page.
void TestHelpAbout::updateCheck_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("installer"); // an "Install.exe" beside the program
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("page");
    QTest::newRow("German, a file beside the program")
        << 0 << true << "Paketverwaltung" << QString::fromUtf16(kGermanSite) + "news.html";
    QTest::newRow("English") << 1 << false << "package manager"
                             << QString::fromUtf16(kEnglishSite) + "news.html";
}

void TestHelpAbout::updateCheck()
{
    QFETCH(int, language);
    QFETCH(bool, installer);
    QFETCH(QString, text);
    QFETCH(QString, page);

    MainFormFixture f;
    const QString program = f.path(QStringLiteral("quillora"));
    if (installer)
        MainFormFixture::writeFile(f.path(QStringLiteral("Install.exe")), "#!/bin/sh\n");
    writeSettingsFile(f.dataPath(), LaunchSettings::inLanguage(language));
    f.form = std::make_unique<TMainForm>(f.prompts, f.shell, QStringList{program}, f.dataPath());
    f.show();
    QVERIFY(f.shell.calls.isEmpty());
    QVERIFY(f.prompts.done());

    f.prompts.expectMessage(text);
    f.form->action(QStringLiteral("NachUpdatessuchen1"))->trigger();
    QVERIFY(f.prompts.done());
    QCOMPARE(f.shell.calls.size(), 1);
    QCOMPARE(f.shell.calls[0].verb, QStringLiteral("open"));
    QCOMPARE(f.shell.calls[0].target, page);
}

void TestHelpAbout::aboutBox_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("release");
    QTest::addColumn<QString>("site");
    QTest::newRow("German") << 0 << "Über..."
                            << "Version" << QString::fromUtf16(kGermanSite);
    QTest::newRow("English") << 1 << "About..."
                             << "Release" << QString::fromUtf16(kEnglishSite);
}

void TestHelpAbout::aboutBox()
{
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QString, release);
    QFETCH(QString, site);

    MainFormFixture f;
    writeSettingsFile(f.dataPath(), LaunchSettings::inLanguage(language));
    f.show();
    bool checked = false;
    f.prompts.expectExec([&](QDialog &dialog) {
        auto *box = qobject_cast<TAboutBox *>(&dialog);
        if (!box)
            return int(QDialog::Rejected);
        box->show();
        if (!QTest::qWaitForWindowExposed(box))
            return int(QDialog::Rejected);
        [&] {
            QCOMPARE(box->windowTitle(), caption);
            QCOMPARE(box->Label1->text(), QStringLiteral("Quillora Pro"));
            QCOMPARE(box->Label1->font().pixelSize(), 21);
            QCOMPARE(box->LabelRelease->text(), release);
            QCOMPARE(box->LabelVersion->text(), GetFileVersionText(QString()));
            QVERIFY(box->LabelVersion->text() != QString::fromUtf16(kNoVersionText));
            QCOMPARE(box->ProgramIcon->isVisible(), language == 0);
            QCOMPARE(box->Image1->isVisible(), language != 0);
            QCOMPARE(box->Label5->text(), site);
            QCOMPARE(box->Label5->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(box->JvGradient1->cursor().shape(), Qt::PointingHandCursor);

            QTest::mouseClick(box->Label5, Qt::LeftButton);
            QTest::mouseClick(box->JvGradient1, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseClick(language == 0 ? box->ProgramIcon : box->Image1, Qt::LeftButton);
            QCOMPARE(f.shell.calls.size(), 3);
            QCOMPARE(f.shell.calls[0].target, site);
            QCOMPARE(f.shell.calls[1].target, site + QStringLiteral("news.html"));
            QCOMPARE(f.shell.calls[2].target, site + QStringLiteral("news.html"));
            checked = true;
        }();
        box->accept();
        return int(QDialog::Accepted);
    });
    f.form->action(QStringLiteral("ToolButton15"))->trigger();
    QVERIFY(f.prompts.done());
    QVERIFY(checked);
}

void TestHelpAbout::helpPages_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("topic"); // -1: the F1 key
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("F1, German") << 0 << -1 << "de/index.html"
                                << "Inhalt";
    QTest::newRow("F1, English") << 1 << -1 << "en/index.html"
                                 << "Contents";
    QTest::newRow("topic 60, German") << 0 << 60 << "de/multifile.html"
                                      << "Suchen und Ersetzen in vielen Dateien";
    QTest::newRow("topic 60, English") << 1 << 60 << "en/multifile.html"
                                       << "Search and replace in many files";
    QTest::newRow("unknown topic, English") << 1 << 9999 << "en/index.html"
                                            << "Contents";
}

void TestHelpAbout::helpPages()
{
    QFETCH(int, language);
    QFETCH(int, topic);
    QFETCH(QString, page);
    QFETCH(QString, title);

    // The program in the build tree: its help pages lie beside it.
    MainFormFixture f;
    writeSettingsFile(f.dataPath(), LaunchSettings::inLanguage(language));
    f.form = std::make_unique<TMainForm>(
        f.prompts, f.shell, QStringList{QStringLiteral(QUILLORA_BINARY_DIR "/quillora")},
        f.dataPath());
    f.show();
    if (topic < 0)
        QTest::keyClick(f.form->SynMemo1, Qt::Key_F1, Qt::ShiftModifier);
    else
        f.form->ShowHelpTopic(topic);

    THelpWindow *help = f.form->helpCommands()->helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->currentPage(), QStringLiteral(QUILLORA_BINARY_DIR "/help/") + page);
    QCOMPARE(help->browser()->documentTitle(), title);
    QVERIFY(f.shell.calls.isEmpty());
}

void TestHelpAbout::helpWindowNavigates()
{
    MainFormFixture f;
    f.form = std::make_unique<TMainForm>(
        f.prompts, f.shell, QStringList{QStringLiteral(QUILLORA_BINARY_DIR "/quillora")},
        f.dataPath());
    f.show();
    f.form->action(QStringLiteral("Help1"))->trigger();
    THelpWindow *help = f.form->helpCommands()->helpWindow();
    QVERIFY(help);
    auto *back = help->findChild<QAction *>(QStringLiteral("HelpBack"));
    auto *contents = help->findChild<QAction *>(QStringLiteral("HelpContents"));
    QVERIFY(!back->isEnabled());
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("multifile.html")));
    QVERIFY(help->currentPage().endsWith(QStringLiteral("/de/multifile.html")));
    QVERIFY(back->isEnabled());
    back->trigger();
    QVERIFY(help->currentPage().endsWith(QStringLiteral("/de/index.html")));
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("settings.html")));
    contents->trigger();
    QVERIFY(help->currentPage().endsWith(QStringLiteral("/de/index.html")));
    // Web addresses go to the browser, not into the help window.
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    QVERIFY(help->currentPage().endsWith(QStringLiteral("/de/index.html")));
    QCOMPARE(f.shell.calls.size(), 1);
    QCOMPARE(f.shell.calls[0].target, QStringLiteral("https://example.org/"));

    // A language switch shows the other language's pages from then on.
    f.form->action(QStringLiteral("Englisch1"))->trigger();
    f.form->action(QStringLiteral("Help1"))->trigger();
    QVERIFY(help->currentPage().endsWith(QStringLiteral("/en/index.html")));
    QVERIFY(!back->isEnabled());
}

void TestHelpAbout::helpPagesMissing()
{
    MainFormFixture f;
    f.form = std::make_unique<TMainForm>(
        f.prompts, f.shell, QStringList{f.path(QStringLiteral("quillora"))}, f.dataPath());
    f.show();
    f.form->ShowHelpTopic(60);
    THelpWindow *help = f.form->helpCommands()->helpWindow();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->currentPage(), QString());
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Hilfeseite nicht gefunden")));
}

// Both languages have the same pages, and every link between them leads to a page.
void TestHelpAbout::helpPagesComplete()
{
    const QDir root(QStringLiteral(QUILLORA_SOURCE_DIR "/desktop/help"));
    const QStringList german = QDir(root.filePath(QStringLiteral("de")))
                                   .entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    const QStringList english = QDir(root.filePath(QStringLiteral("en")))
                                    .entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    QCOMPARE(german, english);
    QVERIFY(german.contains(helpTopicPage(0)));
    QVERIFY(german.contains(helpTopicPage(60)));
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)\""));
    for (const QString &language : {QStringLiteral("de"), QStringLiteral("en")}) {
        for (const QString &page : german) {
            QFile file(root.filePath(language + u'/' + page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch &match : link.globalMatch(html)) {
                const QString target = QFileInfo(file).dir().filePath(match.captured(1));
                QVERIFY2(QFileInfo::exists(target),
                         qPrintable(language + u'/' + page + QStringLiteral(" -> ") +
                                    match.captured(1)));
            }
        }
    }
}

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
