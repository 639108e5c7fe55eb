#include "editor/synmemo.h"

#include "base/themeimages.h"

#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexer.h>

namespace {

constexpr int kLineNumberMargin = 0;
constexpr int kBookmarkMargin = 1;
constexpr int kFoldMargin = 2;
// The first indicator number that the editor leaves to its users.
constexpr int kOccurrenceIndicator = 8;
constexpr int kMaxMarkedLength = 200;

bool isWordByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 || b == '_' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
           (b >= 'a' && b <= 'z');
}
constexpr int kBookmarkMask = (1 << TSynMemo::kBookmarkCount) - 1;

// UTF-16 code units of the UTF-8 character whose lead byte is `lead`, and its length.
inline int unitsOfLead(unsigned char lead, int &bytes)
{
    if (lead < 0x80) {
        bytes = 1;
        return 1;
    }
    if (lead >= 0xF0) {
        bytes = 4;
        return 2;
    }
    bytes = lead >= 0xE0 ? 3 : (lead >= 0xC0 ? 2 : 1);
    return 1;
}

QString withCrLf(const QString &text)
{
    return withLineBreaks(text, u"\r\n");
}

QString withLf(QString text)
{
    normaliseLineBreaks(text);
    return text;
}

// The theme's bookmark picture with the bookmark's digit in its lower right corner.
QPixmap bookmarkImage(const QIcon &picture, int number)
{
    QPixmap image(16, 16);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    picture.paint(&painter, QRect(0, 0, 16, 16));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    font.setBold(true);
    QPainterPath digit;
    digit.addText(QPointF(9, 15), font, QString::number(number));
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(digit);
    painter.fillPath(digit, QColor(0x20, 0x4a, 0x87));
    return image;
}

} // namespace

// ---- Lines ----

int TSynMemoLines::Count() const
{
    return m_memo.length() == 0 ? 0 : int(m_memo.lineCount());
}

QString TSynMemoLines::Strings(int index) const
{
    if (index < 0 || index >= Count())
        return QString();
    const long start = m_memo.sci(QsciScintillaBase::SCI_POSITIONFROMLINE, index);
    const long end = m_memo.sci(QsciScintillaBase::SCI_GETLINEENDPOSITION, index);
    const auto *bytes = reinterpret_cast<const char *>(
        m_memo.sci(QsciScintillaBase::SCI_GETRANGEPOINTER, start, end - start));
    return fromEditorUtf8(QByteArrayView(bytes, end - start));
}

void TSynMemoLines::SetStrings(int index, const QString &line)
{
    if (index < 0 || index >= Count())
        return;
    const long start = m_memo.sci(QsciScintillaBase::SCI_POSITIONFROMLINE, index);
    const long end = m_memo.sci(QsciScintillaBase::SCI_GETLINEENDPOSITION, index);
    const QByteArray bytes = toEditorUtf8(withLf(line));
    m_memo.sci(QsciScintillaBase::SCI_SETTARGETRANGE, start, end);
    m_memo.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, bytes.size(), bytes.constData());
}

void TSynMemoLines::Add(const QString &line)
{
    QByteArray bytes = toEditorUtf8(withLf(line));
    if (Count() > 0)
        bytes.prepend('\n');
    m_memo.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, bytes.size(), bytes.constData());
}

void TSynMemoLines::Clear()
{
    m_memo.SetText(QString());
}

QString TSynMemoLines::Text() const
{
    return m_memo.Text();
}

void TSynMemoLines::SetText(const QString &text)
{
    m_memo.SetText(text);
}

FileResult TSynMemoLines::LoadFromFile(const QString &path, std::optional<TextEncoding> encoding)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    return m_memo.loadFile(file, encoding);
}

FileResult TSynMemoLines::SaveToFile(const QString &path) const
{
    // Straight from the editor's buffer through the encoder to the file. A stop asked for
    // through the progress fails the write, which leaves the old file as it was.
    const QByteArrayView bytes = m_memo.TextBytes();
    m_memo.m_workStop = WorkStop::None;
    qint64 done = 0;
    const FileResult result = writeFileSafely(path, [&](const PieceWriter &write) {
        return encodeEditorText(bytes, m_memo.m_format, m_memo.m_breaks, [&](QByteArrayView piece) {
            done += piece.size();
            return write(piece) &&
                   m_memo.reportProgress(qMin(done, qint64(bytes.size())), bytes.size());
        });
    });
    return !result && m_memo.m_workStop == WorkStop::Cancelled ? FileResult::cancel() : result;
}

// ---- Editor ----

