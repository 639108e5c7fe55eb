// The browser host end to end: the runner writes the test page into a data folder whose
// path holds spaces, and headless Chromium, given the address the runner hands to the
// browser, runs the procedure from the page's onload attribute.

#include "runnerfixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <unistd.h>

class TestBrowserHost : public QObject
{
    Q_OBJECT
private slots:
    void onloadRunsTheFunctionInChromium()
    {
        QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            chromium = QStandardPaths::findExecutable(QStringLiteral("chromium-browser"));
        QVERIFY2(!chromium.isEmpty(), "chromium is not installed (scripts/install-deps.sh)");

        RunnerFixture f;
        QVERIFY(f.dataPath().contains(u' '));
        f.document(QStringLiteral("add.js"), QStringLiteral("var a = 2, b = 3;\n"
                                                            "function add(a, b) {\n"
                                                            "  document.title = 'sum ' + (a + b);\n"
                                                            "}"));
        f.browserPath = chromium;
        f.chooseHost(TFormHost::HostBrowser, true);
        f.runner->ToolButton6Click();
        QVERIFY(f.prompts.done());
        QCOMPARE(f.shell.calls.size(), 1);
        const QString address = f.shell.calls[0].arguments.value(0);
        QVERIFY(address.contains(QStringLiteral("%20")));

        QTemporaryDir profile;
        QStringList args{QStringLiteral("--headless"),
                         QStringLiteral("--disable-gpu"),
                         QStringLiteral("--disable-background-networking"),
                         QStringLiteral("--no-first-run"),
                         QStringLiteral("--user-data-dir=") + profile.path(),
                         QStringLiteral("--dump-dom"),
                         address};
        if (geteuid() == 0)
            args.prepend(QStringLiteral("--no-sandbox"));
        QProcess browser;
        browser.start(chromium, args);
        QVERIFY(browser.waitForStarted());
        QVERIFY2(browser.waitForFinished(120000), "chromium did not finish");
        const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
        QVERIFY2(dom.contains(QStringLiteral("<title>sum 5</title>")),
                 qPrintable(dom + QString::fromUtf8(browser.readAllStandardError()).right(2000)));
    }
};

QTEST_MAIN(TestBrowserHost)
#include "tst_browserhost.moc"
