// The folders stand on floors, and code may include only its own folder and the floors
// below it. This test reads every `#include "folder/..."` of the program's sources and
// names each one that reaches up or sideways without leave.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// The floors from the ground up. A folder may include the folders of every lower floor;
// folders on one floor include each other only where kSideways says so.
const QList<QStringList> kFloors = {
    {QStringLiteral("lang")},
    {QStringLiteral("base")},
    {QStringLiteral("editor")},
    {QStringLiteral("store")},
    {QStringLiteral("schemes"), QStringLiteral("texttools"), QStringLiteral("run"),
     QStringLiteral("desktop")},
    {QStringLiteral("app")},
};

// Allowed includes between folders of one floor: the import editor uses the find and
// replace of the text tools, the script runner opens its test page in the browser, and
// the macros' Editor object searches and transforms with the text tools.
const QSet<QString> kSideways = {
    QStringLiteral("schemes->texttools"),
    QStringLiteral("run->desktop"),
    QStringLiteral("run->texttools"),
};

// Folders that use the program from outside: they may include anything.
const QSet<QString> kOutside = {QStringLiteral("tests"), QStringLiteral("bench")};

QHash<QString, int> floorOfFolder()
{
    QHash<QString, int> floors;
    for (int i = 0; i < kFloors.size(); ++i) {
        for (const QString &folder : kFloors[i])
            floors.insert(folder, i);
    }
    return floors;
}

} // namespace

class tst_layers : public QObject
{
    Q_OBJECT
private slots:
    void includesGoDownOnly();
};

void tst_layers::includesGoDownOnly()
{
    const QString root = QStringLiteral(QUILLORA_SOURCE_DIR);
    const QHash<QString, int> floors = floorOfFolder();
    static const QRegularExpression include(
        QStringLiteral(R"(^\s*#\s*include\s+"([A-Za-z0-9_]+)/)"));

    QStringList faults;
    int files = 0;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        const QString folder = relative.section(u'/', 0, 0);
        if (relative.startsWith(u'.') || relative.section(u'/', 0, 0) == QStringLiteral("build") ||
            relative.startsWith(QStringLiteral("build-")) || kOutside.contains(folder) ||
            !relative.contains(u'/'))
            continue;
        if (!floors.contains(folder)) {
            faults
                << QStringLiteral("%1: folder %2 has no floor in the table").arg(relative, folder);
            continue;
        }
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        ++files;
        int lineNumber = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++lineNumber;
            const QRegularExpressionMatch match = include.match(line);
            if (!match.hasMatch())
                continue;
            const QString target = match.captured(1);
            if (target == folder || !floors.contains(target))
                continue;
            const int from = floors.value(folder);
            const int to = floors.value(target);
            if (to < from || (to == from && kSideways.contains(folder + "->" + target)))
                continue;
            faults << QStringLiteral("%1:%2: %3 includes %4, %5")
                          .arg(relative)
                          .arg(lineNumber)
                          .arg(folder, target,
                               to == from ? QStringLiteral("a folder of its own floor")
                                          : QStringLiteral("a floor above it"));
        }
    }
    QVERIFY2(files > 50, "the source folders were not found");
    QVERIFY2(faults.isEmpty(), qPrintable(u'\n' + faults.join(u'\n')));
}

QTEST_GUILESS_MAIN(tst_layers)
#include "tst_layers.moc"
