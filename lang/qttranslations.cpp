#include "lang/qttranslations.h"

#include "lang/messages.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QList>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// "qt" is the catalogue that pulls in qtbase and the other Qt modules' catalogues.
constexpr const char *kCatalogues[] = {"qt", "qscintilla"};

// Parented to the application, so they go with it; the guard notices that.
QList<QPointer<QTranslator>> &installed()
{
    static QList<QPointer<QTranslator>> translators;
    return translators;
}

} // namespace

bool applyQtTranslations(int language)
{
    for (const QPointer<QTranslator> &translator : std::as_const(installed())) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    installed().clear();
    if (!isGerman(language))
        return true;

    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale german(QLocale::German, QLocale::Germany);
    bool all = true;
    for (const char *name : kCatalogues) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(german, QString::fromLatin1(name), QStringLiteral("_"), folder)) {
            delete translator;
            all = false;
            continue;
        }
        QCoreApplication::installTranslator(translator);
        installed().append(translator);
    }
    return all;
}
