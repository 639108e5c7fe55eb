// The editor adapter's contract: CR LF text, UTF-16 positions, undo steps, bookmarks, and
// files that come back byte for byte.

#include "editor/synmemo.h"
#include "tests/support/timebudget.h"

#include <Qsci/qscilexercpp.h>

#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSynMemo : public QObject
{
    Q_OBJECT

private slots:
    void textJoinsLinesWithCrLf();
    void positions_data();
    void positions();
    void selTextIsOneUndoStep();
    void setTextEmptiesHistory();
    void caretIsClamped();
    void bookmarks();
    void roundTrip_data();
    void roundTrip();
    void newTextIsUtf8WithLf();
    void clearKeepsFormat();
    void positionsInLargeDocument();
    void highlighterSwitchOnLargeDocument();
    void breaksSurviveEditsLikeTheModel();
    void editOnMixedFileChangesOnlyThatLine();
    void wholeTextKeepsEveryCharacter();
    void blankness_data();
    void blankness();
    void stoppedLoadKeepsDocument_data();
    void stoppedLoadKeepsDocument();
    void stoppedSaveKeepsFile();
    void utf8CheckedWhileRead();
    void largePlainTextTakesHighlighterLater();
    void upAndDownStartFromAProgrammaticMove_data();
    void upAndDownStartFromAProgrammaticMove();

private:
    QByteArray loadEditSave(const QByteArray &bytes, const std::function<void(TSynMemo &)> &edit);
    QTemporaryDir m_dir;
};

void TestSynMemo::textJoinsLinesWithCrLf()
{
    TSynMemo memo;
    QCOMPARE(memo.Text(), QString());
    QCOMPARE(memo.TextLength(), 0);
    QCOMPARE(memo.Lines().Count(), 0);
    memo.SetText(QStringLiteral("ab\r\ncd"));
    QCOMPARE(memo.Text(), QStringLiteral("ab\r\ncd"));
    QCOMPARE(memo.TextLength(), 6);
    QCOMPARE(memo.Lines().Count(), 2);
    QCOMPARE(memo.Lines().Strings(1), QStringLiteral("cd"));
    memo.SetSelStart(4);
    QCOMPARE(memo.CaretY(), 2);
    QCOMPARE(memo.CaretX(), 1);
    memo.Lines().Add(QStringLiteral("ef"));
    QCOMPARE(memo.Text(), QStringLiteral("ab\r\ncd\r\nef"));
    memo.Lines().SetStrings(0, QStringLiteral("xyz"));
    QCOMPARE(memo.Text(), QStringLiteral("xyz\r\ncd\r\nef"));
}

void TestSynMemo::positions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("caretX");
    QTest::addColumn<int>("caretY");

    const QString nonBmp = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("ascii across a break") << "ab\r\ncd" << 1 << 5 << "b\r\ncd" << 3 << 2;
    QTest::newRow("umlaut") << QStringLiteral("äöü\r\nx") << 2 << 1 << "ü" << 4 << 1;
    QTest::newRow("euro on line 2") << QStringLiteral("a\r\n€b") << 3 << 2 << "€b" << 3 << 2;
    QTest::newRow("outside the BMP counts two")
        << (QStringLiteral("a") + nonBmp + QStringLiteral("b")) << 1 << 3 << (nonBmp + u'b') << 5
        << 1;
    QTest::newRow("to the end") << "x\r\n\r\ny" << 3 << 3 << "\r\ny" << 2 << 3;
}

void TestSynMemo::positions()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, selected);
    QFETCH(int, caretX);
    QFETCH(int, caretY);

    TSynMemo memo;
    memo.SetText(text);
    QCOMPARE(memo.TextLength(), text.size());
    memo.SetSelStart(selStart);
    QCOMPARE(memo.SelStart(), selStart);
    QCOMPARE(memo.SelLength(), 0);
    memo.SetSelLength(selLength);
    QCOMPARE(memo.SelStart(), selStart);
    QCOMPARE(memo.SelLength(), selLength);
    QCOMPARE(memo.SelText(), selected);
    QCOMPARE(memo.CaretX(), caretX);
    QCOMPARE(memo.CaretY(), caretY);
    QCOMPARE(memo.RowColToCharIndex(caretX, caretY), selStart + selLength);
}

