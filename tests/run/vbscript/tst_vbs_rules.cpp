// Language rules scripts rely on: class fields, procedure references, result subtypes of
// arithmetic, comparisons with literals, For Each order and constructs the parser accepts.

#include "scriptrun.h"

#include <QTest>

class TestVbsRules : public QObject
{
    Q_OBJECT

private slots:
    void classFields_data()
    {
        scriptTable({
            {"Dim is public",
             {"Class P: Dim Tag: End Class\nDim p: Set p = New P: p.Tag = \"t1\": "
              "WScript.Echo p.Tag",
              "t1"}},
            {"Dim array field from outside",
             {"Class P: Dim Items(2): End Class\nDim p: Set p = New P: p.Items(1) = 5: "
              "WScript.Echo p.Items(1), UBound(p.Items)",
              "5 2"}},
            {"several names in one Dim",
             {"Class P: Dim A, B: End Class\nDim p: Set p = New P: p.A = 1: p.B = 2: "
              "WScript.Echo p.A + p.B",
              "3"}},
            {"Private stays hidden",
             {"Class P: Private Secret: End Class\nDim p: Set p = New P: p.Secret = 1",
              "error 438"}},
            {"Dim in a method is a local",
             {"Class P: Sub M: Dim L: L = 3: WScript.Echo L: End Sub: End Class\n"
              "Dim p: Set p = New P: p.M\nOn Error Resume Next: WScript.Echo p.L: "
              "WScript.Echo Err.Number",
              "3|438"}},
        });
    }
    void classFields() { checkScriptOutput(); }

    void getRef_data()
    {
        const QString fns = "Function Square(n): Square = n * n: End Function\n"
                            "Sub Show(n): WScript.Echo \"show \" & n: End Sub\n";
        scriptTable({
            {"called in an expression",
             {fns + "Dim f: Set f = GetRef(\"Square\"): WScript.Echo f(7), f(2) + 1", "49 5"}},
            {"called as a statement", {fns + "Dim f: Set f = GetRef(\"Show\"): f 7", "show 7"}},
            {"Call with parentheses",
             {fns + "Dim f: Set f = GetRef(\"show\"): Call f(8)", "show 8"}},
            {"inside a procedure",
             {fns + "Sub Run: Dim g: Set g = GetRef(\"Square\"): WScript.Echo g(3): End Sub\n"
                    "Run",
              "9"}},
            {"procedure of ExecuteGlobal text",
             {"ExecuteGlobal \"Function Twice(x): Twice = 2 * x: End Function\"\n"
              "Dim f: Set f = GetRef(\"Twice\"): WScript.Echo f(21)",
              "42"}},
            {"stored in an array and passed on",
             {fns + "Sub Apply(fn, v): WScript.Echo fn(v): End Sub\n"
                    "Dim a(0): Set a(0) = GetRef(\"Square\"): Apply a(0), 5",
              "25"}},
            {"is an object", {fns + "WScript.Echo IsObject(GetRef(\"Square\"))", "True"}},
            {"wrong argument count",
             {fns + "Dim f: Set f = GetRef(\"Square\"): WScript.Echo f(1, 2)", "error 450"}},
            {"unknown name", {"Dim f: Set f = GetRef(\"Nope\")", "error 5"}},
        });
    }
    void getRef() { checkScriptOutput(); }

