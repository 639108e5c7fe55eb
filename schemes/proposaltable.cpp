#include "schemes/proposaltable.h"

#include "base/textrules.h"

#include <QCollator>
#include <algorithm>

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar(0x2028);
}

// Every line break (CR LF counting as one) replaced by "$ret".
QString breaksToMarkers(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!isLineBreak(c)) {
            out.append(c);
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out.append(QStringLiteral("$ret"));
    }
    return out;
}

} // namespace

QString selectedCellText(const QString &cell)
{
    if (isBlank(cell))
        return cell;
    return breaksToMarkers(trimCodes(cell));
}

QString cellFileLine(const QString &cell)
{
    if (std::none_of(cell.begin(), cell.end(), isLineBreak))
        return cell;
    return breaksToMarkers(cell);
}

QStringList columnFileLines(const QList<ProposalRow> &rows, int column)
{
    QStringList lines;
    for (const ProposalRow &row : rows) {
        if (!isBlank(row[column]))
            lines.append(cellFileLine(row[column]));
    }
    return lines;
}

int firstHalfFilledRow(const QList<ProposalRow> &rows)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (isBlank(rows[i][0]) != isBlank(rows[i][1]))
            return int(i);
    }
    return -1;
}

int sortableRowCount(const QList<ProposalRow> &rows)
{
    return int(std::count_if(rows.begin(), rows.end(),
                             [](const ProposalRow &row) { return !row[1].isEmpty(); }));
}

void sortProposalRows(QList<ProposalRow> &rows, int count, int column)
{
    count = std::clamp(count, 0, int(rows.size()));
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // The sort keys once per row, not once per comparison.
    struct Keyed
    {
        QString key;
        QString keyword;
        QString code;
        ProposalRow row;
    };
    QList<Keyed> keyed;
    keyed.reserve(count);
    for (int i = 0; i < count; ++i) {
        const ProposalRow &row = rows[i];
        keyed.append({trimCodes(row[column]), trimCodes(row[0]), trimCodes(row[1]), row});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
        for (auto field : {&Keyed::key, &Keyed::keyword, &Keyed::code}) {
            if (const int order = collator.compare(a.*field, b.*field); order != 0)
                return order < 0;
        }
        return false;
    });
    for (int i = 0; i < count; ++i)
        rows[i] = std::move(keyed[i].row);
}

QString proposalDisplayName(const QString &prefix)
{
    static const QList<std::pair<QString, QString>> names = {
        {QStringLiteral("Pas"), QStringLiteral("Pascal")},
        {QStringLiteral("Js"), QStringLiteral("JavaScript")},
        {QStringLiteral("Vb"), QStringLiteral("Visual Basic")},
        {QStringLiteral("Vbs"), QStringLiteral("VbScript")},
        {QStringLiteral("C"), QStringLiteral("C/C++")},
    };
    for (const auto &[key, name] : names) {
        if (key == prefix)
            return name;
    }
    return prefix;
}

QString codeCellToLines(const QString &cell)
{
    if (isBlank(cell))
        return cell;
    QString lines = cell;
    lines.replace(QStringLiteral("$ret"), QStringLiteral("\n"));
    return lines;
}

QString linesToCodeCell(const QString &text)
{
    return breaksToMarkers(trimCodes(text));
}

TextFormat proposalSaveFormat(const TextFormat &lastLoaded, bool loadedAny,
                              const QStringList &lines)
{
    TextFormat format;
    format.lineBreak = LineBreak::CrLf;
    if (!loadedAny)
        return format;
    format.encoding = lastLoaded.encoding;
    format.lineBreak = lastLoaded.lineBreak;
    if (format.encoding == TextEncoding::Windows1252) {
        for (const QString &line : lines) {
            if (fromWindows1252(toWindows1252(line)) != line) {
                format.encoding = TextEncoding::Utf8;
                break;
            }
        }
    }
    return format;
}

void WordCounter::addLine(QStringView line)
{
    if (isBlank(line))
        return;
    const QString trimmed = trimCodes(line);
    auto take = [this](char16_t code) {
        if (code == u'-' || (code >= u'0' && code <= u'9'))
            return;
        if ((code >= 64 && code <= 90) || (code >= 97 && code <= 122) ||
            (code >= 192 && code <= 255)) {
            ++m_run;
            return;
        }
        if (m_run > 0)
            ++m_words;
        m_run = 0;
    };
    for (QChar c : trimmed)
        take(c.unicode());
    // A line runs on into the next one only when it ends with a hyphen.
    if (!trimmed.endsWith(u'-'))
        take(u' ');
}

int CountWords(const QStringList &lines)
{
    WordCounter counter;
    for (const QString &line : lines)
        counter.addLine(line);
    return counter.count();
}