void TestSynMemo::selTextIsOneUndoStep()
{
    TSynMemo memo;
    memo.SetText(QStringLiteral("hello world"));
    memo.SetSelStart(6);
    memo.SetSelLength(5);
    memo.SetSelText(QStringLiteral("there\r\nfriend"));
    QCOMPARE(memo.Text(), QStringLiteral("hello there\r\nfriend"));
    QVERIFY(memo.Modified());
    memo.Undo();
    QCOMPARE(memo.Text(), QStringLiteral("hello world"));
}

void TestSynMemo::setTextEmptiesHistory()
{
    TSynMemo memo;
    QSignalSpy changes(&memo, &TSynMemo::OnChange);
    memo.SetSelText(QStringLiteral("typed"));
    memo.SetText(QStringLiteral("new\r\ntext"));
    QVERIFY(changes.count() >= 2);
    QVERIFY(!memo.isUndoAvailable());
    QCOMPARE(memo.CaretX(), 1);
    QCOMPARE(memo.CaretY(), 1);
    memo.Undo();
    QCOMPARE(memo.Text(), QStringLiteral("new\r\ntext"));
}

void TestSynMemo::caretIsClamped()
{
    TSynMemo memo;
    memo.SetText(QStringLiteral("one\r\ntwo"));
    memo.SetCaretXY(2, 99);
    QCOMPARE(memo.CaretY(), 2);
    QCOMPARE(memo.CaretX(), 2);
    memo.SetCaretY(0);
    QCOMPARE(memo.CaretY(), 1);
    memo.SetCaretX(50);
    QCOMPARE(memo.CaretX(), 4);
}

void TestSynMemo::bookmarks()
{
    TSynMemo memo;
    int x = 0, y = 0;
    memo.SetBookMark(0, 1, 1); // an empty text counts as one line
    QVERIFY(memo.GetBookMark(0, x, y));
    memo.SetText(QStringLiteral("a\r\nbbb\r\nc"));
    QVERIFY2(!memo.GetBookMark(0, x, y), "setting the text removes bookmarks");
    memo.SetBookMark(3, 2, 2);
    memo.SetBookMark(4, 1, 4); // beyond the last line: ignored
    QVERIFY(!memo.GetBookMark(4, x, y));
    QVERIFY(memo.GetBookMark(3, x, y));
    QCOMPARE(x, 2);
    QCOMPARE(y, 2);
    memo.SetBookMark(3, 1, 3); // moves
    QVERIFY(memo.GetBookMark(3, x, y));
    QCOMPARE(y, 3);
    memo.SetCaretXY(1, 1);
    memo.GotoBookMark(3);
    QCOMPARE(memo.CaretY(), 3);
    memo.ClearBookMark(3);
    QVERIFY(!memo.GetBookMark(3, x, y));
    memo.GotoBookMark(3); // unset: nothing happens
    QCOMPARE(memo.CaretY(), 3);
}

void TestSynMemo::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expectedText");

    const QByteArray utf8 = QStringLiteral("Grüße €").toUtf8();
    QTest::newRow("utf8 lf, final break")
        << (utf8 + "\nzwei\n") << QStringLiteral("Grüße €\r\nzwei\r\n");
    QTest::newRow("utf8 crlf, no final break")
        << (utf8 + "\r\nzwei") << QStringLiteral("Grüße €\r\nzwei");
    QTest::newRow("utf8 with mark, cr")
        << ("\xEF\xBB\xBF" + utf8 + "\rzwei\r") << QStringLiteral("Grüße €\r\nzwei\r\n");
    QTest::newRow("utf16 le") << QByteArray("\xFF\xFE"
                                            "a\0\r\0\n\0\xAC\x20",
                                            10)
                              << QStringLiteral("a\r\n€");
    QTest::newRow("utf16 be") << QByteArray("\xFE\xFF\0a\0\n\x20\xAC", 8)
                              << QStringLiteral("a\r\n€");
    QTest::newRow("windows-1252") << QByteArray("Gr\xFC\xDF\x65 \x80\r\n")
                                  << QStringLiteral("Grüße €\r\n");
    QTest::newRow("unassigned 1252 bytes and NUL")
        << QByteArray("\x81\x8D\x8F\x90\x9D\0x\xFF", 8)
        << (QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D) +
            QChar(0) + u'x' + QChar(0xFF));
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestSynMemo::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expectedText);
    const QString in = m_dir.filePath(QStringLiteral("in.txt"));
    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    TSynMemo memo;
    QVERIFY(memo.Lines().LoadFromFile(in));
    QCOMPARE(memo.Text(), expectedText);
    QCOMPARE(memo.TextLength(), expectedText.size());
    QVERIFY(memo.Lines().SaveToFile(out));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), bytes);

    LineList list; // the scratch list reads and writes the same way
    QVERIFY(list.LoadFromFile(in));
    QCOMPARE(list.Text(), expectedText);
    QVERIFY(list.SaveToFile(out));
    written.seek(0);
    QCOMPARE(written.readAll(), bytes);
}

