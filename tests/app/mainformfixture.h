#pragma once
// A main window on the offscreen platform with scripted prompts, a recording shell and
// a private data folder.

#include "app/mainform.h"
#include "editor/synmemo.h"
#include "tests/support/recordingshell.h"
#include "tests/support/scriptedprompts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

struct MainFormFixture
{
    explicit MainFormFixture(const QStringList &arguments = {QStringLiteral("quillora")})
    {
        form = std::make_unique<TMainForm>(prompts, shell, arguments, dataPath());
    }

    QString dataPath() const { return dir.path() + QStringLiteral("/qldata/"); }
    QString path(const QString &name) const { return dir.filePath(name); }

    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingShell shell;
    std::unique_ptr<TMainForm> form;
};
