// Rules of the proposal table: sorting, the cell and file line rules, the half-filled row,
// the save format, and the import editor's word count.

#include "schemes/proposaltable.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<ProposalRow>)

namespace {

QList<ProposalRow> rowsOf(const QStringList &cells)
{
    QList<ProposalRow> rows;
    for (qsizetype i = 0; i + 1 < cells.size(); i += 2)
        rows.append({cells[i], cells[i + 1]});
    return rows;
}

} // namespace

class tst_ProposalTable : public QObject
{
    Q_OBJECT
private slots:
    void wordCount_data();
    void wordCount();
    void sortRows_data();
    void sortRows();
    void cellRules_data();
    void cellRules();
    void columnLinesSkipBlankCells();
    void halfFilledRow_data();
    void halfFilledRow();
    void lineBreakDialogRoundTrip();
    void saveFormat();
    void displayNames();
};

void tst_ProposalTable::wordCount_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("words");
    QTest::newRow("digits and hyphens") << QStringList{"one two-three 42 x-1"} << 3;
    QTest::newRow("hyphenated across lines") << QStringList{"hyphen-", "ation here"} << 2;
    QTest::newRow("blank line between the halves") << QStringList{"hyphen-", "  ", "ation"} << 1;
    QTest::newRow("punctuation") << QStringList{"a,b;c"} << 3;
    QTest::newRow("underscore") << QStringList{"foo_bar"} << 2;
    QTest::newRow("codes 192 to 255") << QStringList{QStringLiteral("ÄÖÜ")} << 1;
    QTest::newRow("at sign is a letter") << QStringList{"@ 1"} << 1;
    QTest::newRow("blank text") << QStringList{"", " \t "} << 0;
    QTest::newRow("last line cut off by a hyphen") << QStringList{"word", "cut-"} << 1;
    QTest::newRow("lines are trimmed") << QStringList{"  one  ", "\ttwo"} << 2;
    QTest::newRow("letter above 255 separates") << QStringList{QStringLiteral("aЖb")} << 2;
}

void tst_ProposalTable::wordCount()
{
    QFETCH(QStringList, lines);
    QFETCH(int, words);
    QCOMPARE(CountWords(lines), words);
}

void tst_ProposalTable::sortRows_data()
{
    QTest::addColumn<QList<ProposalRow>>("rows");
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<ProposalRow>>("sorted");
    QTest::newRow("by keyword, case ignored")
        << rowsOf({"beta", "b", "Alpha", "a", "gamma", "g"}) << 0
        << rowsOf({"Alpha", "a", "beta", "b", "gamma", "g"});
    QTest::newRow("by code") << rowsOf({"x", "3", "y", "1", "z", "2"}) << 1
                             << rowsOf({"y", "1", "z", "2", "x", "3"});
    QTest::newRow("sort text is trimmed")
        << rowsOf({"  zeta", "1", "eta", "2"}) << 0 << rowsOf({"eta", "2", "  zeta", "1"});
    QTest::newRow("equal codes ordered by keyword, then code")
        << rowsOf({"b", "same", "a", "same", "a", "Same"}) << 1
        << rowsOf({"a", "same", "a", "Same", "b", "same"});
    // Five filled rows, the second without code: four Code cells, so rows 1 to 4 sort.
    QTest::newRow("only as many rows as Code cells")
        << rowsOf({"d", "4", "c", "", "b", "2", "a", "1", "0", "0"}) << 0
        << rowsOf({"a", "1", "b", "2", "c", "", "d", "4", "0", "0"});
    // A Code cell of blanks is not empty: its row counts.
    QTest::newRow("blank code cell counts")
        << rowsOf({"b", "1", "a", " "}) << 0 << rowsOf({"a", " ", "b", "1"});
}

void tst_ProposalTable::sortRows()
{
    QFETCH(QList<ProposalRow>, rows);
    QFETCH(int, column);
    QFETCH(QList<ProposalRow>, sorted);
    sortProposalRows(rows, sortableRowCount(rows), column);
    QCOMPARE(rows, sorted);
}