void TestSynMemo::newTextIsUtf8WithLf()
{
    TSynMemo memo;
    memo.SetText(QStringLiteral("ä\r\nb"));
    const QString out = m_dir.filePath(QStringLiteral("new.txt"));
    QVERIFY(memo.Lines().SaveToFile(out));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("\xC3\xA4\nb"));
}

void TestSynMemo::clearKeepsFormat()
{
    const QString in = m_dir.filePath(QStringLiteral("bom.txt"));
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFx\r\ny");
    file.close();
    TSynMemo memo;
    QVERIFY(memo.Lines().LoadFromFile(in));
    memo.SetBookMark(1, 1, 2);
    memo.Clear();
    int x = 0, y = 0;
    QVERIFY(!memo.GetBookMark(1, x, y));
    QVERIFY(!memo.Modified());
    QCOMPARE(memo.format(), (TextFormat{TextEncoding::Utf8WithMark, LineBreak::CrLf, {}}));
}

void TestSynMemo::positionsInLargeDocument()
{
    // Conversions go through the line index: none may walk the whole text.
    QString text;
    const QString line = QStringLiteral("äbc€ line of text with some width\r\n");
    text.reserve(line.size() * 200000);
    for (int i = 0; i < 200000; ++i)
        text += line;
    TSynMemo memo;
    memo.SetText(text);
    SpeedTimer timer;
    timer.start();
    for (int i = 0; i < 2000; ++i) {
        const int lineNo = 1 + (i * 97) % 200000;
        const int index = memo.RowColToCharIndex(3, lineNo);
        QCOMPARE(index, (lineNo - 1) * int(line.size()) + 2);
        memo.SetSelStart(index);
        QCOMPARE(memo.SelStart(), index);
        QCOMPARE(memo.CaretY(), lineNo);
        QCOMPARE(memo.CaretX(), 3);
    }
    QVERIFY2(timer.elapsed() < timeBudget(2000), qPrintable(QString::number(timer.elapsed())));
}

void TestSynMemo::highlighterSwitchOnLargeDocument()
{
    // About 40 MB of C: a switch styles what is shown, not the whole text.
    const QString line = QStringLiteral("int main() { return 0; } /* comment */ \"text\"\n");
    QString text;
    text.reserve(line.size() * 800000);
    for (int i = 0; i < 800000; ++i)
        text += line;
    TSynMemo memo;
    memo.resize(600, 400);
    memo.SetText(text);
    QsciLexerCPP cpp;
    SpeedTimer timer;
    timer.start();
    memo.SetHighlighter(&cpp);
    const qint64 elapsed = timer.elapsed();
    qInfo("highlighter switch: %lld ms", elapsed);
    QVERIFY2(elapsed < 500, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QCOMPARE(memo.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 0L) & 0x1F, 5L); // "int"
    memo.SetHighlighter(nullptr);
}

