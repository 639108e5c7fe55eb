#include "store/settingsfile.h"

#include "base/textrules.h"
#include "store/storedtext.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

const QString kFalse = QStringLiteral("false");
const QString kTrue = QStringLiteral("true");
const QString kAnonymous = QStringLiteral("Anonymous");
const QString kUserLogin = QStringLiteral("UserLogin");

// Larger sizes would have the editor lay out glyphs of absurd size; a file is not
// allowed to do that.
constexpr int kMaxFontSize = 500;
constexpr int kFallbackFontSize = 9;

QString lineAt(const QStringList &lines, int index)
{
    return index < lines.size() ? lines[index] : QString();
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

QString settingsFilePath(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("Velmora.ini");
}

QDebug operator<<(QDebug debug, const Settings &s)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "Settings(font " << s.fontName << ' ' << s.fontSize << ", line numbers "
                    << s.lineNumbers << ", ftp " << s.ftpUser << '/' << s.ftpPassword << '@'
                    << s.ftpServer << ' ' << s.ftpLoginMode << ", browser " << s.browserPath
                    << ", colours " << s.colours[0] << ' ' << s.colours[1] << ' ' << s.colours[2]
                    << ' ' << s.colours[3] << ", reserved " << s.reserved1 << ' ' << s.reserved2
                    << ", language " << s.language << ", flag " << s.flag << ')';
    return debug;
}

std::optional<int> StrToInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';

    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' &&
               (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    // Decimal: magnitude up to 2^31 (for the negative end); hexadecimal: any 32 bits.
    const quint64 limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    const auto bits = static_cast<quint32>(value);
    return static_cast<int>(negative ? 0u - bits : bits);
}

QString SystemLanguageName()
{
    return QLocale::system().nativeLanguageName();
}

SettingsReadResult ReadSettingsFile(const QString &dataFolder, Settings &settings,
                                    const QString &systemLanguageName)
{
    settings.ftpUser.clear();
    settings.ftpPassword.clear();
    settings.ftpServer.clear();
    settings.ftpLoginMode = kAnonymous;

    const QString path = settingsFilePath(dataFolder);
    if (!QFileInfo::exists(path))
        return {SettingsRead::NoFile, {}};

    const auto corrupted = [&path](const QString &detail) {
        QFile::remove(path); // a folder of that name stays; the warning comes again
        return SettingsReadResult{SettingsRead::Corrupted, detail};
    };
    const StoredText stored = ReadStoredText(path);
    if (!stored.result)
        return {SettingsRead::Unreadable, stored.result.error};
    const QStringList &lines = stored.lines;

    if (const QString font = lineAt(lines, FontNameLine); !isBlank(font))
        settings.fontName = font;
    if (const QString size = lineAt(lines, FontSizeLine); !isBlank(size)) {
        const std::optional<int> points = StrToInt(size);
        settings.fontSize =
            points && *points >= 1 && *points <= kMaxFontSize ? *points : kFallbackFontSize;
    }
    settings.lineNumbers = lineAt(lines, LineNumbersLine) != kFalse;
    settings.ftpUser = lineAt(lines, FtpUserLine);
    settings.ftpPassword = lineAt(lines, FtpPasswordLine);
    settings.ftpServer = lineAt(lines, FtpServerLine);
    settings.ftpLoginMode = lineAt(lines, FtpLoginLine);
    settings.browserPath = lineAt(lines, BrowserLine);
    for (int kind = 0; kind < kColourCount; ++kind) {
        const QString line = lineAt(lines, FirstColourLine + kind);
        if (isBlank(line))
            continue;
        const std::optional<int> colour = StrToInt(line);
        if (!colour)
            break;
        settings.colours[kind] = *colour;
    }
    settings.reserved1 = lineAt(lines, Reserved1Line);
    settings.reserved2 = lineAt(lines, Reserved2Line);
    if (const QString language = lineAt(lines, LanguageLine); !isBlank(language)) {
        const std::optional<int> value = StrToInt(language);
        if (!value)
            return corrupted(QStringLiteral("line %1: %2").arg(LanguageLine).arg(language));
        settings.language = *value;
    } else {
        settings.language = systemLanguageName.contains(QStringLiteral("Deutsch")) ? 0 : 1;
    }
    if (lines.size() >= kSettingsLineCount)
        settings.flag = lines[FlagLine] != kFalse;
    return {SettingsRead::Read, {}};
}

