// Speed of the text tools at two input sizes, ten times apart: hyphen removal on the
// editor, replace all on the editor, a multi-file count. Prints the times and the ratio;
// work that grows in proportion to its input shows a ratio near 10.
//
//   QT_QPA_PLATFORM=offscreen build/bench_texttools

#include "app/prompts.h"
#include "editor/synmemo.h"
#include "texttools/documenttools.h"
#include "texttools/findreplace.h"
#include "texttools/multireplace.h"
#include "texttools/searchdialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

// Answers every box with OK and no input.
class SilentPrompts : public Prompts
{
public:
    void message(Icon, const QString &, const QString &) override {}
    Answer question(Icon, const QString &, const QString &, Buttons) override { return Answer::Ok; }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> openFileName(const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QStringList> openFileNames(const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QFont> font(const QFont &) override { return std::nullopt; }
    std::optional<int> colour(int) override { return std::nullopt; }
    bool print(QPrinter &) override { return false; }
    int exec(QDialog &) override { return 0; }
};

QString repeatTo(const QString &line, qsizetype size)
{
    QString text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    return text;
}

void report(const char *what, const char *small, const char *large,
            const std::function<qint64(int factor)> &run)
{
    const qint64 a = run(1);
    const qint64 b = run(10);
    std::printf("%-44s %-26s %7lld ms   %-28s %7lld ms   ratio %.1f\n", what, small,
                static_cast<long long>(a), large, static_cast<long long>(b),
                a > 0 ? double(b) / double(a) : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    SilentPrompts prompts;
    QWidget window;
    TSynMemo editor(&window);

    DocumentTools::Host host;
    host.editor = &editor;
    host.prompts = &prompts;
    host.message = [](int) { return QString(); };
    DocumentTools tools(host);
    EditorFindReplace search(editor, prompts, &window, {QString(), {}});

    // One hyphen that goes every 100 characters.
    const QString hyphenLine = QStringLiteral(
        "Some words in a hyphen-ated line of plain text, long enough to weigh a hundred.   \r\n");
    report("remove hyphenation (editor, one undo step)", "1 MB, 10,000 hyphens",
           "10 MB, 100,000 hyphens", [&](int factor) {
               editor.SetText(repeatTo(hyphenLine, 1'000'000 * factor));
               QElapsedTimer timer;
               timer.start();
               tools.RemoveHyphenation1Click();
               return timer.elapsed();
           });

    // One hit every 50 characters.
    const QString catLine = QStringLiteral("The quick brown fox jumps over the lazy cat dog.\r\n");
    report("replace all (editor, case-insensitive)", "5 MB, 100,000 hits", "50 MB, 1,000,000 hits",
           [&](int factor) {
               editor.SetText(repeatTo(catLine, 5'000'000 * factor));
               search.ReplaceDialog1()->setFindText(QStringLiteral("CAT"));
               search.ReplaceDialog1()->setReplaceText(QStringLiteral("mouse"));
               QElapsedTimer timer;
               timer.start();
               search.ReplaceDialog1Replace(true);
               return timer.elapsed();
           });
    report("find next, hit at the end (editor)", "5 MB", "50 MB", [&](int factor) {
        editor.SetText(repeatTo(catLine, 5'000'000 * factor) + QStringLiteral("needle"));
        search.state().SearchText = QStringLiteral("NEEDLE");
        search.state().SearchStart = 1;
        QElapsedTimer timer;
        timer.start();
        search.FindNext();
        return timer.elapsed();
    });
    editor.SetText(QString());

    QTemporaryDir dir;
    const QByteArray content = repeatTo(catLine, 40'000).toUtf8();
    const auto files = [&](int count) {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            const QString path = dir.filePath(QStringLiteral("%1-%2.txt").arg(count).arg(i));
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(content);
            paths << path;
        }
        return paths;
    };
    const auto runFiles = [](const QStringList &paths, const MultiReplaceOptions &options) {
        QElapsedTimer timer;
        timer.start();
        for (const QString &path : paths)
            processFile(path, options, nullptr);
        return timer.elapsed();
    };
    const QStringList small = files(500);
    const QStringList large = files(5000);
    MultiReplaceOptions count;
    count.search = QStringLiteral("cat");
    count.all = true;
    count.searchOnly = true;
    report("multi-file count (all, search only)", "500 files of 40 KB", "5,000 files of 40 KB",
           [&](int factor) { return runFiles(factor == 1 ? small : large, count); });
    MultiReplaceOptions replace = count;
    replace.searchOnly = false;
    replace.replacement = QStringLiteral("dog");
    report("multi-file replace (all, safe writes)", "500 files of 40 KB", "5,000 files of 40 KB",
           [&](int factor) { return runFiles(factor == 1 ? small : large, replace); });
    return 0;
}