namespace {

// A plain model of a file's lines for the differential test: each line with the bytes
// of its break (none for the last), edited by the rules the editor must follow.
struct ModelLine
{
    QByteArray text;
    QByteArray lineBreak;
};

class LineModel
{
public:
    explicit LineModel(const QByteArray &bytes)
    {
        QByteArray text;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c != '\r' && c != '\n') {
                text.append(c);
                continue;
            }
            const bool pair = c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
            m_lines.push_back({text, pair ? QByteArray("\r\n") : QByteArray(1, c)});
            text.clear();
            i += pair ? 1 : 0;
        }
        m_lines.push_back({text, {}});
        // The most frequent break, the first one found on a tie, LF when there is none.
        std::vector<std::pair<QByteArray, int>> counts;
        for (const ModelLine &line : m_lines) {
            if (line.lineBreak.isEmpty())
                continue;
            auto it = std::find_if(counts.begin(), counts.end(),
                                   [&](const auto &c) { return c.first == line.lineBreak; });
            if (it == counts.end())
                counts.push_back({line.lineBreak, 1});
            else
                ++it->second;
        }
        m_dominant = "\n";
        int best = 0;
        for (const auto &[style, count] : counts) {
            if (count > best) {
                best = count;
                m_dominant = style;
            }
        }
    }

    int lineCount() const { return int(m_lines.size()); }
    int lineLength(int line) const { return int(m_lines[line].text.size()); }
    qsizetype position(int line, int column) const
    {
        qsizetype position = column;
        for (int i = 0; i < line; ++i)
            position += m_lines[i].text.size() + 1;
        return position;
    }

    // `text` holds LF breaks only.
    void insert(int line, int column, const QByteArray &text)
    {
        const QList<QByteArray> pieces = text.split('\n');
        const ModelLine old = m_lines[line];
        std::vector<ModelLine> replacement;
        if (pieces.size() == 1) {
            replacement.push_back(
                {old.text.left(column) + text + old.text.mid(column), old.lineBreak});
        } else {
            replacement.push_back({old.text.left(column) + pieces.front(), m_dominant});
            for (qsizetype i = 1; i + 1 < pieces.size(); ++i)
                replacement.push_back({pieces[i], m_dominant});
            replacement.push_back({pieces.back() + old.text.mid(column), old.lineBreak});
        }
        m_lines.erase(m_lines.begin() + line);
        m_lines.insert(m_lines.begin() + line, replacement.begin(), replacement.end());
    }

    // Joined lines keep the break of the last of them.
    void remove(int line, int column, int endLine, int endColumn)
    {
        const ModelLine joined{m_lines[line].text.left(column) +
                                   m_lines[endLine].text.mid(endColumn),
                               m_lines[endLine].lineBreak};
        m_lines.erase(m_lines.begin() + line, m_lines.begin() + endLine + 1);
        m_lines.insert(m_lines.begin() + line, joined);
    }

    QByteArray bytes() const
    {
        QByteArray out;
        for (const ModelLine &line : m_lines)
            out += line.text + line.lineBreak;
        return out;
    }

private:
    std::vector<ModelLine> m_lines;
    QByteArray m_dominant;
};

QByteArray randomBytes(QRandomGenerator &random, int maxLength, const char *alphabet)
{
    const int length = random.bounded(maxLength + 1);
    const int letters = int(std::strlen(alphabet));
    QByteArray bytes;
    for (int i = 0; i < length; ++i)
        bytes.append(alphabet[random.bounded(letters)]);
    return bytes;
}

} // namespace

QByteArray TestSynMemo::loadEditSave(const QByteArray &bytes,
                                     const std::function<void(TSynMemo &)> &edit)
{
    const QString in = m_dir.filePath(QStringLiteral("edit-in.txt"));
    const QString out = m_dir.filePath(QStringLiteral("edit-out.txt"));
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(bytes);
    file.close();
    TSynMemo memo;
    if (!memo.Lines().LoadFromFile(in))
        return {};
    edit(memo);
    if (!memo.Lines().SaveToFile(out))
        return {};
    QFile written(out);
    if (!written.open(QIODevice::ReadOnly))
        return {};
    return written.readAll();
}