SettingsUpdate UpdateSettingsFile(const QString &dataFolder, const Settings &settings)
{
    SettingsUpdate update;
    const QString path = settingsFilePath(dataFolder);
    QStringList lines;
    if (QFileInfo::exists(path)) {
        StoredText stored = ReadStoredText(path);
        if (!stored.result) {
            update.read = stored.result;
            return update;
        }
        lines = std::move(stored.lines);
    }
    while (lines.size() < kSettingsLineCount)
        lines.append(QStringLiteral(" "));
    lines[Reserved1Line] = settings.reserved1;
    lines[Reserved2Line] = settings.reserved2;
    lines[LanguageLine] = QString::number(settings.language);
    lines[FlagLine] = settings.flag ? kTrue : kFalse;
    update.write = WriteStoredText(path, lines);
    if (!update.write)
        DeleteFailedFile(dataFolder, path);
    return update;
}

void DeleteFailedFile(const QString &dataFolder, const QString &path)
{
    const bool settingsFile = QFileInfo(path).suffix().compare(u"ini", Qt::CaseInsensitive) == 0;
    const QString target =
        settingsFile ? settingsFilePath(dataFolder) : dataFolder + QStringLiteral("files.txt");
    removeSafeWriteLeftovers(target);
}

SetupFields::SetupFields()
{
    for (int kind = 0; kind < kColourCount; ++kind)
        colours[kind] = QString::number(kDefaultColours[kind]);
}

void LoadSetupLines(const QStringList &lines, int currentFontSize, SetupFields &fields)
{
    const auto keepUnlessBlank = [&lines](int index, QString &field) {
        if (const QString line = lineAt(lines, index); !isBlank(line))
            field = line;
    };
    fields.fontName = lineAt(lines, FontNameLine);
    fields.fontSize = QString::number(currentFontSize);
    keepUnlessBlank(FontSizeLine, fields.fontSize);
    fields.lineNumbers = lineAt(lines, LineNumbersLine) != kFalse;
    keepUnlessBlank(FtpUserLine, fields.user);
    keepUnlessBlank(FtpPasswordLine, fields.password);
    keepUnlessBlank(FtpServerLine, fields.server);
    fields.anonymous = lineAt(lines, FtpLoginLine) != kUserLogin;
    keepUnlessBlank(BrowserLine, fields.browser);
    for (int kind = 0; kind < kColourCount; ++kind) {
        fields.colours[kind] = QString::number(kDefaultColours[kind]);
        keepUnlessBlank(FirstColourLine + kind, fields.colours[kind]);
    }
    fields.reserved1 = lineAt(lines, Reserved1Line);
    fields.reserved2 = lineAt(lines, Reserved2Line);
}

QStringList SetupFileLines(const SetupFields &fields, int language)
{
    QStringList lines(kSettingsLineCount);
    lines[FontNameLine] = fields.fontName;
    lines[FontSizeLine] = fields.fontSize;
    lines[LineNumbersLine] = fields.lineNumbers ? kTrue : kFalse;
    lines[FtpUserLine] = fields.user;
    lines[FtpPasswordLine] = fields.password;
    lines[FtpServerLine] = fields.server;
    lines[FtpLoginLine] = fields.anonymous ? kAnonymous : kUserLogin;
    lines[BrowserLine] = fields.browser;
    for (int kind = 0; kind < kColourCount; ++kind)
        lines[FirstColourLine + kind] = fields.colours[kind];
    lines[Reserved1Line] = fields.reserved1;
    lines[Reserved2Line] = fields.reserved2;
    lines[LanguageLine] = QString::number(language);
    lines[FlagLine] = kFalse;
    return lines;
}
