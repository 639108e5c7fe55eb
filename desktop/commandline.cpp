#include "desktop/commandline.h"

#include <QRegularExpression>

namespace {

// A positive line or column number, or 0.
int positiveNumber(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

QString text(int language, const char *german, const char *english)
{
    return QString::fromUtf8(language == 0 ? german : english);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments,
                             const std::function<bool(const QString &)> &exists, int language)
{
    CommandLine result;
    int plusLine = 0;
    bool optionsOver = false;
    for (const QString &argument : arguments) {
        if (!optionsOver && argument == u"--") {
            optionsOver = true;
            continue;
        }
        if (!optionsOver && (argument == u"--help" || argument == u"-h")) {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (!optionsOver && (argument == u"--version" || argument == u"-v")) {
            result.action = CommandLine::Action::Version;
            return result;
        }
        if (!optionsOver && argument.startsWith(u'+') && positiveNumber(argument.mid(1)) > 0) {
            plusLine = positiveNumber(argument.mid(1));
            continue;
        }
        if (!optionsOver && argument.startsWith(u'-') && argument.size() > 1) {
            result.action = CommandLine::Action::Error;
            result.error =
                text(language, "quillora: unbekannte Option \"%1\"\nAufrufe: quillora --help\n",
                     "quillora: unknown option \"%1\"\nUsage: quillora --help\n")
                    .arg(argument);
            return result;
        }
        if (!result.file.isEmpty())
            continue; // one document at a time: the first file counts
        result.file = argument;
        if (exists && exists(argument))
            continue;
        static const QRegularExpression place(QStringLiteral("^(.+?):(\\d+)(?::(\\d+))?$"));
        const QRegularExpressionMatch match = place.match(argument);
        if (match.hasMatch() && positiveNumber(match.capturedView(2)) > 0) {
            result.file = match.captured(1);
            result.line = positiveNumber(match.capturedView(2));
            result.column = positiveNumber(match.capturedView(3));
        }
    }
    if (plusLine > 0) {
        if (result.file.isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.error = text(language, "quillora: nach +%1 fehlt der Dateiname\n",
                                "quillora: +%1 needs a file name after it\n")
                               .arg(plusLine);
            return result;
        }
        if (result.line == 0)
            result.line = plusLine;
    }
    return result;
}

QString commandLineHelp(int language)
{
    return text(language,
                "Aufruf: quillora [OPTION] [DATEI]\n"
                "Öffnet DATEI in Quillora Pro.\n"
                "\n"
                "  DATEI:ZEILE          DATEI öffnen, Einfügemarke in Zeile ZEILE\n"
                "  DATEI:ZEILE:SPALTE   ... in Zeile ZEILE, Spalte SPALTE\n"
                "  +ZEILE DATEI         wie DATEI:ZEILE\n"
                "  --help, -h           diese Hilfe zeigen und beenden\n"
                "  --version, -v        die Version zeigen und beenden\n"
                "  --                   alles Weitere ist ein Dateiname\n",
                "Usage: quillora [OPTION] [FILE]\n"
                "Opens FILE in Quillora Pro.\n"
                "\n"
                "  FILE:LINE          open FILE with the caret on line LINE\n"
                "  FILE:LINE:COLUMN   ... on line LINE, column COLUMN\n"
                "  +LINE FILE         the same as FILE:LINE\n"
                "  --help, -h         show this help and exit\n"
                "  --version, -v      show the version and exit\n"
                "  --                 everything after it is a file name\n");
}

QString commandLineVersion(const QString &version)
{
    return QStringLiteral("Quillora Pro %1\n").arg(version);
}