void TestSynMemo::breaksSurviveEditsLikeTheModel()
{
    // Differential: random files of mixed breaks, random inserts and deletes through the
    // editor, and the saved bytes against the plain model above. Undoing every edit gives
    // the original bytes back, and redoing them the edited bytes.
    QRandomGenerator random(20261210);
    for (int round = 0; round < 300; ++round) {
        const QByteArray original = randomBytes(random, 30, "ab\r\n\n\r");
        LineModel model(original);
        std::vector<std::function<void(TSynMemo &)>> edits;
        QStringList steps;
        const int editCount = random.bounded(1, 5);
        for (int e = 0; e < editCount; ++e) {
            const int line = random.bounded(model.lineCount());
            const int column = random.bounded(model.lineLength(line) + 1);
            const qsizetype position = model.position(line, column);
            if (random.bounded(2) == 0) {
                const QByteArray text = randomBytes(random, 5, "xy\n");
                model.insert(line, column, text);
                steps << QStringLiteral("insert %1 at %2")
                             .arg(QString::fromLatin1(text.toPercentEncoding()))
                             .arg(position);
                edits.push_back([position, text](TSynMemo &memo) {
                    memo.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, position,
                                       text.constData());
                });
            } else {
                const int endLine = random.bounded(line, qMin(model.lineCount(), line + 3));
                const int endColumn = endLine == line
                                          ? random.bounded(column, model.lineLength(line) + 1)
                                          : random.bounded(model.lineLength(endLine) + 1);
                const qsizetype end = model.position(endLine, endColumn);
                model.remove(line, column, endLine, endColumn);
                steps << QStringLiteral("delete %1..%2").arg(position).arg(end);
                edits.push_back([position, end](TSynMemo &memo) {
                    memo.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, position,
                                       end - position);
                });
            }
        }
        const QByteArray saved = loadEditSave(original, [&](TSynMemo &memo) {
            for (const auto &edit : edits)
                edit(memo);
        });
        const QByteArray undone = loadEditSave(original, [&](TSynMemo &memo) {
            for (const auto &edit : edits)
                edit(memo);
            while (memo.isUndoAvailable())
                memo.undo();
        });
        const QByteArray redone = loadEditSave(original, [&](TSynMemo &memo) {
            for (const auto &edit : edits)
                edit(memo);
            while (memo.isUndoAvailable())
                memo.undo();
            while (memo.isRedoAvailable())
                memo.redo();
        });
        if (saved != model.bytes() || undone != original || redone != model.bytes()) {
            qWarning() << "file" << original.toPercentEncoding() << "edits" << steps;
            QCOMPARE(saved.toPercentEncoding(), model.bytes().toPercentEncoding());
            QCOMPARE(undone.toPercentEncoding(), original.toPercentEncoding());
            QCOMPARE(redone.toPercentEncoding(), model.bytes().toPercentEncoding());
        }
    }
}

void TestSynMemo::wholeTextKeepsEveryCharacter()
{
    // A UTF-16 file that starts with a second mark (U+FEFF) and holds lone surrogates: the
    // text read from the editor and written back (as whole-text commands do) loses nothing.
    const QByteArray utf16("\xFF\xFE\xFF\xFE\x00\xD8x\0\r\0\n\0\x00\xDCy\0", 16);
    QCOMPARE(loadEditSave(utf16,
                          [](TSynMemo &memo) {
                              const QString text = memo.Text();
                              QCOMPARE(text.size(), 7);
                              QCOMPARE(text.front(), QChar(0xFEFF));
                              memo.SetText(text);
                              memo.Lines().SetStrings(1, memo.Lines().Strings(1));
                          }),
             utf16);
}

