#include "base/themeimages.h"

#include <QFileInfo>

namespace {

constexpr const char *kTheme = "Tango";
constexpr const char *kSizes[] = {"16x16", "22x22", "24x24", "32x32", "48x48"};

} // namespace

// Outside any namespace: Q_INIT_RESOURCE declares the resource's global function.
static void loadBuiltInImages()
{
    // The pictures live in a static library: without this call the linker may leave
    // them out.
    static const bool loaded = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(loaded);
}

QIcon themeImage(const QString &context, const QString &name, const QStringList &searchPaths)
{
    loadBuiltInImages();
    const QString tail = u'/' + context + u'/' + name + QStringLiteral(".png");
    const auto collect = [&](const QString &themeFolder) {
        QIcon icon;
        for (const char *size : kSizes) {
            const QString file = themeFolder + u'/' + QLatin1String(size) + tail;
            if (QFileInfo::exists(file))
                icon.addFile(file);
        }
        return icon;
    };
    for (const QString &folder : searchPaths) {
        // Qt lists its own resource folder among the search paths; the copy comes last.
        if (folder.startsWith(u':'))
            continue;
        if (QIcon icon = collect(folder + u'/' + QLatin1String(kTheme)); !icon.isNull())
            return icon;
    }
    return collect(QStringLiteral(":/icons/tango"));
}

QIcon programIcon()
{
    loadBuiltInImages();
    QIcon builtIn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/quillora.png").arg(size));
    return QIcon::fromTheme(QStringLiteral("quillora"), builtIn);
}
