// One measurement per process, through the main window's own code paths, on the
// offscreen platform. bench/run.py starts it once per run and reads the line it prints:
//   seconds=<wall> cpu=<cpu seconds> peak_mb=<peak resident memory>
//
// quillora_bench open FILE            open FILE, window painted
// quillora_bench save FILE [edit]     save FILE after opening it (and typing one key at the end)
// quillora_bench key FILE start|middle|end [journal|nojournal]
//                                     one keystroke (median of several), CPU time; with
//                                     "journal" each key's journal record is also written
//                                     out at once (it is otherwise written on a timer),
//                                     with "nojournal" the crash-recovery journal is off
// quillora_bench ctrlend FILE         Ctrl+End from the start
// quillora_bench pagedown FILE        Page Down from the start
//                                     (both with QUILLORA_BENCH_KEY_PAINT set also print
//                                     the time to the editor's repaint, before idle work)
// quillora_bench complete COUNT       Ctrl+Space with a proposal pair of COUNT entries
// quillora_bench scheme FILE          switch a plain text document to C/C++ highlighting
// quillora_bench startup [FILE]       from the program's start to the first paint
// quillora_bench replace FILE FIND REPLACEMENT   Replace all (match case) on FILE, repainted
// quillora_bench findnext FILE FIND   Find next from the top (match case), repainted
// quillora_bench dehyphen FILE        Remove hyphenation on FILE, repainted
// quillora_bench files FOLDER count|replace FIND [REPLACEMENT]
//                                     the multi-file window's run (all, match case) over
//                                     every file of FOLDER

#include "app/mainform.h"
#include "editor/completion.h"
#include "editor/synmemo.h"
#include "schemes/schemeswitcher.h"
#include "store/documentguard.h"
#include "tests/support/recordingshell.h"
#include "tests/support/scriptedprompts.h"
#include "texttools/documenttools.h"
#include "texttools/findreplace.h"
#include "texttools/formfiles.h"
#include "texttools/searchdialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The high-water mark of this program's own memory: VmHWM, not getrusage's maximum,
// which on Linux carries the starting process's peak (here the data generator's)
// across fork and exec.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// The private data folder of the run, removed by report(): the quick exit skips the
// destructors that would.
QString dataFolder;

// What the program holds now (VmRSS), once the work is done.
double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

[[noreturn]] void report(double seconds, double cpu)
{
    std::printf("seconds=%.6f cpu=%.6f peak_mb=%.1f steady_mb=%.1f\n", seconds, cpu,
                peakMegabytes(), residentMegabytes());
    std::fflush(stdout);
    QDir(dataFolder).removeRecursively();
    // No tear-down of a large document: it is not what is measured.
    std::_Exit(0);
}

void settle(QWidget &window)
{
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
}

void sendKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

// Paints of the editor's viewport: the first one ends the start-up measurement.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QElapsedTimer &clock, double cpuAtStart) : m_clock(clock), m_cpu(cpuAtStart)
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            QObject::eventFilter(watched, event);
            report(double(m_clock.nsecsElapsed()) / 1e9, cpuSeconds() - m_cpu);
        }
        return false;
    }