void TestSynMemo::editOnMixedFileChangesOnlyThatLine()
{
    // A program file (first break a lone CR) and a text with all three breaks: one
    // character typed changes that byte only; an unedited save changes nothing.
    const QByteArray binary("\x7F"
                            "ELF\r\x01\n\0\0\n\x90\xFF\r\n\n\nend",
                            19);
    QCOMPARE(loadEditSave(binary, [](TSynMemo &) {}), binary);
    QByteArray expected = binary;
    expected.insert(16, 'X');
    QCOMPARE(loadEditSave(binary,
                          [](TSynMemo &memo) {
                              memo.SetCaretXY(1, 7);
                              memo.SetSelText(QStringLiteral("X"));
                          }),
             expected);

    const QByteArray mixed("one\r\ntwo\nthree\rfour");
    QCOMPARE(loadEditSave(mixed, [](TSynMemo &) {}), mixed);
    // A line typed after "two" gets the most frequent break (each occurs once: the first,
    // CR LF); "two" keeps its LF.
    QCOMPARE(loadEditSave(mixed,
                          [](TSynMemo &memo) {
                              memo.SetCaretXY(4, 2);
                              memo.SetSelText(QStringLiteral("\r\nnew"));
                          }),
             QByteArray("one\r\ntwo\r\nnew\nthree\rfour"));
    // Joining "two" and "three" keeps the break of "three".
    QCOMPARE(loadEditSave(mixed,
                          [](TSynMemo &memo) {
                              memo.SetSelStart(memo.RowColToCharIndex(4, 2));
                              memo.SetSelLength(2);
                              memo.SetSelText(QString());
                          }),
             QByteArray("one\r\ntwothree\rfour"));
}

void TestSynMemo::blankness_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("blank");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("breaks, tabs, spaces") << QStringLiteral(" \t\r\n\r\n ") << true;
    QTest::newRow("letter at the end") << (QString(70000, u' ') + u'x') << false;
    QTest::newRow("non-breaking space") << QStringLiteral("\u00A0") << false;
}

void TestSynMemo::blankness()
{
    QFETCH(QString, text);
    QFETCH(bool, blank);
    TSynMemo memo;
    memo.SetText(text);
    QCOMPARE(memo.IsBlank(), blank);
}

void TestSynMemo::stoppedLoadKeepsDocument_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancelled") << QStringLiteral("cancel");
    QTest::newRow("missing file") << QStringLiteral("missing");
}

void TestSynMemo::stoppedLoadKeepsDocument()
{
    QFETCH(QString, how);
    const QString path = m_dir.filePath(QStringLiteral("stopped.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(6 << 20, 'x'));
    file.close();
    TSynMemo memo;
    memo.SetText(QStringLiteral("old\r\ntext"));
    memo.SetModified(false);
    memo.SetSelStart(3);
    memo.SetSelText(QStringLiteral("!"));
    memo.SetBookMark(2, 1, 2);
    int calls = 0;
    memo.setWorkProgress([&calls](qint64, qint64) { return ++calls < 2; });
    const FileResult read = memo.Lines().LoadFromFile(
        how == u"missing" ? m_dir.filePath(QStringLiteral("none.txt")) : path);
    QVERIFY(!read);
    QCOMPARE(read.cancelled, how == u"cancel");
    QCOMPARE(memo.lastWorkStop(), how == u"cancel" ? WorkStop::Cancelled : WorkStop::None);
    QCOMPARE(memo.Text(), QStringLiteral("old!\r\ntext"));
    QVERIFY(memo.Modified());
    int column = 0, line = 0;
    QVERIFY(memo.GetBookMark(2, column, line));
    QCOMPARE(line, 2);
    QCOMPARE(memo.CaretY(), 1); // the view still fits the document
    memo.Undo();
    QCOMPARE(memo.Text(), QStringLiteral("old\r\ntext"));
}

void TestSynMemo::stoppedSaveKeepsFile()
{
    // A save stopped part way reports the stop, not an error, and leaves the file on disk
    // as it was, with nothing else left in its folder.
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("kept.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old\r\n");
    file.close();
    TSynMemo memo;
    memo.SetText(QString(6 << 20, u'x'));
    int calls = 0;
    memo.setWorkProgress([&calls](qint64, qint64) { return ++calls < 2; });
    const FileResult written = memo.Lines().SaveToFile(path);
    QVERIFY(!written);
    QVERIFY(written.cancelled);
    QVERIFY(written.error.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.txt")});
}

void TestSynMemo::utf8CheckedWhileRead()
{
    // Valid UTF-8 for more than one piece of reading, then a byte that is not: the text is
    // read again as Windows-1252 and written back unchanged.
    QByteArray bytes;
    while (bytes.size() < (9 << 20))
        bytes += QStringLiteral("Grüße aus Köln\r\n").toUtf8();
    bytes += "\xE9t\xE9";
    const QString in = m_dir.filePath(QStringLiteral("late.txt"));
    const QString out = m_dir.filePath(QStringLiteral("late-out.txt"));
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    TSynMemo memo;
    QVERIFY(memo.Lines().LoadFromFile(in));
    QCOMPARE(memo.format().encoding, TextEncoding::Windows1252);
    QVERIFY(memo.Text().endsWith(QStringLiteral("\r\nété")));
    QVERIFY(memo.Lines().SaveToFile(out));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == bytes);
}

void TestSynMemo::largePlainTextTakesHighlighterLater()
{
    // A large plain text is kept without style bytes; a highlighter chosen afterwards gets
    // a document that has them, with the text, its breaks, bookmarks and settings intact.
    QByteArray bytes;
    while (bytes.size() < TSynMemo::kPlainWithoutStylesFrom)
        bytes += "int main() { return 0; }\n";
    bytes += "mixed\r\nend";
    const QString in = m_dir.filePath(QStringLiteral("plain.c"));
    const QString out = m_dir.filePath(QStringLiteral("plain-out.c"));
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    TSynMemo memo;
    memo.resize(600, 400);
    memo.setTabWidth(3);
    QVERIFY(memo.Lines().LoadFromFile(in));
    const auto options = [&memo] {
        return memo.SendScintilla(QsciScintillaBase::SCI_GETDOCUMENTOPTIONS);
    };
    QCOMPARE(options() & QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE,
             long(QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE));
    QCOMPARE(memo.tabWidth(), 3);
    memo.SetModified(false);
    memo.SetBookMark(4, 1, 3);
    memo.SetCaretXY(2, 5);
    QsciLexerCPP cpp;
    memo.SetHighlighter(&cpp);
    QCOMPARE(options() & QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE, 0L);
    QCOMPARE(memo.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 0L) & 0x1F, 5L); // "int"
    QCOMPARE(memo.tabWidth(), 3);
    QVERIFY(!memo.Modified());
    QCOMPARE(memo.CaretY(), 5);
    int column = 0, line = 0;
    QVERIFY(memo.GetBookMark(4, column, line));
    QCOMPARE(line, 3);
    memo.SetSelStart(0);
    memo.SetSelText(QStringLiteral("x")); // still editable and undoable
    memo.Undo();
    QVERIFY(memo.Lines().SaveToFile(out));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == bytes);
    memo.SetHighlighter(nullptr);
}

