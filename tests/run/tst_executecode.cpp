// Execute code on the main window: the toolbar button and the menu item reach the runner,
// the scheme of an opened document decides the language, and an unsaved document asks
// to be saved first.

#include "run/scriptforms.h"
#include "run/scriptrunner.h"
#include "tests/app/mainformfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

class TestExecuteCode : public QObject
{
    Q_OBJECT
private slots:
    void unsavedDocumentAsksToSave()
    {
        MainFormFixture f;
        f.show();
        f.form->SynMemo1->SetText(QStringLiteral("Sub Main\nEnd Sub"));
        f.prompts.expectMessage(f.form->SaveFirstMessage());
        f.form->toolButton(QStringLiteral("ToolButton6"))->click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.prompts.seen().first().title, QStringLiteral("Script Host"));
    }

    void openedScriptRunsFromToolbarAndMenu()
    {
        MainFormFixture f;
        f.show();
        const QString path = f.path(QStringLiteral("twice.vbs"));
        MainFormFixture::writeFile(path,
                                   "Function Twice(x)\r\n  Twice = x + x\r\nEnd Function\r\n");
        QVERIFY(f.form->PerformFileOpen(path));
        QString shown;
        for (int round = 0; round < 2; ++round) {
            f.prompts
                .expectExec([](QDialog &d) {
                    auto &host = dynamic_cast<TFormHost &>(d);
                    host.SetItemIndex(TFormHost::HostEngine);
                    host.BitBtn1Click();
                    return 1;
                })
                .expectExec([](QDialog &d) {
                    auto &vars = dynamic_cast<TFormVars &>(d);
                    vars.MemoValues->setPlainText(QStringLiteral("21"));
                    vars.BitBtn1Click();
                    return 1;
                })
                .expectExec([&shown](QDialog &d) {
                    shown = dynamic_cast<TFormResult &>(d).Edit1->text();
                    return 1;
                });
            if (round == 0)
                f.form->toolButton(QStringLiteral("ToolButton6"))->click();
            else
                f.form->action(QStringLiteral("Code1"))->trigger();
            QVERIFY(f.prompts.done());
            QCOMPARE(shown, QStringLiteral("2121"));
        }
    }
};

QTEST_MAIN(TestExecuteCode)
#include "tst_executecode.moc"