TSynMemo::TSynMemo(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolUnix);
    setEolVisibility(false);
    sci(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
    // A highlighter styles what is shown, then the rest in idle time: no key waits for
    // the styling of everything before the place it goes to.
    sci(SCI_SETIDLESTYLING, SC_IDLESTYLING_ALL);

    m_font = QFont(QStringLiteral("Courier New"), 9);
    m_font.setStyleHint(QFont::TypeWriter);
    SetEditorFont(m_font);

    setMarginType(kLineNumberMargin, NumberMargin);
    setMarginType(kBookmarkMargin, SymbolMargin);
    setMarginMarkerMask(kLineNumberMargin, 0);
    setMarginMarkerMask(kBookmarkMargin, kBookmarkMask);
    setMarginSensitivity(kBookmarkMargin, true);
    setMarginSensitivity(kLineNumberMargin, true);
    defineBookmarkImages();
    applyMargins();

    connect(this, &QsciScintilla::textChanged, this, &TSynMemo::OnChange);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *text, int length, int linesAdded, int, int,
                   int, int, int) {
                onModified(position, type, linesAdded);
                if (type & SC_MOD_INSERTTEXT)
                    emit TextEdited(position, 0, QByteArrayView(text, length));
                else if (type & SC_MOD_DELETETEXT)
                    emit TextEdited(position, length, {});
            });
    connect(this, &QsciScintilla::marginClicked, this, &TSynMemo::onMarginClicked);
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] { emit zoomChanged(Zoom()); });
    connect(this, &QsciScintilla::linesChanged, this, [this] {
        if (m_showLineNumbers &&
            qMax(5, int(QString::number(lineCount()).size())) != m_lineNumberDigits)
            applyMargins();
    });
}

void TSynMemo::defineBookmarkImages()
{
    const QIcon picture = themeImage(QStringLiteral("actions"), QStringLiteral("bookmark-new"));
    for (int n = 0; n < kBookmarkCount; ++n)
        markerDefine(bookmarkImage(picture, n), n);
}

void TSynMemo::applyMargins()
{
    // Scintilla sizes its styles in points: 8 points is the gutter's 11 pixels.
    QFont gutterFont(QStringLiteral("Courier New"), 8);
    setMarginsFont(gutterFont);
    // Room for five digits, like a gutter that sizes itself to the line count.
    // Five digits at least; more when the line count needs them.
    const int digits = qMax(5, int(QString::number(lineCount()).size()));
    m_lineNumberDigits = digits;
    const int digitsWidth =
        QFontMetrics(gutterFont).horizontalAdvance(QString(digits, QLatin1Char('0')));
    setMarginWidth(kLineNumberMargin, m_showLineNumbers ? digitsWidth + 8 : 0);
    setMarginWidth(kBookmarkMargin, 18);
}

QString TSynMemo::documentText() const
{
    return fromEditorUtf8(TextBytes());
}

void TSynMemo::setDocumentText(const QString &lfText)
{
    const QByteArray bytes = toEditorUtf8(lfText);
    // Byte-length based calls: a NUL in the text must not end it.
    sci(SCI_SETUNDOCOLLECTION, 0UL);
    // A fresh record first: clearing the old text need not shift the old one.
    m_breaks = LineBreaks(m_format.lineBreak);
    sci(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, bytes.size(), bytes.constData());
    afterReplace();
}

void TSynMemo::afterReplace()
{
    sci(SCI_SETUNDOCOLLECTION, 1UL);
    sci(SCI_EMPTYUNDOBUFFER);
    m_lostBreaks.clear();
    markerDeleteAll(-1);
    sci(SCI_GOTOPOS, 0UL);
    sci(SCI_CHOOSECARETX);
    sci(SCI_SETFIRSTVISIBLELINE, 0UL);
    sci(SCI_SETXOFFSET, 0UL);
}

bool TSynMemo::reportProgress(qint64 done, qint64 total) const
{
    if (!m_progress || m_progress(done, total))
        return true;
    m_workStop = WorkStop::Cancelled;
    return false;
}

FileResult TSynMemo::loadFile(QFile &file, std::optional<TextEncoding> chosen)
{
    m_workStop = WorkStop::None;
    // Refused before any memory is spent; a text that grows past the limit while it is
    // decoded (Windows-1252 and UTF-16 may) is refused when it gets there.
    if (file.size() > kMaxTextBytes) {
        m_workStop = WorkStop::TooLarge;
        return FileResult::failure(QStringLiteral("File too large"));
    }
    // A chosen encoding is taken as it is. Otherwise a mark decides the encoding at once;
    // without one the text is read as UTF-8 while it is checked, and read again as
    // Windows-1252 only if a byte says it is not UTF-8.
    const QByteArray head = file.peek(3);
    TextEncoding encoding = TextEncoding::Utf8;
    if (chosen)
        encoding = *chosen;
    else if (head.startsWith("\xFF\xFE"))
        encoding = TextEncoding::Utf16LE;
    else if (head.startsWith("\xFE\xFF"))
        encoding = TextEncoding::Utf16BE;
    else if (head.startsWith("\xEF\xBB\xBF"))
        encoding = TextEncoding::Utf8WithMark;
    for (;;) {
        void *document = nullptr;
        bool notUtf8 = false;
        EditorTextDecoder decoder(encoding);
        FileResult result = fillDocument(file, encoding, !chosen, document, notUtf8, decoder);
        if (notUtf8) {
            if (!file.seek(0))
                return FileResult::failure(file.errorString());
            encoding = TextEncoding::Windows1252;
            continue;
        }
        if (!result)
            return result;
        showDocument(document);
        m_breaks = decoder.takeBreaks();
        m_format = decoder.format();
        m_format.lineBreak = m_breaks.dominant();
        m_invalidBytes = decoder.foundInvalidBytes();
        afterReplace();
        m_textReplaced = true;
        applyMargins();
        emit textChanged();
        return result;
    }
}

