#include "run/editorobject.h"

#include <algorithm>

namespace quillora {

namespace {

// How many lines one read of Line(n) fetches.
constexpr int kLineBlock = 1024;

} // namespace

int crlfLength(const QString &text)
{
    qsizetype length = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            ++length; // a lone LF becomes CR LF
        else if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            ++length; // so does a lone CR
    }
    return int(length);
}

EditorObject::EditorObject(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Editor"));
}

void EditorObject::setDocument(MacroDocument *document, Dispatch dispatch)
{
    flush();
    m_document = document;
    m_dispatch = std::move(dispatch);
}

template <typename Job> auto EditorObject::onDocument(Job job)
{
    using Result = decltype(job(*m_document));
    flush();
    if constexpr (std::is_void_v<Result>) {
        if (!m_document)
            return;
        const auto run = [&] { job(*m_document); };
        if (m_dispatch)
            m_dispatch(run);
        else
            run();
    } else {
        Result result{};
        if (!m_document)
            return result;
        const auto run = [&] { result = job(*m_document); };
        if (m_dispatch)
            m_dispatch(run);
        else
            run();
        return result;
    }
}

void EditorObject::flush()
{
    if (!m_pending.empty() && m_document) {
        std::map<int, QString> pending;
        pending.swap(m_pending);
        const auto run = [&] { m_document->setLines(pending); };
        if (m_dispatch)
            m_dispatch(run);
        else
            run();
    }
    forget();
}

void EditorObject::forget()
{
    m_pending.clear();
    m_cache.clear();
    m_lineCount = -1;
}

int EditorObject::lineCount()
{
    if (m_lineCount < 0) {
        // Line writes without breaks leave the count as it is: no need to write them.
        if (!m_document)
            return 0;
        int count = 0;
        const auto run = [&] { count = m_document->lineCount(); };
        if (m_dispatch)
            m_dispatch(run);
        else
            run();
        m_lineCount = count;
    }
    return m_lineCount;
}

QString EditorObject::Line(int line)
{
    const int index = line - 1;
    if (index < 0 || index >= lineCount())
        return QString();
    if (const auto found = m_pending.find(index); found != m_pending.end())
        return found->second;
    if (index < m_cacheFirst || index >= m_cacheFirst + m_cache.size()) {
        const auto run = [&] { m_cache = m_document->lines(index, kLineBlock); };
        if (m_dispatch)
            m_dispatch(run);
        else
            run();
        m_cacheFirst = index;
    }
    return m_cache.value(index - m_cacheFirst);
}

void EditorObject::Line(int line, const QString &text)
{
    const int index = line - 1;
    if (index < 0 || index >= lineCount())
        return;
    if (text.contains(u'\n') || text.contains(u'\r')) {
        // a line that becomes several: the count changes, so the edit goes at once
        onDocument([&](MacroDocument &d) {
            const int start = d.lineStart(index);
            const int end =
                index + 1 < d.lineCount() ? d.lineStart(index + 1) - 2 : d.lineStart(d.lineCount());
            d.replaceRange(start, end - start, text);
        });
        return;
    }
    if (m_dispatch) {
        m_pending[index] = text;
    } else if (m_document) {
        // the document is at hand (the console): no need to collect
        m_document->setLines({{index, text}});
    }
    if (index >= m_cacheFirst && index < m_cacheFirst + m_cache.size())
        m_cache[index - m_cacheFirst] = text;
}

void EditorObject::InsertText(const QString &text)
{
    onDocument([&](MacroDocument &d) { d.replaceRange(d.selStart(), d.selLength(), text); });
}

void EditorObject::ReplaceSelection(const QString &text)
{
    onDocument([&](MacroDocument &d) {
        const int start = d.selStart();
        d.replaceRange(start, d.selLength(), text);
        d.select(start, crlfLength(text));
    });
}

void EditorObject::DeleteLines(int first, int count)
{
    onDocument([&](MacroDocument &d) {
        const int lines = d.lineCount();
        const int from = std::max(first, 1) - 1;
        const int to = std::min(first - 1 + count, lines); // one beyond the last
        if (count < 1 || from >= to)
            return;
        int start = d.lineStart(from);
        int end = d.lineStart(to);
        if (to == lines && from > 0)
            start -= 2; // the last lines go with the break before them
        else if (to == lines)
            end = d.lineStart(lines);
        d.replaceRange(start, end - start, QString());
    });
}

