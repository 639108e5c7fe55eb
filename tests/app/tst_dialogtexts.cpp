// Every dialog in both languages at the default font: each label, button, box and group
// title fits its widget, and each window title fits the window's width; the dialogs that
// are worked from the keyboard carry an access key on every caption.

#include "mainformfixture.h"

#include "base/prompts.h"
#include "desktop/aboutbox.h"
#include "lang/mnemonics.h"
#include "run/scriptforms.h"
#include "schemes/formgrid.h"
#include "schemes/formimport.h"
#include "schemes/formprops.h"
#include "schemes/formreturn.h"
#include "store/formsetup.h"
#include "texttools/formfiles.h"
#include "texttools/searchdialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

// Room a window manager's title bar needs beside the title: icon and three buttons.
constexpr int kTitleBarRoom = 100;

QString shown(const QString &text)
{
    return withoutMnemonic(text);
}

// What of `dialog` does not fit, one line per widget; the dialog is shown meanwhile.
QStringList clipped(QWidget &dialog)
{
    dialog.show();
    (void)QTest::qWaitForWindowExposed(&dialog);
    QCoreApplication::processEvents();
    QStringList problems;
    const auto report = [&](QWidget *w, const QString &text, int need, int have) {
        if (need > have)
            problems << QStringLiteral("%1 %2 \"%3\": needs %4, has %5")
                            .arg(dialog.objectName(), w->objectName(), text)
                            .arg(need)
                            .arg(have);
    };
    const QFontMetrics titleMetrics(QApplication::font());
    if (!dialog.windowTitle().isEmpty())
        report(&dialog, dialog.windowTitle(),
               titleMetrics.horizontalAdvance(dialog.windowTitle()) + kTitleBarRoom,
               dialog.width());
    for (QWidget *w : dialog.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&dialog))
            continue;
        const QFontMetrics fm(w->font());
        if (auto *label = qobject_cast<QLabel *>(w)) {
            const QString text = shown(label->text());
            if (text.isEmpty() || label->wordWrap() || Qt::mightBeRichText(label->text()))
                continue;
            int widest = 0;
            for (const QString &line : text.split(u'\n'))
                widest = std::max(widest, fm.horizontalAdvance(line));
            report(w, text, widest + 2 * label->margin() + label->indent(),
                   label->contentsRect().width());
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            const QStyle *s = check->style();
            report(w, shown(check->text()),
                   fm.horizontalAdvance(shown(check->text())) +
                       s->pixelMetric(QStyle::PM_IndicatorWidth) +
                       s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing),
                   check->width());
        } else if (auto *radio = qobject_cast<QRadioButton *>(w)) {
            const QStyle *s = radio->style();
            report(w, shown(radio->text()),
                   fm.horizontalAdvance(shown(radio->text())) +
                       s->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       s->pixelMetric(QStyle::PM_RadioButtonLabelSpacing),
                   radio->width());
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            if (button->text().isEmpty())
                continue;
            report(w, shown(button->text()),
                   fm.horizontalAdvance(shown(button->text())) +
                       2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) +
                       (button->icon().isNull() ? 0 : button->iconSize().width() + 4),
                   button->width());
        } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
            if (!group->title().isEmpty())
                report(w, shown(group->title()), fm.horizontalAdvance(shown(group->title())) + 16,
                       group->width());
        }
    }
    dialog.hide();
    return problems;
}

// The captions of the buttons and the labels that name a field, each with an access key
// no other caption of the dialog uses. A caption may go without one only when every
// letter of it is taken already (sixteen scheme names leave "PHP" none).
QStringList withoutAccessKeys(QWidget &dialog)
{
    QStringList captions;
    for (QWidget *w : dialog.findChildren<QWidget *>()) {
        if (qobject_cast<QToolButton *>(w))
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            captions << button->text();
        else if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy())
            captions << label->text();
    }
    QStringList problems;
    QList<QChar> keys;
    for (const QString &text : std::as_const(captions)) {
        const qsizetype amp = text.indexOf(u'&');
        if (amp < 0 || amp + 1 >= text.size())
            continue;
        const QChar key = text.at(amp + 1).toLower();
        if (keys.contains(key))
            problems << dialog.objectName() + QStringLiteral(": key taken twice in \"") + text +
                            u'"';
        keys << key;
    }
    for (const QString &text : std::as_const(captions)) {
        if (text.contains(u'&'))
            continue;
        for (const QChar c : text) {
            if (c.isLetterOrNumber() && c.unicode() < 128 && !keys.contains(c.toLower())) {
                problems << dialog.objectName() + QStringLiteral(": no key in \"") + text + u'"';
                break;
            }
        }
    }
    return problems;
}

} // namespace

