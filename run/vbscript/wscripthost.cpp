#include "wscripthost.h"

#include <QFileInfo>
#include <QThread>

namespace quillora {

void writeConsole(FILE *file, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
    std::fflush(file);
}

bool readConsoleLine(FILE *file, QString *line)
{
    QByteArray bytes;
    int c;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        bytes.append(char(c));
    }
    if (!any)
        return false;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    *line = QString::fromUtf8(bytes);
    return true;
}

QString ConsoleArguments::Item(int index) const
{
    if (index < 0 || index >= m_args.size())
        return QString();
    return m_args[index];
}

void ConsoleStream::Write(const QString &text)
{
    writeConsole(m_file, text);
}

void ConsoleStream::WriteLine(const QVariantList &text)
{
    writeConsole(m_file, (text.isEmpty() ? QString() : text[0].toString()) + u'\n');
}

void ConsoleStream::WriteBlankLines(int count)
{
    writeConsole(m_file, QString(std::max(0, count), u'\n'));
}

QString ConsoleStream::ReadLine()
{
    QString line;
    readConsoleLine(m_file, &line);
    return line;
}

QString ConsoleStream::ReadAll()
{
    QByteArray all;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, m_file)) > 0)
        all.append(buf, qsizetype(n));
    return QString::fromUtf8(all);
}

bool ConsoleStream::atEndOfStream()
{
    const int c = std::fgetc(m_file);
    if (c == EOF)
        return true;
    std::ungetc(c, m_file);
    return false;
}

WScriptObject::WScriptObject(ScriptEngine *engine, const QString &scriptPath,
                             const QStringList &args)
    : m_engine(engine), m_path(scriptPath), m_arguments(args)
{
}

void WScriptObject::Echo(const QVariantList &args)
{
    QStringList parts;
    for (const QVariant &a : args)
        parts << a.toString();
    writeConsole(stdout, parts.join(u' ') + u'\n');
}

void WScriptObject::Quit(const QVariantList &args)
{
    m_exitCode = args.isEmpty() ? 0 : args[0].toInt();
    m_quit = true;
    m_engine->requestInterrupt();
}

void WScriptObject::Sleep(int milliseconds)
{
    QThread::msleep(ulong(std::max(0, milliseconds)));
}

QString WScriptObject::scriptName() const
{
    return QFileInfo(m_path).fileName();
}

QString WScriptObject::scriptFullName() const
{
    return QFileInfo(m_path).absoluteFilePath();
}

int ConsoleHost::messageBox(const QString &prompt, int, const QString &)
{
    writeConsole(stdout, prompt + u'\n');
    return 1;
}

QString ConsoleHost::inputBox(const QString &, const QString &, const QString &, bool *cancelled)
{
    QString line;
    *cancelled = !readConsoleLine(stdin, &line);
    return line;
}

} // namespace quillora