private:
    QElapsedTimer &m_clock;
    double m_cpu;
};

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    const double cpuAtStart = cpuSeconds();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: quillora_bench CASE [ARGS] (see the source)\n");
        return 2;
    }
    const QString what = args[1];
    const QString file = args.value(2);

    QTemporaryDir data;
    dataFolder = data.path();
    ScriptedPrompts prompts;
    RecordingShell shell;
    QStringList programArgs{QStringLiteral("quillora")};
    if (what == u"startup" && !file.isEmpty())
        programArgs << file;
    TMainForm form(prompts, shell, programArgs, data.path() + QStringLiteral("/qldata/"));
    TSynMemo *editor = form.SynMemo1;

    if (what == u"startup") {
        FirstPaint watcher(clock, cpuAtStart);
        editor->viewport()->installEventFilter(&watcher);
        form.show();
        return app.exec();
    }

    form.show();
    settle(form);
    if (what == u"complete") {
        const int count = file.toInt();
        QStringList items, inserts;
        items.reserve(count);
        inserts.reserve(count);
        for (int i = 0; i < count; ++i) {
            items << QStringLiteral("proposal%1").arg(i);
            inserts << QStringLiteral("proposal%1()").arg(i);
        }
        form.SynCompletionProposal1->SetEditor(editor);
        form.SynCompletionProposal1->SetItemList(items);
        form.SynCompletionProposal1->SetInsertList(inserts);
        editor->SetText(QStringLiteral("int main() {\n    pro"));
        editor->SetSelStart(editor->TextLength());
        settle(form);
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        sendKey(editor, Qt::Key_Space, Qt::ControlModifier, QStringLiteral(" "));
        settle(form);
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        if (!form.SynCompletionProposal1->IsActive()) {
            std::fprintf(stderr, "the proposal list did not open\n");
            return 1;
        }
        report(seconds, cpuSeconds() - cpu);
    }

    if (what == u"files") {
        // The files as the open dialog hands them over, in name order.
        QDir folder(file);
        QStringList paths;
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
            paths << folder.filePath(name);
        const bool count = args.value(3) == u"count";
        TFormFiles &files = *form.FormFiles();
        form.MultiReplace1Click();
        prompts.expectOpenFiles(paths);
        files.BitBtn1Click();
        files.EditSearch->setText(args.value(4));
        files.EditReplace->setText(args.value(5));
        files.CheckBoxAll->setChecked(true);
        files.CheckBoxCase->setChecked(true);
        files.CheckBoxSearch->setChecked(count);
        settle(files);
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        files.BitBtn3->click();
        settle(files);
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        const double used = cpuSeconds() - cpu;
        std::fprintf(stderr, "hits=%s\n", qPrintable(files.EditTreffer->text()));
        report(seconds, used);
    }

    if (what == u"open") {
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        form.PerformFileOpen(file);
        settle(form);
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }

    form.PerformFileOpen(file);
    settle(form);
    if (what == u"save") {
        if (args.value(3) == u"edit") {
            editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            sendKey(editor, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            settle(form);
        }
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        form.FileSave();
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }
    if (what == u"key") {
        const QString where = args.value(3);
        const long length = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        const long line = editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                where == u"end"      ? length
                                                : where == u"middle" ? length / 2
                                                                     : 0L);
        editor->SendScintilla(QsciScintillaBase::SCI_GOTOLINE, line);
        DocumentGuard &guard = *form.documentGuard();
        const QString journal = args.value(4);
        guard.setJournaling(journal != u"nojournal");
        settle(form);
        std::vector<double> cpu;
        std::vector<double> wall;
        for (int i = 0; i < 15; ++i) {
            const double c = cpuSeconds();
            QElapsedTimer t;
            t.start();
            sendKey(editor, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            if (journal == u"journal")
                guard.flushJournal();
            settle(form);
            wall.push_back(double(t.nsecsElapsed()) / 1e9);
            cpu.push_back(cpuSeconds() - c);
        }
        if (journal == u"journal") {
            // The first key starts the journal (its header; a file's digest); the others
            // append one record each.
            std::fprintf(stderr, "first key cpu=%.6f journal_bytes=%lld\n", cpu.front(),
                         QFileInfo(guard.journal().path()).size());
        }
        std::sort(cpu.begin(), cpu.end());
        std::sort(wall.begin(), wall.end());
        report(wall[wall.size() / 2], cpu[cpu.size() / 2]);
    }
    if (what == u"ctrlend" || what == u"pagedown") {
        editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
        settle(form);
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        if (what == u"ctrlend")
            sendKey(editor, Qt::Key_End, Qt::ControlModifier);
        else
            sendKey(editor, Qt::Key_PageDown, Qt::NoModifier);
        if (qEnvironmentVariableIsSet("QUILLORA_BENCH_KEY_PAINT")) {
            // The key and the repaint it needs, before any idle work (styling) runs.
            editor->viewport()->repaint();
            std::printf("key_paint_seconds=%.6f cpu=%.6f\n", double(t.nsecsElapsed()) / 1e9,
                        cpuSeconds() - cpu);
        }
        settle(form);
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }
    if (what == u"scheme") {
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        form.schemes()->MenuClick(Scheme::Cpp);
        settle(form);
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }
    if (what == u"replace" || what == u"findnext") {
        TReplaceDialog &dialog = *form.findReplace()->ReplaceDialog1();
        dialog.setFindText(args.value(3));
        dialog.setReplaceText(args.value(4));
        dialog.matchCaseBox()->setChecked(true);
        form.findReplace()->state().SearchText = args.value(3);
        form.findReplace()->state().SearchStart = 1;
        form.findReplace()->state().SearchMatchCase = true;
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        if (what == u"replace")
            dialog.replaceAllButton()->click();
        else
            form.FindenextenClick();
        settle(form);
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }
    if (what == u"regexreplace") {
        TReplaceDialog &dialog = *form.findReplace()->ReplaceDialog1();
        dialog.setFindText(args.value(3));
        dialog.setReplaceText(args.value(4));
        dialog.matchCaseBox()->setChecked(true);
        dialog.regexBox()->setChecked(true);
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        dialog.replaceAllButton()->click();
        settle(form);
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }
    if (what == u"dehyphen") {
        prompts.expectMessage();
        const double cpu = cpuSeconds();
        QElapsedTimer t;
        t.start();
        form.RemoveHyphenation1Click();
        settle(form);
        report(double(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpu);
    }
    std::fprintf(stderr, "unknown case %s\n", qPrintable(what));
    return 2;
}