class TestDialogTexts : public QObject
{
    Q_OBJECT
private slots:
    void everyDialogFits_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("German") << 0;
        QTest::newRow("English") << 1;
    }
    void everyDialogFits()
    {
        QFETCH(int, language);
        MainFormFixture f;
        f.show();
        if (language == 1)
            f.form->action(QStringLiteral("Englisch1"))->trigger();
        QStringList problems;
        QStringList missingKeys;

        TFormSetup setup(f.prompts);
        setup.setObjectName(QStringLiteral("FormSetup"));
        setup.SLanguage = language;
        setup.ApplyCaptions();
        problems << clipped(setup);
        missingKeys << withoutAccessKeys(setup);

        f.form->action(QStringLiteral("MultiReplace1"))->trigger();
        TFormFiles *files = f.form->FormFiles();
        files->ButtonCancel->setVisible(true); // shown during a run
        problems << clipped(*files);
        missingKeys << withoutAccessKeys(*files);
        files->ButtonCancel->setVisible(false);

        ScriptedPrompts prompts;
        TFormGrid grid(prompts);
        grid.GLanguage = language;
        prompts.expectExec([&](QDialog &d) {
            problems << clipped(d);
            return int(QDialog::Rejected);
        });
        grid.Execute();

        TFormProps *props = grid.FormProps();
        props->Sprache = language;
        prompts.expectExec([&](QDialog &d) {
            problems << clipped(d);
            missingKeys << withoutAccessKeys(d);
            return int(QDialog::Rejected);
        });
        props->Execute(prompts);

        TFormReturn *breaks = grid.FormReturn();
        breaks->RLanguage = language;
        prompts.expectExec([&](QDialog &d) {
            problems << clipped(d);
            return int(QDialog::Rejected);
        });
        breaks->Execute(prompts);

        TFormImport *import = grid.FormImport();
        import->iLanguage = language;
        prompts.expectExec([&](QDialog &d) {
            problems << clipped(d);
            return int(QDialog::Rejected);
        });
        import->Execute();

        TFormHost host;
        host.setObjectName(QStringLiteral("FormHost"));
        host.HLanguage = language;
        host.SetItemIndex(TFormHost::HostBrowser);
        host.FormShow();
        problems << clipped(host);
        missingKeys << withoutAccessKeys(host);

        TFormVars vars;
        vars.VLanguage = language;
        vars.FormShow();
        problems << clipped(vars);
        missingKeys << withoutAccessKeys(vars);

        TFormResult result;
        result.RLanguage = language;
        for (bool output : {false, true}) {
            result.ShowsOutput = output;
            result.FormShow();
            problems << clipped(result);
        }

        TFormErInfo error;
        error.ELanguage = language;
        error.FormShow();
        problems << clipped(error);

        TAboutBox about(f.shell);
        about.setObjectName(QStringLiteral("AboutBox"));
        about.ALanguage = language;
        problems << clipped(about);

        TFindDialog find;
        find.setObjectName(QStringLiteral("FindDialog"));
        find.setLanguage(language);
        problems << clipped(find);
        TReplaceDialog replace;
        replace.setObjectName(QStringLiteral("ReplaceDialog"));
        replace.setLanguage(language);
        problems << clipped(replace);

        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QVERIFY2(missingKeys.isEmpty(), qPrintable(missingKeys.join(u'\n')));
    }

    // The program's own boxes: the input box of Go to line and a message box with a short
    // text and a longer title, as a script's MsgBox shows.
    void promptTitlesFit_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("Go to line, German") << "Zeilennummer eingeben";
        QTest::newRow("Go to line, English") << "Enter line number:";
        QTest::newRow("script message") << "VBScript message from the script";
    }
    void promptTitlesFit()
    {
        QFETCH(QString, title);
        QWidget parent;
        QtPrompts prompts(&parent);
        QStringList problems;
        const auto inspect = [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            box->setObjectName(QStringLiteral("box"));
            problems << clipped(*box);
            box->show();
            if (auto *dialog = qobject_cast<QDialog *>(box))
                dialog->reject();
        };
        QTimer::singleShot(0, this, inspect);
        prompts.inputText(title, QStringLiteral("Goto line"), QString());
        QTimer::singleShot(0, this, inspect);
        prompts.message(Prompts::Icon::Information, title, QStringLiteral("1"));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }
};

QTEST_MAIN(TestDialogTexts)
#include "tst_dialogtexts.moc"