// Scintilla's interface for filling a document that is not shown (SCI_CREATELOADER),
// declared as the library declares it (its header is not installed with the library): the
// same name in the same (global) scope, so the objects the library hands out are of this
// type and calls through it are well defined.
class ILoader
{
public:
    virtual int Release() = 0;
    virtual int AddData(const char *data, ptrdiff_t length) = 0;
    virtual void *ConvertToDocument() = 0;
};

FileResult TSynMemo::fillDocument(QFile &file, TextEncoding encoding, bool detect, void *&document,
                                  bool &notUtf8, EditorTextDecoder &decoder)
{
    const qint64 size = file.size();
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    // Plain text needs no style bytes: a large one is kept without them.
    const bool plain = !lexer() && size >= kPlainWithoutStylesFrom;
    // One allocation for the whole text instead of growing step by step.
    auto *loader = reinterpret_cast<ILoader *>(
        sci(SCI_CREATELOADER, (utf16 ? size / 2 : size) + 1024,
            plain ? SC_DOCUMENTOPTION_STYLES_NONE : SC_DOCUMENTOPTION_DEFAULT));
    refreshView();
    if (!loader)
        return FileResult::failure(QStringLiteral("Not enough memory"));

    const bool checkUtf8 =
        detect && (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8WithMark);
    EncodingDetector detector;
    qint64 written = 0;
    bool outOfMemory = false;
    const ByteSink append = [&](QByteArrayView piece) {
        written += piece.size();
        if (written > kMaxTextBytes) {
            m_workStop = WorkStop::TooLarge;
            return false;
        }
        outOfMemory = loader->AddData(piece.data(), piece.size()) != 0;
        return !outOfMemory;
    };
    bool stopped = false;
    FileResult result = readFileInPieces(file, [&](QByteArrayView bytes, bool last) -> qsizetype {
        qsizetype usable = bytes.size();
        if (checkUtf8) {
            usable = detector.feed(bytes, last);
            if (detector.decided() && detector.encoding() == TextEncoding::Windows1252) {
                notUtf8 = true;
                return -1;
            }
        }
        const qsizetype taken =
            decoder.feed(bytes.first(usable), last && usable == bytes.size(), append);
        const qint64 done = file.pos() - (bytes.size() - qMax<qsizetype>(taken, 0));
        if (taken < 0 || !reportProgress(done, size)) {
            stopped = true;
            return -1;
        }
        return taken;
    });
    if (result && outOfMemory)
        result = FileResult::failure(QStringLiteral("Not enough memory"));
    else if (result && stopped && m_workStop == WorkStop::TooLarge)
        result = FileResult::failure(QStringLiteral("File too large"));
    else if (result && stopped)
        result = FileResult::cancel();
    if (!result || notUtf8) {
        loader->Release();
        return result;
    }
    document = loader->ConvertToDocument();
    return result;
}

void TSynMemo::refreshView()
{
    // Creating a document gives the view a fresh line map that no longer fits the shown
    // document: showing the same document again rebuilds it. The caret, selection and
    // scroll position come back as they were.
    const long anchor = sci(SCI_GETANCHOR);
    const long caret = sci(SCI_GETCURRENTPOS);
    const long firstLine = sci(SCI_GETFIRSTVISIBLELINE);
    const long xOffset = sci(SCI_GETXOFFSET);
    const long current = sci(SCI_GETDOCPOINTER);
    sci(SCI_ADDREFDOCUMENT, 0, current);
    sci(SCI_SETDOCPOINTER, 0, current);
    sci(SCI_RELEASEDOCUMENT, 0, current);
    sci(SCI_SETSEL, anchor, caret);
    sci(SCI_SETFIRSTVISIBLELINE, firstLine);
    sci(SCI_SETXOFFSET, xOffset);
}

