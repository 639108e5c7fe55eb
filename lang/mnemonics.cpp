#include "lang/mnemonics.h"

namespace {

bool isKeyCandidate(QChar c)
{
    return c.unicode() < 128 && c.isLetterOrNumber();
}

// The part of a caption that may give the key: up to a run of two or more spaces.
qsizetype candidateEnd(const QString &caption)
{
    const qsizetype gap = caption.indexOf(QStringLiteral("  "));
    return gap < 0 ? caption.size() : gap;
}

qsizetype chooseKey(const QString &caption, const QString &used)
{
    const qsizetype end = candidateEnd(caption);
    const auto free = [&](qsizetype i) {
        return isKeyCandidate(caption[i]) && !used.contains(caption[i].toLower());
    };
    for (qsizetype i = 0; i < end; ++i) {
        const bool wordStart = i == 0 || !caption[i - 1].isLetterOrNumber();
        if (wordStart && free(i))
            return i;
    }
    for (qsizetype i = 0; i < end; ++i) {
        if (free(i))
            return i;
    }
    return -1;
}

} // namespace

QStringList withMnemonics(const QStringList &captions, QStringView taken)
{
    QString used = taken.toString().toLower();
    QStringList marked;
    marked.reserve(captions.size());
    for (const QString &caption : captions) {
        const qsizetype key = chooseKey(caption, used);
        QString text;
        text.reserve(caption.size() + 2);
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (i == key) {
                text += u'&';
                used += caption[i].toLower();
            }
            if (caption[i] == u'&')
                text += u'&';
            text += caption[i];
        }
        marked << text;
    }
    return marked;
}

QString withoutMnemonic(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}