bool EditorObject::Find(const QString &text, const QString &options)
{
    return onDocument([&](MacroDocument &d) {
        const TextMatch m =
            findMatch(d.text(), text, d.selStart() + d.selLength(), parseSearchOptions(options));
        if (m.position < 0)
            return false;
        d.select(int(m.position), int(m.length));
        return true;
    });
}

int EditorObject::ReplaceAll(const QString &find, const QString &replacement,
                             const QString &options)
{
    return onDocument([&](MacroDocument &d) {
        const QString old = d.text();
        int count = 0;
        const QString now =
            replaceMatches(old, find, replacement, parseSearchOptions(options), &count);
        if (count == 0)
            return 0;
        // only the stretch between the first and the last change is rewritten
        qsizetype head = 0;
        const qsizetype shorter = std::min(old.size(), now.size());
        while (head < shorter && old[head] == now[head])
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
            ++tail;
        d.replaceRange(int(head), int(old.size() - head - tail),
                       now.sliced(head, now.size() - head - tail));
        return count;
    });
}

void EditorObject::moveCaret(int line, int column)
{
    onDocument([&](MacroDocument &d) {
        const int index = std::clamp(line, 1, std::max(1, d.lineCount())) - 1;
        const int start = d.lineStart(index);
        const int end =
            index + 1 < d.lineCount() ? d.lineStart(index + 1) - 2 : d.lineStart(d.lineCount());
        d.select(std::clamp(start + column - 1, start, end), 0);
    });
}

void EditorObject::GotoLine(int line)
{
    moveCaret(line, 1);
}

bool EditorObject::succeeded(const QString &error)
{
    m_lastError = error;
    return error.isEmpty();
}

bool EditorObject::New()
{
    return succeeded(onDocument([](MacroDocument &d) { return d.newDocument(); }));
}

bool EditorObject::Open(const QString &path)
{
    return succeeded(onDocument([&](MacroDocument &d) { return d.open(path); }));
}

bool EditorObject::Save()
{
    return succeeded(onDocument([](MacroDocument &d) { return d.save(); }));
}

bool EditorObject::SaveAs(const QString &path)
{
    return succeeded(onDocument([&](MacroDocument &d) { return d.saveAs(path); }));
}

bool EditorObject::RunCommand(const QString &name)
{
    return succeeded(onDocument([&](MacroDocument &d) { return d.runCommand(name); }));
}

bool EditorObject::Key(const QString &name, int count)
{
    return succeeded(onDocument([&](MacroDocument &d) {
        for (int i = 0; i < count; ++i)
            if (const QString error = d.key(name); !error.isEmpty())
                return error;
        return QString();
    }));
}

void EditorObject::StatusText(const QString &text)
{
    onDocument([&](MacroDocument &d) { d.statusText(text); });
}

QString EditorObject::text()
{
    return onDocument([](MacroDocument &d) { return d.text(); });
}

void EditorObject::setText(const QString &text)
{
    onDocument([&](MacroDocument &d) {
        d.replaceRange(0, d.lineStart(d.lineCount()), text);
        d.select(0, 0);
    });
}

QString EditorObject::selText()
{
    return onDocument([](MacroDocument &d) { return d.selText(); });
}

int EditorObject::selStart()
{
    return onDocument([](MacroDocument &d) { return d.selStart(); });
}

void EditorObject::setSelStart(int start)
{
    onDocument([&](MacroDocument &d) { d.select(start, 0); });
}

int EditorObject::selLength()
{
    return onDocument([](MacroDocument &d) { return d.selLength(); });
}

void EditorObject::setSelLength(int length)
{
    onDocument([&](MacroDocument &d) { d.select(d.selStart(), length); });
}

int EditorObject::caretLine()
{
    return onDocument([](MacroDocument &d) { return d.caretLine(); });
}

void EditorObject::setCaretLine(int line)
{
    moveCaret(line, caretColumn());
}

int EditorObject::caretColumn()
{
    return onDocument([](MacroDocument &d) { return d.caretColumn(); });
}

void EditorObject::setCaretColumn(int column)
{
    moveCaret(caretLine(), column);
}

QString EditorObject::fileName()
{
    return onDocument([](MacroDocument &d) { return d.fileName(); });
}

QString EditorObject::scheme()
{
    return onDocument([](MacroDocument &d) { return d.scheme(); });
}

void EditorObject::setScheme(const QString &name)
{
    succeeded(onDocument([&](MacroDocument &d) {
        return d.setScheme(name) ? QString() : QStringLiteral("Unknown scheme: ") + name;
    }));
}

bool EditorObject::modified()
{
    return onDocument([](MacroDocument &d) { return d.modified(); });
}

} // namespace quillora