void TSynMemo::showDocument(void *document)
{
    // What belongs to the document rather than the view goes over to the new one.
    const long tabWidth = sci(SCI_GETTABWIDTH);
    const long indent = sci(SCI_GETINDENT);
    const long useTabs = sci(SCI_GETUSETABS);
    const long tabIndents = sci(SCI_GETTABINDENTS);
    const long backspaceUnindents = sci(SCI_GETBACKSPACEUNINDENTS);
    sci(SCI_SETDOCPOINTER, 0, reinterpret_cast<qsizetype>(document));
    // The view holds the document now; the reference it came with goes.
    sci(SCI_RELEASEDOCUMENT, 0, reinterpret_cast<qsizetype>(document));
    sci(SCI_SETCODEPAGE, SC_CP_UTF8);
    sci(SCI_SETEOLMODE, SC_EOL_LF);
    sci(SCI_SETTABWIDTH, tabWidth);
    sci(SCI_SETINDENT, indent);
    sci(SCI_SETUSETABS, useTabs);
    sci(SCI_SETTABINDENTS, tabIndents);
    sci(SCI_SETBACKSPACEUNINDENTS, backspaceUnindents);
    // The UTF-16 line index, built once over the whole text.
    sci(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
    // The lexer lives in the document too.
    if (QsciLexer *current = lexer())
        setLexer(current);
}

void TSynMemo::moveToStyledDocument()
{
    // The text is copied whole into a document with style bytes; its undo history does
    // not come along. Without the memory for the copy the text stays as it is, uncoloured.
    const QByteArrayView bytes = TextBytes();
    auto *loader = reinterpret_cast<ILoader *>(
        sci(SCI_CREATELOADER, bytes.size() + 1024, SC_DOCUMENTOPTION_DEFAULT));
    refreshView();
    if (!loader)
        return;
    if (loader->AddData(bytes.data(), bytes.size()) != 0) {
        loader->Release();
        return;
    }
    const bool modified = Modified();
    std::array<int, kBookmarkCount> bookmarkLines{};
    for (int n = 0; n < kBookmarkCount; ++n) {
        int column = 0;
        if (!GetBookMark(n, column, bookmarkLines[n]))
            bookmarkLines[n] = 0;
    }
    const long anchor = sci(SCI_GETANCHOR);
    const long caret = sci(SCI_GETCURRENTPOS);
    const long firstLine = sci(SCI_GETFIRSTVISIBLELINE);
    const long xOffset = sci(SCI_GETXOFFSET);
    showDocument(loader->ConvertToDocument());
    sci(SCI_SETUNDOCOLLECTION, 1UL);
    sci(SCI_EMPTYUNDOBUFFER);
    m_lostBreaks.clear();
    for (int n = 0; n < kBookmarkCount; ++n) {
        if (bookmarkLines[n] > 0)
            markerAdd(bookmarkLines[n] - 1, n);
    }
    sci(SCI_SETSEL, anchor, caret);
    sci(SCI_SETFIRSTVISIBLELINE, firstLine);
    sci(SCI_SETXOFFSET, xOffset);
    setModified(false);
    m_textReplaced = modified;
}

void TSynMemo::onModified(int position, int type, int linesAdded)
{
    if (linesAdded == 0 || !(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    const qsizetype line = sci(SCI_LINEFROMPOSITION, position);
    if (type & SC_MOD_INSERTTEXT) {
        m_breaks.linesInserted(line, linesAdded);
        if (type & SC_PERFORMED_UNDO)
            restoreLostBreaks(line, linesAdded);
        return;
    }
    std::vector<LineBreaks::Exception> lost = m_breaks.linesRemoved(line, -linesAdded);
    // An undone insertion leaves the history; any other join may be undone later. Once a
    // record is kept, every later join gets one too, so that records and history stay in
    // step.
    const bool undoable = !(type & SC_PERFORMED_UNDO) && sci(SCI_GETUNDOCOLLECTION);
    if (undoable && (!lost.empty() || !m_lostBreaks.empty()))
        m_lostBreaks.push_back({line, -linesAdded, std::move(lost)});
}

void TSynMemo::restoreLostBreaks(qsizetype line, qsizetype count)
{
    if (m_lostBreaks.empty())
        return;
    const LostBreaks &last = m_lostBreaks.back();
    if (last.line == line && last.count == count) {
        m_breaks.restore(last.breaks);
        m_lostBreaks.pop_back();
    } else {
        // Not the join this undo reverses: the records are out of step with the history,
        // and the restored lines keep the most frequent break.
        m_lostBreaks.clear();
    }
}

void TSynMemo::setFormat(const TextFormat &format)
{
    m_format = format;
    m_breaks = LineBreaks(format.lineBreak);
    m_lostBreaks.clear();
}

QByteArrayView TSynMemo::TextBytes() const
{
    const auto *bytes = reinterpret_cast<const char *>(sci(SCI_GETCHARACTERPOINTER));
    return QByteArrayView(bytes, sci(SCI_GETLENGTH));
}

bool TSynMemo::IsBlank() const
{
    // In UTF-8 every byte above the space belongs to a character above it. Read in
    // pieces from the start: an ordinary text answers after its first bytes.
    constexpr long kPiece = 1 << 16;
    const long length = sci(SCI_GETLENGTH);
    for (long start = 0; start < length; start += kPiece) {
        const long n = qMin(kPiece, length - start);
        const auto *bytes =
            reinterpret_cast<const unsigned char *>(sci(SCI_GETRANGEPOINTER, start, n));
        for (long i = 0; i < n; ++i) {
            if (bytes[i] > 32)
                return false;
        }
    }
    return true;
}

QString TSynMemo::Text() const
{
    return withCrLf(documentText());
}

void TSynMemo::SetText(const QString &text)
{
    SetLfText(withLf(text));
}

void TSynMemo::SetLfText(const QString &lfText)
{
    setDocumentText(lfText);
    m_textReplaced = true;
}

bool TSynMemo::ApplyEdit(qsizetype position, qsizetype removed, QByteArrayView inserted)
{
    const qsizetype length = sci(SCI_GETLENGTH);
    if (position < 0 || removed < 0 || position > length || removed > length - position)
        return false;
    if (removed > 0)
        sci(SCI_DELETERANGE, position, removed);
    if (!inserted.isEmpty()) {
        // By length: a NUL in the bytes must not end them.
        sci(SCI_SETTARGETRANGE, position, position);
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(inserted.size()),
                      inserted.data());
    }
    return true;
}

qsizetype TSynMemo::replaceAllBytes(const ByteFinder &find, qsizetype length,
                                    QByteArrayView replacement)
{
    constexpr qsizetype kBlock = 1 << 20;
    qsizetype count = 0;
    qsizetype position = 0; // everything before it is done
    QByteArray piece;
    for (;;) {
        // The rest of the text is still as it was: the edits so far all lie before it.
        const qsizetype total = sci(SCI_GETLENGTH);
        const auto *rest =
            reinterpret_cast<const char *>(sci(SCI_GETRANGEPOINTER, position, total - position));
        const QByteArrayView text(rest, total - position);
        qsizetype hit = find(text, 0);
        if (hit < 0)
            break;
        if (count == 0)
            beginUndoAction();
        // The occurrences of the next megabyte or so become one replacement.
        const qsizetype blockStart = hit;
        piece.clear();
        qsizetype copied = blockStart;
        while (hit >= 0 && hit + length - blockStart <= kBlock) {
            piece.append(text.sliced(copied, hit - copied));
            piece.append(replacement);
            copied = hit + length;
            ++count;
            hit = find(text, copied);
        }
        if (copied == blockStart) { // one occurrence longer than the block
            piece.append(replacement);
            copied = blockStart + length;
            ++count;
        }
        // The piece has the lines of the bytes it replaces: their breaks, which the edit
        // takes from the record (keeping them for its undo), go back on them.
        const size_t records = m_lostBreaks.size();
        sci(SCI_SETTARGETRANGE, position + blockStart, position + copied);
        SendScintilla(SCI_REPLACETARGET, piece.size(), piece.constData());
        if (m_lostBreaks.size() > records)
            m_breaks.restore(m_lostBreaks.back().breaks);
        position += blockStart + piece.size();
    }
    if (count == 0)
        return 0;
    endUndoAction();
    sci(SCI_GOTOPOS, 0UL);
    sci(SCI_CHOOSECARETX);
    return count;
}

void TSynMemo::ReplaceText(const QString &text)
{
    ReplaceLfText(withLf(text));
}

void TSynMemo::ReplaceLfText(const QString &lfText)
{
    const QByteArray bytes = toEditorUtf8(lfText);
    beginUndoAction();
    sci(SCI_SETTARGETRANGE, 0L, sci(SCI_GETLENGTH));
    SendScintilla(SCI_REPLACETARGET, bytes.size(), bytes.constData());
    endUndoAction();
    sci(SCI_GOTOPOS, 0UL);
}

void TSynMemo::SetModified(bool modified)
{
    if (!modified) {
        m_textReplaced = false;
        setModified(false);
    } else if (!isModified()) {
        m_textReplaced = true;
    }
}

qsizetype TSynMemo::lineCount() const
{
    return sci(SCI_GETLINECOUNT);
}

qsizetype TSynMemo::lineStartIndex(qsizetype line) const
{
    // Each LF before the line stands for a CR LF pair in `Text`.
    return sci(SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16) + line;
}

int TSynMemo::TextLength() const
{
    // The line index also holds the end of the last line: no walk over a long line on
    // every keystroke.
    const qsizetype lines = lineCount();
    return int(sci(SCI_INDEXPOSITIONFROMLINE, lines, SC_LINECHARACTERINDEX_UTF16) + lines - 1);
}

qsizetype TSynMemo::positionToIndex(qsizetype position) const
{
    const long line = sci(SCI_LINEFROMPOSITION, position);
    const long start = sci(SCI_POSITIONFROMLINE, line);
    const auto *bytes =
        reinterpret_cast<const unsigned char *>(sci(SCI_GETRANGEPOINTER, start, position - start));
    qsizetype units = 0;
    for (qsizetype i = 0; i < position - start;) {
        int length = 1;
        units += unitsOfLead(bytes[i], length);
        i += length;
    }
    return lineStartIndex(line) + units;
}

qsizetype TSynMemo::indexToPosition(qsizetype index) const
{
    if (index <= 0)
        return 0;
    // The line index gives an upper bound for the line; the CR LF count narrows it.
    qsizetype high = sci(SCI_LINEFROMINDEXPOSITION, index, SC_LINECHARACTERINDEX_UTF16);
    high = qMin(high, lineCount() - 1);
    qsizetype low = 0;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (lineStartIndex(mid) <= index)
            low = mid;
        else
            high = mid - 1;
    }
    const long start = sci(SCI_POSITIONFROMLINE, low);
    const long end = sci(SCI_GETLINEENDPOSITION, low);
    const qsizetype wanted = index - lineStartIndex(low);
    const auto *bytes =
        reinterpret_cast<const unsigned char *>(sci(SCI_GETRANGEPOINTER, start, end - start));
    qsizetype units = 0;
    qsizetype at = 0;
    while (at < end - start) {
        int length = 1;
        const int u = unitsOfLead(bytes[at], length);
        if (units + u > wanted)
            break; // inside a surrogate pair: stay before the character
        units += u;
        at += length;
    }
    return start + at;
}

int TSynMemo::SelStart() const
{
    return int(positionToIndex(sci(SCI_GETSELECTIONSTART)));
}

void TSynMemo::SetSelStart(int index)
{
    const qsizetype position = indexToPosition(index);
    sci(SCI_SETEMPTYSELECTION, position);
    // Up and Down go on from the new column, not from one remembered before the move.
    sci(SCI_CHOOSECARETX);
    sci(SCI_SCROLLCARET);
}

int TSynMemo::SelLength() const
{
    return int(positionToIndex(sci(SCI_GETSELECTIONEND)) -
               positionToIndex(sci(SCI_GETSELECTIONSTART)));
}

void TSynMemo::SetSelLength(int length)
{
    const qsizetype startIndex = SelStart();
    const qsizetype anchor = indexToPosition(startIndex);
    const qsizetype caret = indexToPosition(startIndex + qMax(0, length));
    sci(SCI_SETSEL, anchor, caret);
    sci(SCI_CHOOSECARETX);
}

QString TSynMemo::SelText() const
{
    const long start = sci(SCI_GETSELECTIONSTART);
    const long end = sci(SCI_GETSELECTIONEND);
    const auto *bytes =
        reinterpret_cast<const char *>(sci(SCI_GETRANGEPOINTER, start, end - start));
    return withCrLf(fromEditorUtf8(QByteArrayView(bytes, end - start)));
}

void TSynMemo::SetSelText(const QString &text)
{
    const QByteArray bytes = toEditorUtf8(withLf(text));
    const long start = sci(SCI_GETSELECTIONSTART);
    const long end = sci(SCI_GETSELECTIONEND);
    beginUndoAction();
    sci(SCI_SETTARGETRANGE, start, end);
    SendScintilla(SCI_REPLACETARGET, bytes.size(), bytes.constData());
    endUndoAction();
    sci(SCI_SETEMPTYSELECTION, start + bytes.size());
    sci(SCI_CHOOSECARETX);
    sci(SCI_SCROLLCARET);
}

void TSynMemo::ReplaceLines(int first, const QStringList &lines)
{
    const qsizetype last = first + lines.size() - 1;
    if (lines.isEmpty() || first < 0 || last >= lineCount())
        return;
    // Joining the lines takes their breaks and splitting them again gives the most
    // frequent one: the listed breaks of the range go back afterwards. Undo gives them
    // back through the record of the join.
    std::vector<LineBreaks::Exception> breaks;
    for (const LineBreaks::Exception &e : m_breaks.exceptions())
        if (e.line >= first && e.line < last)
            breaks.push_back(e);
    const QByteArray bytes = toEditorUtf8(lines.join(u'\n'));
    beginUndoAction();
    sci(SCI_SETTARGETRANGE, sci(SCI_POSITIONFROMLINE, first), sci(SCI_GETLINEENDPOSITION, last));
    SendScintilla(SCI_REPLACETARGET, bytes.size(), bytes.constData());
    endUndoAction();
    m_breaks.restore(breaks);
}

int TSynMemo::CaretY() const
{
    return int(sci(SCI_LINEFROMPOSITION, sci(SCI_GETCURRENTPOS))) + 1;
}

int TSynMemo::CaretX() const
{
    const long position = sci(SCI_GETCURRENTPOS);
    const long line = sci(SCI_LINEFROMPOSITION, position);
    return int(positionToIndex(position) - lineStartIndex(line)) + 1;
}

void TSynMemo::SetCaretXY(int column, int line)
{
    const int index = RowColToCharIndex(column, line);
    SetSelStart(index);
}

void TSynMemo::SetCaretX(int column)
{
    SetCaretXY(column, CaretY());
}

void TSynMemo::SetCaretY(int line)
{
    SetCaretXY(CaretX(), line);
}

int TSynMemo::RowColToCharIndex(int column, int line) const
{
    const qsizetype lineIndex = qBound<qsizetype>(0, qsizetype(line) - 1, lineCount() - 1);
    const qsizetype start = lineStartIndex(lineIndex);
    const qsizetype end = positionToIndex(sci(SCI_GETLINEENDPOSITION, lineIndex));
    return int(qMin(start + qMax(0, column - 1), end));
}

void TSynMemo::Clear()
{
    setDocumentText(QString());
    SetModified(false);
}

void TSynMemo::SetBookMark(int number, int column, int line)
{
    if (number < 0 || number >= kBookmarkCount)
        return;
    const int lines = qMax<int>(1, int(lineCount()));
    if (line < 1 || line > lines)
        return;
    markerDeleteAll(number);
    markerAdd(line - 1, number);
    m_bookmarkColumn[number] = column;
}

bool TSynMemo::GetBookMark(int number, int &column, int &line) const
{
    if (number < 0 || number >= kBookmarkCount)
        return false;
    const long found = sci(SCI_MARKERNEXT, 0L, long(1 << number));
    if (found < 0)
        return false;
    line = int(found) + 1;
    column = m_bookmarkColumn[number];
    return true;
}

void TSynMemo::GotoBookMark(int number)
{
    int column = 0, line = 0;
    if (!GetBookMark(number, column, line))
        return;
    SetCaretXY(column, line);
    ensureCursorVisible();
}

void TSynMemo::ClearBookMark(int number)
{
    if (number >= 0 && number < kBookmarkCount)
        markerDeleteAll(number);
}

void TSynMemo::SetWordWrap(bool on)
{
    setWrapMode(on ? WrapWord : WrapNone);
}

void TSynMemo::SetRightEdge(int column)
{
    setEdgeColumn(column);
    applyEdges();
}

void TSynMemo::applyEdges()
{
    if (m_longLineColumn <= 0) {
        setEdgeMode(EdgeLine);
        return;
    }
    // Both lines: the right edge and the long-line marker.
    setEdgeMode(EdgeMultipleLines);
    clearEdgeColumns();
    addEdgeColumn(edgeColumn(), edgeColor());
    addEdgeColumn(m_longLineColumn, QColor(0xE0, 0x80, 0x80));
}

void TSynMemo::SetLongLineColumn(int column)
{
    m_longLineColumn = qMax(0, column);
    applyEdges();
}

void TSynMemo::SelectedLines(int &first, int &last) const
{
    const long start = sci(SCI_GETSELECTIONSTART);
    const long end = sci(SCI_GETSELECTIONEND);
    first = int(sci(SCI_LINEFROMPOSITION, start));
    last = int(sci(SCI_LINEFROMPOSITION, end));
    if (last > first && sci(SCI_POSITIONFROMLINE, last) == end)
        --last;
}

void TSynMemo::ReplaceInLine(int line, int column, int length, const QString &text)
{
    const QString lineText = m_lines.Strings(line);
    const long start = sci(SCI_POSITIONFROMLINE, line);
    const long from = start + long(toEditorUtf8(QStringView(lineText).first(column)).size());
    const long to = from + long(toEditorUtf8(QStringView(lineText).sliced(column, length)).size());
    const QByteArray bytes = toEditorUtf8(text);
    sci(SCI_SETTARGETRANGE, from, to);
    SendScintilla(SCI_REPLACETARGET, bytes.size(), bytes.constData());
}

void TSynMemo::DuplicateSelection()
{
    sci(SCI_SELECTIONDUPLICATE);
}

void TSynMemo::MoveSelectedLines(bool up)
{
    sci(up ? SCI_MOVESELECTEDLINESUP : SCI_MOVESELECTEDLINESDOWN);
}

void TSynMemo::DeleteSelectedLines()
{
    int first = 0;
    int last = 0;
    SelectedLines(first, last);
    const long lines = sci(SCI_GETLINECOUNT);
    long from = sci(SCI_POSITIONFROMLINE, first);
    long to = 0;
    if (last + 1 < lines) {
        to = sci(SCI_POSITIONFROMLINE, last + 1);
    } else {
        // The last line has no break of its own: the one before it goes instead.
        to = sci(SCI_GETLENGTH);
        if (first > 0)
            from = sci(SCI_GETLINEENDPOSITION, first - 1);
    }
    beginUndoAction();
    sci(SCI_SETTARGETRANGE, from, to);
    SendScintilla(SCI_REPLACETARGET, 0UL, "");
    endUndoAction();
    sci(SCI_SETEMPTYSELECTION, sci(SCI_POSITIONFROMLINE, first));
}

void TSynMemo::ClearOccurrenceMarks()
{
    sci(SCI_SETINDICATORCURRENT, kOccurrenceIndicator);
    sci(SCI_INDICATORCLEARRANGE, 0, sci(SCI_GETLENGTH));
}

int TSynMemo::MarkOccurrences(int marginLines)
{
    ClearOccurrenceMarks();
    long start = sci(SCI_GETSELECTIONSTART);
    long end = sci(SCI_GETSELECTIONEND);
    const bool wholeWord = start == end;
    if (wholeWord) {
        start = sci(SCI_WORDSTARTPOSITION, end, 1);
        end = sci(SCI_WORDENDPOSITION, end, 1);
    }
    if (end <= start || end - start > kMaxMarkedLength * 4)
        return 0;
    // Only the shown lines and a margin are read (with a byte on either side for the word
    // test), so the buffer's gap is not moved across the whole document.
    const QByteArray needle(
        reinterpret_cast<const char *>(sci(SCI_GETRANGEPOINTER, start, end - start)), end - start);
    if (needle.contains('\n') || (wholeWord && !isWordByte(needle.front())))
        return 0;
    const long length = sci(SCI_GETLENGTH);
    const long firstShown = sci(SCI_DOCLINEFROMVISIBLE, sci(SCI_GETFIRSTVISIBLELINE));
    const long lastShown =
        sci(SCI_DOCLINEFROMVISIBLE, sci(SCI_GETFIRSTVISIBLELINE) + sci(SCI_LINESONSCREEN));
    const long from = sci(SCI_POSITIONFROMLINE, qMax(0L, firstShown - marginLines));
    const long lines = sci(SCI_GETLINECOUNT);
    const long to = lastShown + marginLines + 1 < lines
                        ? sci(SCI_POSITIONFROMLINE, lastShown + marginLines + 1)
                        : length;
    const long lo = qMax(0L, from - 1);
    const long hi = qMin(length, to + 1);
    const QByteArrayView text(reinterpret_cast<const char *>(sci(SCI_GETRANGEPOINTER, lo, hi - lo)),
                              hi - lo);
    sci(SCI_INDICSETSTYLE, kOccurrenceIndicator, INDIC_ROUNDBOX);
    sci(SCI_INDICSETFORE, kOccurrenceIndicator, 0x00C0A000); // BGR: a clear blue-green
    sci(SCI_INDICSETALPHA, kOccurrenceIndicator, 60);
    sci(SCI_INDICSETUNDER, kOccurrenceIndicator, 1);
    // Positions in `text` are document positions less `lo`.
    const QByteArrayView region = text.first(to - lo);
    int marks = 0;
    for (qsizetype at = region.indexOf(needle, from - lo); at >= 0;
         at = region.indexOf(needle, at + needle.size())) {
        const qsizetype after = at + needle.size();
        if (wholeWord && ((at > 0 && isWordByte(text[at - 1])) ||
                          (after < text.size() && isWordByte(text[after]))))
            continue;
        sci(SCI_INDICATORFILLRANGE, lo + at, needle.size());
        ++marks;
    }
    // The word alone: nothing to point out.
    if (marks == 1) {
        ClearOccurrenceMarks();
        return 0;
    }
    return marks;
}

void TSynMemo::SetBraceMatching(bool on)
{
    setBraceMatching(on ? SloppyBraceMatch : NoBraceMatch);
}

void TSynMemo::GoToMatchingBrace()
{
    // The brace at the caret, else the one just before it; the caret goes to its partner.
    const long caret = sci(SCI_GETCURRENTPOS);
    long partner = sci(SCI_BRACEMATCH, caret, 0);
    if (partner < 0 && caret > 0)
        partner = sci(SCI_BRACEMATCH, sci(SCI_POSITIONBEFORE, caret), 0);
    if (partner >= 0)
        sci(SCI_GOTOPOS, partner);
}

void TSynMemo::SetFoldMargin(bool on)
{
    m_foldMargin = on;
    if (!on)
        sci(SCI_FOLDALL, SC_FOLDACTION_EXPAND); // nothing stays hidden without the margin
    setFolding(on ? BoxedTreeFoldStyle : NoFoldStyle, kFoldMargin);
}

void TSynMemo::FoldAll(bool fold)
{
    sci(SCI_FOLDALL, fold ? SC_FOLDACTION_CONTRACT : SC_FOLDACTION_EXPAND);
}

int TSynMemo::Zoom() const
{
    return int(sci(SCI_GETZOOM));
}

void TSynMemo::SetZoom(int points)
{
    zoomTo(qBound(-10, points, 20));
}

void TSynMemo::SetShowWhitespace(bool on)
{
    setWhitespaceVisibility(on ? WsVisible : WsInvisible);
}

void TSynMemo::SetShowLineEnds(bool on)
{
    setEolVisibility(on);
}

void TSynMemo::SetIndentGuides(bool on)
{
    setIndentationGuides(on);
}

int TSynMemo::CharsInWindow() const
{
    int margins = 0;
    for (int m = 0; m < 3; ++m)
        margins += marginWidth(m);
    const int charWidth = int(SendScintilla(SCI_TEXTWIDTH, long(STYLE_DEFAULT), "P"));
    if (charWidth <= 0)
        return 0;
    return qMax(0, (viewport()->width() - margins) / charWidth);
}

void TSynMemo::SetMaxScrollWidth(int characters)
{
    m_maxScrollWidth = characters;
    const int charWidth = int(SendScintilla(SCI_TEXTWIDTH, long(STYLE_DEFAULT), "P"));
    sci(SCI_SETSCROLLWIDTH, qMax(1, characters) * qMax(1, charWidth));
    sci(SCI_SETSCROLLWIDTHTRACKING, 1UL);
}

void TSynMemo::SetShowLineNumbers(bool show)
{
    m_showLineNumbers = show;
    applyMargins();
}

void TSynMemo::ReleaseKey(const QKeySequence &keys)
{
    if (keys.isEmpty())
        return;
    const int key = keys[0].toCombined();
    QsciCommand *command = standardCommands()->boundTo(key);
    if (!command)
        return;
    if (command->key() == key)
        command->setKey(0);
    if (command->alternateKey() == key)
        command->setAlternateKey(0);
}

void TSynMemo::SetEditorFont(const QFont &font)
{
    m_font = font;
    setFont(font);
    if (QsciLexer *current = lexer()) {
        current->setFont(font, -1);
        current->setDefaultFont(font);
    }
}

void TSynMemo::SetHighlighter(QsciLexer *highlighter)
{
    if (highlighter == lexer())
        return;
    if (highlighter && (sci(SCI_GETDOCUMENTOPTIONS) & SC_DOCUMENTOPTION_STYLES_NONE))
        moveToStyledDocument();
    if (highlighter)
        highlighter->setFont(m_font, -1);
    setLexer(highlighter);
    if (!highlighter)
        setFont(m_font);
    applyMargins();
}

void TSynMemo::recolor(int start, int end)
{
    const long lastShown = sci(SCI_GETFIRSTVISIBLELINE) + sci(SCI_LINESONSCREEN) + 1;
    const long shownEnd = sci(SCI_GETLINEENDPOSITION, sci(SCI_DOCLINEFROMVISIBLE, lastShown));
    if (end < 0 || end > shownEnd)
        end = int(shownEnd);
    if (start < end)
        sci(SCI_COLOURISE, start, end);
}

void TSynMemo::keyReleaseEvent(QKeyEvent *event)
{
    QsciScintilla::keyReleaseEvent(event);
    emit OnKeyUp(event->key(), event->modifiers());
}

void TSynMemo::mouseReleaseEvent(QMouseEvent *event)
{
    QsciScintilla::mouseReleaseEvent(event);
    int margins = 0;
    for (int m = 0; m < 3; ++m)
        margins += marginWidth(m);
    if (event->position().x() >= margins)
        emit OnClick();
}

void TSynMemo::onMarginClicked(int, int line, Qt::KeyboardModifiers)
{
    // The caret goes to the clicked line first, so handlers see it there.
    sci(SCI_GOTOLINE, line);
    emit OnGutterClick(Qt::LeftButton, line + 1);
}
