// The window as a desktop user meets it: Qt's own texts in the UI language, access keys,
// F1 and F10 from anywhere, title, icon, position and the pictures.

#include "mainformfixture.h"

#include "app/appsetup.h"
#include "base/themeimages.h"
#include "base/toolbarimages.h"
#include "lang/messages.h"
#include "lang/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

class TestFinish : public QObject
{
    Q_OBJECT

private slots:
    void standardButtonsFollowLanguage();
    void menusHaveAccessKeys_data();
    void menusHaveAccessKeys();
    void f1OpensHelpFromAnywhere_data();
    void f1OpensHelpFromAnywhere();
    void keyboardOpensMenus_data();
    void keyboardOpensMenus();
    void titleIconAndPlace();
    void corruptSettingsWarningNamesFile();
    void builtInPicturesServeWithoutTheme();
};

void TestFinish::standardButtonsFollowLanguage()
{
    // The real prompts: the buttons are Qt's standard ones, named by Qt's catalogues.
    QTemporaryDir dir;
    QtPrompts prompts;
    RecordingShell shell;
    TMainForm form(prompts, shell, {QStringLiteral("quillora")},
                   dir.path() + QStringLiteral("/qldata/"));
    prompts.setParent(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const auto saveQuestionButtons = [&form] {
        form.SynMemo1->SetText(QStringLiteral("unsaved"));
        form.SynMemo1->SetModified(true);
        QStringList shown;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            for (QAbstractButton *button : box->buttons())
                shown << withoutMnemonic(button->text());
            box->button(QMessageBox::Cancel)->click();
        });
        poll.start();
        form.FileNew(); // the save question; Cancel keeps the text
        shown.sort();
        return shown;
    };

    form.action(QStringLiteral("Englisch1"))->trigger();
    QCOMPARE(saveQuestionButtons(), (QStringList{"Cancel", "No", "Yes"}));
    form.action(QStringLiteral("Deutsch1"))->trigger();
    QCOMPARE(saveQuestionButtons(), (QStringList{"Abbrechen", "Ja", "Nein"}));
    form.action(QStringLiteral("Englisch1"))->trigger();
    QCOMPARE(saveQuestionButtons(), (QStringList{"Cancel", "No", "Yes"}));
    QCOMPARE(form.SynMemo1->Text(), QStringLiteral("unsaved"));
    form.SynMemo1->SetModified(false);
}

void TestFinish::menusHaveAccessKeys_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("German") << 0;
    QTest::newRow("English") << 1;
}

void TestFinish::menusHaveAccessKeys()
{
    QFETCH(int, language);
    MainFormFixture f;
    f.show();
    f.form->action(language == 0 ? QStringLiteral("Deutsch1") : QStringLiteral("Englisch1"))
        ->trigger();
    // A recent file whose name holds an '&' shows it.
    f.form->AddRecentFile(f.path(QStringLiteral("Tom & Jerry.txt")));

    // Every item gets a key while its menu has free letters; the scheme menu runs out.
    const auto checkMenu = [](const QList<QAction *> &items, const QString &where,
                              bool everyItem = true) {
        QSet<QKeySequence> keys;
        for (QAction *item : items) {
            if (item->isSeparator() || item->text().isEmpty())
                continue;
            const QKeySequence key = QKeySequence::mnemonic(item->text());
            if (key.isEmpty() && !everyItem)
                continue;
            QVERIFY2(!key.isEmpty(), qPrintable(where + QStringLiteral(": ") + item->text()));
            QVERIFY2(!keys.contains(key), qPrintable(where + QStringLiteral(": ") + item->text()));
            keys.insert(key);
        }
    };
    checkMenu(f.form->menuBar()->actions(), QStringLiteral("menu bar"));
    QVERIFY(!f.form->menuBar()->actions().isEmpty());
    for (QAction *title : f.form->menuBar()->actions()) {
        QVERIFY(QKeySequence::mnemonic(title->text()) != QKeySequence(Qt::ALT | Qt::Key_X));
        checkMenu(title->menu()->actions(), title->text());
    }
    for (QMenu *menu : f.form->findChildren<QMenu *>())
        checkMenu(menu->actions(), menu->objectName(),
                  menu->objectName() != u"SelectSyntaxschemeMenu");

    // The shown texts are the message tables' texts, letter for letter.
    QCOMPARE(withoutMnemonic(f.form->menuBar()->actions().first()->text()),
             messageText(language, 36));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("Selectall1"))->text()),
             messageText(language, 49));
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("Lesezeichen02"))->text()),
             messageText(language, 84) + u'0');
    QCOMPARE(withoutMnemonic(f.form->action(QStringLiteral("file41"))->text()),
             QStringLiteral("Tom & Jerry.txt"));
}

void TestFinish::f1OpensHelpFromAnywhere_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("editor") << "editor" << int(Qt::NoModifier);
    QTest::newRow("editor with Ctrl") << "editor" << int(Qt::ControlModifier);
    QTest::newRow("status bar with Shift") << "status bar" << int(Qt::ShiftModifier);
    QTest::newRow("toolbar button") << "toolbar" << int(Qt::NoModifier);
    QTest::newRow("open menu") << "menu" << int(Qt::NoModifier);
}