// After a move made by the program (go to line, a find, a new text) Up and Down go on from
// the column the caret has now, not from one the editor remembered from before.
void TestSynMemo::upAndDownStartFromAProgrammaticMove_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("caret set") << 0;
    QTest::newRow("selection set") << 1;
    QTest::newRow("text set") << 2;
    QTest::newRow("selection replaced") << 3;
}

void TestSynMemo::upAndDownStartFromAProgrammaticMove()
{
    QFETCH(int, how);
    TSynMemo memo;
    memo.SetText(QStringLiteral("abcdefgh\nab\nabcdefgh"));
    memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&memo));
    QTest::keyClick(&memo, Qt::Key_End); // the editor now remembers column 9
    switch (how) {
    case 0:
        memo.SetCaretXY(1, 3);
        break;
    case 1:
        memo.SetSelStart(int(memo.RowColToCharIndex(2, 3)));
        memo.SetSelLength(1); // caret at column 3
        break;
    case 2:
        memo.SetText(QStringLiteral("abcdefgh\nab\nabcdefgh"));
        QTest::keyClick(&memo, Qt::Key_Down);
        QTest::keyClick(&memo, Qt::Key_Down);
        QCOMPARE(memo.CaretY(), 3);
        QCOMPARE(memo.CaretX(), 1);
        return;
    case 3:
        memo.SetCaretXY(1, 3);
        memo.SetSelText(QStringLiteral("x"));
        break;
    }
    const int column = memo.CaretX();
    QTest::keyClick(&memo, Qt::Key_Up);
    QTest::keyClick(&memo, Qt::Key_Up);
    QCOMPARE(memo.CaretY(), 1);
    QCOMPARE(memo.CaretX(), column);
}

QTEST_MAIN(TestSynMemo)
#include "tst_synmemo.moc"