    // Every pair of subtypes under every arithmetic operator, as one table. Codes: E Empty,
    // N Null, B Boolean, Y Byte, I Integer, L Long, S Single, D Double, C Currency, T Date,
    // $ String, ! an error. Rows are the left operand, columns the right one, both in the
    // order E N B Y I L S D C T $.
    void arithmeticSubtypes_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("grid");
        QTest::newRow("+") << "+"
                           << "INIIILSDCTD NNNNNNNNNNN INIIILSDCTD INIYILSDCTD INIIILSDCTD "
                              "LNLLLLDDCTD SNSSSDSDCTD DNDDDDDDCTD CNCCCCCCCTC TNTTTTTTTTT "
                              "DNDDDDDDCT$";
        QTest::newRow("-") << "-"
                           << "INIIILSDCTD NNNNNNNNNNN INIIILSDCTD INIYILSDCTD INIIILSDCTD "
                              "LNLLLLDDCTD SNSSSDSDCTD DNDDDDDDCTD CNCCCCCCCTC TNTTTTTTTDT "
                              "DNDDDDDDCTD";
        QTest::newRow("*") << "*"
                           << "INIIILSDCDD NNNNNNNNNNN INIIILSDCDD INIYILSDCDD INIIILSDCDD "
                              "LNLLLLDDCDD SNSSSDSDCDD DNDDDDDDCDD CNCCCCCCCDC DNDDDDDDDDD "
                              "DNDDDDDDCDD";
        QTest::newRow("/") << "/"
                           << "!NDDDDSDDDD NNNNNNNNNNN !NDDDDSDDDD !NDDDDSDDDD !NDDDDSDDDD "
                              "!NDDDDDDDDD !NSSSDSDDDD !NDDDDDDDDD !NDDDDDDDDD !NDDDDDDDDD "
                              "!NDDDDDDDDD";
        QTest::newRow("\\") << "\\"
                            << "!NIIILLLLLL NNNNNNNNNNN !NIIILLLLLL !NIIILLLLLL !NIIILLLLLL "
                               "!NLLLLLLLLL !NLLLLLLLLL !NLLLLLLLLL !NLLLLLLLLL !NLLLLLLLLL "
                               "!NLLLLLLLLL";
        QTest::newRow("Mod") << "Mod"
                             << "!NIIILLLLLL NNNNNNNNNNN !NIIILLLLLL !NIIILLLLLL !NIIILLLLLL "
                                "!NLLLLLLLLL !NLLLLLLLLL !NLLLLLLLLL !NLLLLLLLLL !NLLLLLLLLL "
                                "!NLLLLLLLLL";
        QTest::newRow("^") << "^"
                           << "DN!DDDDDDDD NNNNNNNNNNN DNDDDD!!!DD DNDDDDDDDDD DNDDDDDDDDD "
                              "DNDDDDDDDDD DNDDDDDDDDD DNDDDDDDDDD DNDDDDDDDDD DNDDDDDDDDD "
                              "DNDDDDDDDDD";
    }
    void arithmeticSubtypes()
    {
        QFETCH(QString, op);
        QFETCH(QString, grid);
        const QString code =
            "Dim v(10), i, j, r, row, rows\n"
            "v(0) = Empty: v(1) = Null: v(2) = True: v(3) = CByte(2): v(4) = CInt(3)\n"
            "v(5) = CLng(4): v(6) = CSng(1.5): v(7) = CDbl(2.5): v(8) = CCur(3.5)\n"
            "v(9) = CDate(2): v(10) = \"6\"\n"
            "Function Code(x)\n"
            "  Select Case VarType(x)\n"
            "    Case 0: Code = \"E\"\n    Case 1: Code = \"N\"\n    Case 11: Code = \"B\"\n"
            "    Case 17: Code = \"Y\"\n    Case 2: Code = \"I\"\n    Case 3: Code = \"L\"\n"
            "    Case 4: Code = \"S\"\n    Case 5: Code = \"D\"\n    Case 6: Code = \"C\"\n"
            "    Case 7: Code = \"T\"\n    Case 8: Code = \"$\"\n    Case Else: Code = \"?\"\n"
            "  End Select\n"
            "End Function\n"
            "On Error Resume Next\n"
            "For i = 0 To 10\n"
            "  row = \"\"\n"
            "  For j = 0 To 10\n"
            "    Err.Clear\n"
            "    r = Eval(\"v(i) " +
            op +
            " v(j)\")\n"
            "    If Err.Number <> 0 Then row = row & \"!\" Else row = row & Code(r)\n"
            "  Next\n"
            "  rows = rows & \" \" & row\n"
            "Next\n"
            "WScript.Echo Mid(rows, 2)\n";
        ScriptRun s;
        QCOMPARE(s.run(code), grid);
    }

    void arithmeticValues_data()
    {
        scriptTable({
            {"Currency with Single and Double keeps cents",
             {"WScript.Echo CCur(100) + 0.5, CCur(2) * CSng(1.25), CCur(1) - 0.25",
              "100.5 2.5 0.75"}},
            {"Single with Long", {"WScript.Echo CSng(1.5) + CLng(1)", "2.5"}},
            {"Byte overflow promotes",
             {"WScript.Echo TypeName(CByte(200) + CByte(100)), CByte(200) + CByte(100)",
              "Integer 300"}},
            {"Integer overflow promotes", {"WScript.Echo TypeName(CInt(32767) * 2)", "Long"}},
            {"Long overflow promotes", {"WScript.Echo TypeName(CLng(2147483647) + 1)", "Double"}},
            {"Currency overflow is an error",
             {"Dim c: c = CCur(900000000000000) * 100", "error 6"}},
        });
    }
    void arithmeticValues() { checkScriptOutput(); }

    // A literal or a constant on one side converts the string on the other side to a number;
    // two variables keep "a number is less than any string".
    void literalComparison_data()
    {
        scriptTable({
            {"variable = numeric literal",
             {"Dim s: s = \"10\": WScript.Echo s = 10, s < 9, s <> 10", "True False False"}},
            {"numeric literal = variable",
             {"Dim s: s = \"10\": WScript.Echo 10 = s, 9 < s, 10 >= s", "True True True"}},
            {"variable = string literal",
             {"Dim n: n = 10: WScript.Echo n = \"10\", n > \"9\"", "True True"}},
            {"string literal = variable",
             {"Dim n: n = 10: WScript.Echo \"10\" = n, \"9\" < n", "True True"}},
            {"constant",
             {"Const LIMIT = 10\nDim s: s = \"10\": WScript.Echo s = LIMIT, LIMIT <= s",
              "True True"}},
            {"constant used in a procedure before its line",
             {"Function Check(s): Check = (s = LIMIT): End Function\nConst LIMIT = 5\n"
              "WScript.Echo Check(\"5\")",
              "True"}},
            {"two variables",
             {"Dim n, s: n = 10: s = \"10\": WScript.Echo n = s, n < s, s > n", "False True True"}},
            {"text that is no number",
             {"Dim s: s = \"abc\": WScript.Echo s = 1, 1 < s", "False True"}},
            {"string with a Boolean",
             {"WScript.Echo \"true\" <> True, \"\" = True = False", "True True"}},
            {"Select Case with a text case",
             {"Select Case 3\nCase \"test\": WScript.Echo \"text\"\nCase 0, False, 2 + 1: "
              "WScript.Echo \"three\"\nEnd Select",
              "three"}},
            {"Select Case on a string variable",
             {"Dim s: s = \"2\"\nSelect Case s\nCase 1: WScript.Echo 1\nCase 2: WScript.Echo 2\n"
              "End Select",
              "2"}},
            {"Single with Double",
             {"WScript.Echo CSng(0.001 * 0.001) = 0.000001, CSng(0.1) = 0.1, CDbl(CSng(0.1)) = 0.1",
              "True True False"}},
        });
    }
    void literalComparison() { checkScriptOutput(); }

    void forEachOrder_data()
    {
        scriptTable({
            {"two dimensions",
             {"Dim g(1, 2), i, j, s\nFor i = 0 To 1: For j = 0 To 2: g(i, j) = i & j: Next: Next\n"
              "For Each x In g: s = s & x & \" \": Next\nWScript.Echo Trim(s)",
              "00 10 01 11 02 12"}},
            {"three dimensions",
             {"Dim g(1, 1, 1), i, j, k, s\nFor i = 0 To 1: For j = 0 To 1: For k = 0 To 1\n"
              "g(i, j, k) = i & j & k: Next: Next: Next\n"
              "For Each x In g: s = s & x & \" \": Next\nWScript.Echo Trim(s)",
              "000 100 010 110 001 101 011 111"}},
            {"after ReDim Preserve",
             {"Dim g(): ReDim g(1, 0): g(0, 0) = \"a\": g(1, 0) = \"b\"\n"
              "ReDim Preserve g(1, 1): g(0, 1) = \"c\": g(1, 1) = \"d\"\n"
              "Dim s: For Each x In g: s = s & x: Next: WScript.Echo s",
              "abcd"}},
            {"one dimension",
             {"Dim s: For Each x In Array(1, 2, 3): s = s & x: Next: WScript.Echo s", "123"}},
            {"Exit For",
             {"Dim g(2, 2), s: g(1, 0) = \"x\"\nFor Each v In g: s = s & \".\": If v = \"x\" Then "
              "Exit For\nNext: WScript.Echo s",
              ".."}},
        });
    }
    void forEachOrder() { checkScriptOutput(); }

    void acceptedConstructs_data()
    {
        scriptTable({
            {"exponent underflow", {"WScript.Echo 1e-94938484 = 0, 2.5E-400", "True 0"}},
            {"exponent overflow is no number", {"x = 1e999", "error 1031"}},
            {"><", {"WScript.Echo 2 >< 2, 2 >< 1", "False True"}},
            {"single-line If with End If",
             {"Dim x\nIf True Then x = 1 End If\nIf False Then x = 2 Else x = x + 10 End If\n"
              "WScript.Echo x",
              "11"}},
            {"statement after Case values",
             {"Function T(n)\nSelect Case n\ncase 1  T = 100\ncase else T = 500\nEnd Select\n"
              "End Function\nWScript.Echo T(1), T(2)",
              "100 500"}},
            {"procedure defined twice",
             {"Function F: F = 1: End Function\nFunction F: F = 2: End Function\nWScript.Echo F()",
              "2"}},
            {"sub defined twice",
             {"Sub S: WScript.Echo 1: End Sub\nSub S: WScript.Echo 2: End Sub\nS", "2"}},
            {"procedure and variable of one name",
             {"Dim F\nFunction F: F = 1: End Function", "error 1041"}},
            {"(New C).Prop",
             {"Class C: Public P: Sub Class_Initialize: P = 7: End Sub\n"
              "Sub Hi: WScript.Echo \"hi\": End Sub: End Class\n"
              "Dim x: x = (New C).P: WScript.Echo x\nCall (New C).Hi()\nCall (New C).Hi",
              "7|hi|hi"}},
            {"parenthesised call targets",
             {"Function SetA0(arr): arr(0) = 2: SetA0 = 1: End Function\n"
              "Dim x, y\nx = Array(1): Call (((SetA0))) (x): WScript.Echo x(0)\n"
              "x = Array(1): Call (((SetA0))) ((x)): WScript.Echo x(0)\n"
              "y = (SetA0)(x): WScript.Echo y\ny = ((x))(0): WScript.Echo y",
              "2|1|1|2"}},
            {"Property as a variable name",
             {"Dim property: property = \"xx\": WScript.Echo property", "xx"}},
            {"End after code on the same line",
             {"Sub S: x = 1 End Sub\nFunction F(x)\nF = x End Function\n"
              "Class C\nPublic V End Class\n"
              "Class D\nFunction G(ByVal x)\nG = x + 1 End Function End Class\n"
              "S: WScript.Echo F(3), (New D).G(1)",
              "3 2"}},
            {"Stop", {"WScript.Echo 1\nStop\nWScript.Echo 2", "1|2"}},
            {"unary plus on an object",
             {"Dim o: Set o = New RegExp: WScript.Echo +o Is o, +1, TypeName(+\"a\")",
              "True 1 String"}},
            {".Member outside With runs as error 505",
             {"On Error Resume Next\nx = .Foo\nWScript.Echo Err.Number", "505"}},
            {".Member outside With stops without On Error",
             {"WScript.Echo 1\nx = .Foo", "1|error 505"}},
            {"Const in a branch not taken",
             {"If False Then\nConst K = 5, M = -2\nEnd If\nWScript.Echo K, M", "5 -2"}},
        });
    }
    void acceptedConstructs() { checkScriptOutput(); }
    // Under On Error Resume Next an error in a block's header goes on into its body.
    void errorInBlockHeader_data()
    {
        const QString pre = "On Error Resume Next\nDim n, s\n";
        scriptTable({
            {"If",
             {pre + "If 1 / 0 Then s = \"then\" Else s = \"else\"\nWScript.Echo s, Err.Number",
              "then 11"}},
            {"For",
             {pre + "For n = 1 To 1 / 0: s = s & \"b\": Next\nWScript.Echo s, Err.Number", "b 11"}},
            {"For Each",
             {pre + "For Each n In 5: s = s & \"b\": Next\nWScript.Echo s, Err.Number", "b 451"}},
            {"Do While",
             {pre + "n = 0\nDo While 1 / n > 2: s = s & \"b\": n = 1: Loop\nWScript.Echo s, "
                    "Err.Number",
              "b 11"}},
            {"Loop Until ends the loop",
             {pre + "Do: s = s & \"b\": Loop Until 1 / 0\nWScript.Echo s, Err.Number", "b 11"}},
            {"Select Case",
             {pre +
                  "Select Case 1 / 0\nCase 5: s = \"first\"\nCase Else: s = \"else\"\nEnd Select\n"
                  "WScript.Echo s, Err.Number",
              "first 11"}},
            {"With",
             {pre + "With 1 / 0\n s = \"body\"\n .Foo = 1\nEnd With\nWScript.Echo s, Err.Number",
              "body 424"}},
            {"without On Error the error stops", {"For n = 1 To 1 / 0: Next", "error 11"}},
        });
    }
    void errorInBlockHeader() { checkScriptOutput(); }

    // A numeric or date conversion whose result is discarded raises 458 once it succeeds;
    // Randomize gives no value, so using it as one raises 13.
    void discardedResults_data()
    {
        const QString pre = "On Error Resume Next\nDim x\n";
        const QString echo = "\nWScript.Echo Err.Number\n";
        scriptTable({
            {"Call CInt", {pre + "Call CInt(1)" + echo, "458"}},
            {"CDate as a statement", {pre + "CDate 1" + echo, "458"}},
            {"failing conversion keeps its error", {pre + "Call CByte(300)" + echo, "6"}},
            {"other built-ins", {pre + "Call Hex(1): Call CStr(1): Call Len(\"a\")" + echo, "0"}},
            {"conversion used as a value", {pre + "x = CLng(1)" + echo, "0"}},
            {"Randomize as a value", {pre + "x = Randomize(0)" + echo, "13"}},
            {"Randomize as a statement", {pre + "Randomize 1: Call Randomize(2)" + echo, "0"}},
            {"without On Error", {"Call CSng(1)", "error 458"}},
        });
    }
    void discardedResults() { checkScriptOutput(); }

    // Null and invalid arguments of the string and date functions: Null in a number or a search
    // argument is error 94, a number out of range error 5, checked before a Null string
    // gives Null.
    void builtinArguments_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("expected");
        const QList<std::pair<const char *, const char *>> rows = {
            {"Mid(\"test\", \"a\", Null)", "94"},
            {"Mid(\"test\", \"a\", 1)", "13"},
            {"Mid(Null, -1, -1)", "5"},
            {"Mid(\"test\", 0, Null)", "94"},
            {"Mid(\"test\", Empty, 1)", "5"},
            {"Mid(Null, 1, 1)", "0 Null"},
            {"Right(Null, -1)", "5"},
            {"Right(\"test\", Null)", "94"},
            {"Left(Null, 2)", "0 Null"},
            {"InStrRev(Null, \"a\")", "94"},
            {"InStrRev(\"abcd\", \"abcd\", 2, Null)", "94"},
            {"InStrRev(\"abcd\", \"abcd\", 2, 10)", "5"},
            {"Replace(Null, \"x\", \"y\")", "94"},
            {"Replace(\"xx\", \"x\", \"y\", 1, 1, 8)", "5"},
            {"Split(\"a-b\", \"-\", -1, 2)", "5"},
            {"Split(Null, \"-\")", "94"},
            {"StrComp(\"a\", \"A\", 1)", "0 Integer"},
            {"DateAdd(\"q\", 1, Null)", "0 Null"},
            {"DateAdd(\"bad\", 1, Null)", "5"},
            {"Weekday(Null)", "0 Null"},
            {"Weekday(Null, -1)", "5"},
            {"Weekday(Null, Null)", "94"},
            {"Weekday(Null, \"a\")", "13"},
            {"MonthName(\"a\", Null)", "94"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.first) << QString::fromUtf8(r.first) << QString::fromUtf8(r.second);
    }
    void builtinArguments()
    {
        QFETCH(QString, call);
        QFETCH(QString, expected);
        ScriptRun s;
        const QString code = "On Error Resume Next\nDim x: x = " + call +
                             "\nIf Err.Number <> 0 Then WScript.Echo Err.Number Else WScript.Echo "
                             "Err.Number, TypeName(x)";
        QCOMPARE(s.run(code), expected);
    }

    void errRaise_data()
    {
        scriptTable({
            {"left-out parts stay",
             {"On Error Resume Next\nErr.Raise 1, \"src\", \"desc\", \"hf\", 7\nErr.Raise 5\n"
              "WScript.Echo Err.Number, Err.Source, Err.Description, Err.HelpFile, "
              "Err.HelpContext",
              "5 src desc hf 7"}},
            {"after Clear the defaults",
             {"On Error Resume Next\nErr.Raise 1, \"a\": Err.Clear: Err.Raise 9\n"
              "WScript.Echo Err.Number, Err.Description, Err.HelpFile = \"\"",
              "9 Subscript out of range True"}},
            {"an HRESULT",
             {"On Error Resume Next\nErr.Raise &h8007000E&: WScript.Echo Err.Number, "
              "Err.Description",
              "7 Out of memory"}},
            {"an HRESULT of the language",
             {"On Error Resume Next\nErr.Raise &h800A000D&: WScript.Echo Err.Number", "13"}},
            {"negative numbers",
             {"On Error Resume Next\nErr.Raise -&h8000: WScript.Echo Err.Number\nErr.Raise -20: "
              "WScript.Echo Err.Number",
              "32768|-20"}},
            {"out of range",
             {"On Error Resume Next\nErr.Raise &h10000&: WScript.Echo Err.Number\nErr.Raise 0: "
              "WScript.Echo Err.Number",
              "5|5"}},
            {"a run-time error resets the help",
             {"On Error Resume Next\nErr.Raise 1, \"s\", \"d\", \"hf\", 3\nx = 1 / 0\nWScript.Echo "
              "Err.Number, Err.HelpFile = \"\", Err.HelpContext",
              "11 True 0"}},
            {"On Error GoTo 0 clears",
             {"On Error Resume Next\nErr.Raise 1, \"s\", \"d\", \"hf\", 3\nOn Error GoTo "
              "0\nWScript.Echo Err.Number, Err.HelpContext",
              "0 0"}},
        });
    }
    void errRaise() { checkScriptOutput(); }

    void smallRules_data()
    {
        scriptTable({
            {"unary minus before ^",
             {"Dim x: x = 3: WScript.Echo -3 ^ 2, -x ^ 2, 2 ^ -1, -(3 ^ 2)", "9 9 0.5 -9"}},
            {"&h...& literals",
             {"WScript.Echo TypeName(&hFFFFFFFF&), &hFFFFFFFF&, TypeName(&hFFFF&), &hFFFF&, "
              "TypeName(&hFFF&), TypeName(&h10000&), &hFFFF",
              "Integer -1 Long 65535 Integer Long -1"}},
            {"CByte of a Boolean",
             {"WScript.Echo CByte(True), CByte(False), TypeName(CByte(True))", "255 0 Byte"}},
            {"CByte out of range", {"x = CByte(-1)", "error 6"}},
            {"Round keeps integral subtypes",
             {"WScript.Echo TypeName(Round(True)), Round(True), TypeName(Round(CByte(3))), "
              "TypeName(Round(2.5)), Round(2.5)",
              "Boolean True Byte Double 2"}},
            {"Abs keeps Byte",
             {"WScript.Echo TypeName(Abs(CByte(1))), TypeName(Abs(-1)), Abs(True)",
              "Byte Integer 1"}},
            {"formatting Null",
             {"On Error Resume Next\nx = FormatNumber(Null): WScript.Echo Err.Number: Err.Clear\n"
              "x = FormatPercent(Null): WScript.Echo Err.Number: Err.Clear\n"
              "x = FormatCurrency(Null): WScript.Echo Err.Number",
              "13|13|13"}},
            {"For Each leaves Empty at its end",
             {"Dim x: For Each x In Array(1, 2): Next: WScript.Echo TypeName(x)\n"
              "For Each x In Array(1, 2): If x = 1 Then Exit For\nNext: WScript.Echo x\n"
              "Dim d: Set d = CreateObject(\"Scripting.Dictionary\"): d.Add \"k\", 1\n"
              "For Each x In d: Next: WScript.Echo IsEmpty(x)",
              "Empty|1|True"}},
            {"ReDim of a fixed array",
             {"Dim a(4)\nOn Error Resume Next\nReDim a(3): WScript.Echo Err.Number: Err.Clear\n"
              "ReDim a(\"abc\"): WScript.Echo Err.Number: Err.Clear\n"
              "ReDim Preserve a(5): WScript.Echo Err.Number, UBound(a)",
              "10|10|10 4"}},
            {"New RegExp is the built-in one",
             {"Class RegExp: Public Property Get Global: Global = \"mine\": End Property: "
              "End Class\nDim r: Set r = New RegExp: WScript.Echo r.Global",
              "False"}},
            {"IsNumeric of an object",
             {"Class V: Public Default Property Get Val: Val = Inner: End Property: Public Inner: "
              "End Class\nDim o: Set o = New V: o.Inner = 1: WScript.Echo IsNumeric(o)\n"
              "o.Inner = \"x\": WScript.Echo IsNumeric(o), IsNumeric(New RegExp)",
              "True|False False"}},
            {"RegExp.Replace with a Boolean",
             {"Dim r: Set r = New RegExp: r.Pattern = \"b\": WScript.Echo r.Replace(\"abc\", "
              "True), "
              "r.Replace(\"abc\", False)",
              "a-1c a0c"}},
            {"vbMsgBox constants",
             {"WScript.Echo vbMsgBoxHelpButton, vbMsgBoxSetForeground, vbMsgBoxRight, "
              "vbMsgBoxRtlReading, TypeName(vbMsgBoxHelpButton)",
              "16384 65536 524288 1048576 Long"}},
        });
    }
    void smallRules() { checkScriptOutput(); }
};

QTEST_GUILESS_MAIN(TestVbsRules)
#include "tst_vbs_rules.moc"
