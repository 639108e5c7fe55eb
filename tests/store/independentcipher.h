#pragma once
// A second, independent implementation of the stored-text cipher: a few lines of Python
// that unscramble a file, to show that what the program writes is what the format says.

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <optional>

// The file's bytes, each lowered by its key byte of "kuve"; nullopt without python3.
inline std::optional<QByteArray> unscrambleWithPython(const QString &path)
{
    const QString python =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(python, {QStringLiteral("-c"),
                           QStringLiteral("import sys\n"
                                          "key = b'kuve'\n"
                                          "data = open(sys.argv[1], 'rb').read()\n"
                                          "sys.stdout.buffer.write(bytes((b - key[i % 4]) % 256 "
                                          "for i, b in enumerate(data)))\n"),
                           path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}