void TestFinish::f1OpensHelpFromAnywhere()
{
    QFETCH(QString, where);
    QFETCH(int, modifiers);
    MainFormFixture f;
    f.show();
    QSignalSpy help(f.form->action(QStringLiteral("Help1")), &QAction::triggered);
    QWidget *target = f.form->SynMemo1;
    QMenu *menu = f.form->findChild<QMenu *>(QStringLiteral("EditMenu"));
    if (where == u"status bar") {
        target = f.form->statusBar();
    } else if (where == u"toolbar") {
        target = f.form->toolButton(QStringLiteral("SaveButton"));
    } else if (where == u"menu") {
        menu->popup(f.form->mapToGlobal(QPoint(20, 20)));
        QTRY_VERIFY(menu->isVisible());
        target = menu;
    }
    QTest::keyClick(target, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(help.count(), 1);
    QTRY_VERIFY(!menu->isVisible());
    QVERIFY(f.prompts.done());
}

void TestFinish::keyboardOpensMenus_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("menu");
    QTest::newRow("F10") << 1 << int(Qt::Key_F10) << int(Qt::NoModifier) << "FileMenu";
    QTest::newRow("Alt+D, German") << 0 << int(Qt::Key_D) << int(Qt::AltModifier) << "FileMenu";
    QTest::newRow("Alt+B, German") << 0 << int(Qt::Key_B) << int(Qt::AltModifier) << "EditMenu";
    QTest::newRow("Alt+E, English") << 1 << int(Qt::Key_E) << int(Qt::AltModifier) << "EditMenu";
}

void TestFinish::keyboardOpensMenus()
{
    QFETCH(int, language);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, menu);
    MainFormFixture f;
    f.show();
    f.form->action(language == 0 ? QStringLiteral("Deutsch1") : QStringLiteral("Englisch1"))
        ->trigger();
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    f.form->SynMemo1->setFocus();
    QTest::keyClick(f.form->SynMemo1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    auto *opened = f.form->findChild<QMenu *>(menu);
    QTRY_VERIFY(opened->isVisible());
    opened->close();
}

void TestFinish::titleIconAndPlace()
{
    MainFormFixture f;
    f.show();
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quillora Pro"));
    // Qt adds a display name to every title that does not end with it: the program's is
    // empty.
    setUpApplication();
    QCOMPARE(QGuiApplication::applicationDisplayName(), QString());
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Quillora"));
    QVERIFY(!QGuiApplication::windowIcon().isNull());

    const QList<QSize> sizes = f.form->windowIcon().availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize design = screen->geometry().width() > 1000 ? QSize(1000, 700) : QSize(783, 483);
    QCOMPARE(f.form->size(), design);
    const QPoint off = f.form->frameGeometry().center() - screen->availableGeometry().center();
    QVERIFY2(off.manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
}

void TestFinish::corruptSettingsWarningNamesFile()
{
    MainFormFixture f;
    QVERIFY(QDir().mkpath(f.dataPath()));
    const QString settings = f.dataPath() + QStringLiteral("Velmora.ini");
    // Line 14, the language, is not a number.
    QByteArray lines;
    for (int line = 0; line < 16; ++line)
        lines += line == 14 ? "x\r\n" : "1\r\n";
    MainFormFixture::writeFile(settings, lines);
    f.prompts.expectMessage(QStringLiteral("Error! Ini file corrupted!\n\n") + settings);
    f.show();
    QVERIFY(f.prompts.done());
}

void TestFinish::builtInPicturesServeWithoutTheme()
{
    // No theme folder at all: every picture comes from the built-in copy.
    QTemporaryDir empty;
    const QStringList none{empty.path()};
    for (const auto &[context, name] : std::initializer_list<std::pair<const char *, const char *>>{
             {"actions", "document-new"},
             {"actions", "edit-select-all"},
             {"apps", "internet-web-browser"},
             {"places", "folder-remote"},
             {"mimetypes", "text-x-script"},
             {"status", "dialog-information"},
             {"actions", "bookmark-new"},
             {"actions", "format-justify-left"}}) {
        const QIcon icon = themeImage(QLatin1String(context), QLatin1String(name), none);
        QVERIFY2(!icon.isNull(), name);
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    }
    QVERIFY(
        themeImage(QStringLiteral("actions"), QStringLiteral("no-such-picture"), none).isNull());

    // With the theme installed, its pictures are used (it has a 24 pixel size the copy lacks).
    if (QFileInfo::exists(QStringLiteral("/usr/share/icons/Tango/index.theme"))) {
        const QIcon themed = themeImage(QStringLiteral("actions"), QStringLiteral("document-new"),
                                        {QStringLiteral("/usr/share/icons")});
        QVERIFY(themed.availableSizes().contains(QSize(24, 24)));
    }

    // Every toolbar and menu picture exists; the two word-wrap pictures and the two case
    // pictures differ.
    for (int image = kImageNew; image <= kImageQuit; ++image)
        QVERIFY2(!toolbarImage(image).isNull(), qPrintable(QString::number(image)));
    const auto pixels = [](int image) { return toolbarImage(image).pixmap(16, 16).toImage(); };
    QVERIFY(pixels(kImageWrapOn) != pixels(kImageWrapOff));
    QVERIFY(pixels(kImageUpper) != pixels(kImageLower));
    QVERIFY(!programIcon().isNull());
}

QTEST_MAIN(TestFinish)
#include "tst_finish.moc"