void tst_ProposalTable::cellRules_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("fileLine");
    QTest::newRow("plain") << "begin"
                           << "begin"
                           << "begin";
    QTest::newRow("blanks") << "  begin \t"
                            << "begin"
                            << "  begin \t";
    QTest::newRow("CR LF") << "a\r\nb"
                           << "a$retb"
                           << "a$retb";
    QTest::newRow("lone breaks") << " a\nb\rc\u2028d "
                                 << "a$retb$retc$retd"
                                 << " a$retb$retc$retd ";
    QTest::newRow("blank stays") << " \t"
                                 << " \t"
                                 << " \t";
    QTest::newRow("tab and NUL inside")
        << QStringLiteral("a\tb") + QChar(0) + u'c' << QStringLiteral("a\tb") + QChar(0) + u'c'
        << QStringLiteral("a\tb") + QChar(0) + u'c';
}

void tst_ProposalTable::cellRules()
{
    QFETCH(QString, cell);
    QFETCH(QString, selected);
    QFETCH(QString, fileLine);
    QCOMPARE(selectedCellText(cell), selected);
    QCOMPARE(cellFileLine(cell), fileLine);
}

void tst_ProposalTable::columnLinesSkipBlankCells()
{
    const QList<ProposalRow> rows = rowsOf({" if", "if $ret", "", "", "for", " ", "x\ny", "z"});
    QCOMPARE(columnFileLines(rows, 0), (QStringList{" if", "for", "x$rety"}));
    QCOMPARE(columnFileLines(rows, 1), (QStringList{"if $ret", "z"}));
}

void tst_ProposalTable::halfFilledRow_data()
{
    QTest::addColumn<QList<ProposalRow>>("rows");
    QTest::addColumn<int>("first");
    QTest::newRow("complete and empty rows") << rowsOf({"a", "1", "", "", "b", "2"}) << -1;
    QTest::newRow("keyword only") << rowsOf({"a", "1", "b", " ", "c", ""}) << 1;
    QTest::newRow("code only") << rowsOf({"", "1"}) << 0;
}

void tst_ProposalTable::halfFilledRow()
{
    QFETCH(QList<ProposalRow>, rows);
    QFETCH(int, first);
    QCOMPARE(firstHalfFilledRow(rows), first);
}

void tst_ProposalTable::lineBreakDialogRoundTrip()
{
    QCOMPARE(codeCellToLines(QStringLiteral("a$retb")), QStringLiteral("a\nb"));
    QCOMPARE(codeCellToLines(QStringLiteral("a$RETb")), QStringLiteral("a$RETb"));
    QCOMPARE(linesToCodeCell(QStringLiteral("a\nb\n\n  \n")), QStringLiteral("a$retb"));
    QCOMPARE(linesToCodeCell(QStringLiteral("begin\n  x;\nend;")),
             QStringLiteral("begin$ret  x;$retend;"));
    const QString cell = QStringLiteral("if $ret  then$retend");
    QCOMPARE(linesToCodeCell(codeCellToLines(cell)), cell);
}

void tst_ProposalTable::saveFormat()
{
    TextFormat lf;
    lf.encoding = TextEncoding::Windows1252;
    lf.lineBreak = LineBreak::Lf;
    // Nothing loaded: CR LF.
    QCOMPARE(proposalSaveFormat(lf, false, {}).lineBreak, LineBreak::CrLf);
    // The loaded style and code page, while the code page holds every character.
    const TextFormat kept = proposalSaveFormat(lf, true, {QStringLiteral("äöü")});
    QCOMPARE(kept.lineBreak, LineBreak::Lf);
    QCOMPARE(kept.encoding, TextEncoding::Windows1252);
    QCOMPARE(proposalSaveFormat(lf, true, {QStringLiteral("Ж")}).encoding, TextEncoding::Utf8);
}

void tst_ProposalTable::displayNames()
{
    QCOMPARE(proposalDisplayName(QStringLiteral("Pas")), QStringLiteral("Pascal"));
    QCOMPARE(proposalDisplayName(QStringLiteral("Vb")), QStringLiteral("Visual Basic"));
    QCOMPARE(proposalDisplayName(QStringLiteral("C")), QStringLiteral("C/C++"));
    QCOMPARE(proposalDisplayName(QStringLiteral("Pyth")), QStringLiteral("Pyth"));
}

QTEST_APPLESS_MAIN(tst_ProposalTable)
#include "tst_proposaltable.moc"
