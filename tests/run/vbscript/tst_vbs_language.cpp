// Small scripts and the output they must print, grouped by area of the language.

#include "scriptrun.h"

#include <QTest>

class TestVbsLanguage : public QObject
{
    Q_OBJECT

private slots:
    void variants_data()
    {
        scriptTable({
            {"typename",
             {"WScript.Echo TypeName(Empty), TypeName(Null), TypeName(1), "
              "TypeName(100000), TypeName(1.5), TypeName(\"a\"), TypeName(True), "
              "TypeName(Nothing), TypeName(Array(1))",
              "Empty Null Integer Long Double String Boolean Nothing Variant()"}},
            {"vartype",
             {"WScript.Echo VarType(Empty), VarType(Null), VarType(1), VarType(1.5), "
              "VarType(\"a\"), VarType(True), VarType(Array())",
              "0 1 2 5 8 11 8204"}},
            {"integer promotes on overflow",
             {"WScript.Echo TypeName(32767 + 1), TypeName(2147483647 + 1), 32767 * 2, "
              "TypeName(-32768 - 1)",
              "Long Double 65534 Long"}},
            {"string and number with +",
             {"WScript.Echo \"1\" + 2, TypeName(\"1\" + 2), \"1\" + \"2\", 1 & 2",
              "3 Double 12 12"}},
            {"empty in arithmetic",
             {"Dim e: WScript.Echo e + 1, TypeName(e + 1), \"[\" & e & \"]\"", "1 Integer []"}},
            {"null propagates",
             {"WScript.Echo IsNull(Null + 1), IsNull(Null & Null), \"a\" & Null, IsNull(Null = 1)",
              "True True a True"}},
            {"number and string variables",
             {"Dim n, s: n = 5: s = \"5\": WScript.Echo n = 5, s = \"5\", n < s, n = s",
              "True True True False"}},
            {"string literal converted for a number",
             {"Dim n: n = 10: WScript.Echo n > \"9\", n = \"10\", 5 = \"5\"", "True True True"}},
            {"double text",
             {"WScript.Echo 1/3, 1e20, 0.0001, 0.00001, 123456789012345, 1.5e15, 0.1 + 0.2",
              "0.333333333333333 1E+20 0.0001 1E-05 123456789012345 1.5E+15 0.3"}},
            {"boolean",
             {"WScript.Echo CBool(\"true\"), CBool(0), CBool(-1), True + True, CInt(True)",
              "True False True -2 -1"}},
            {"currency",
             {"WScript.Echo TypeName(CCur(1.5)), CCur(1.23456) * 2", "Currency 2.4692"}},
            {"hex and octal literals",
             {"WScript.Echo &HFF, &HFFFF, &H10000, &O17, TypeName(&HFFFF)",
              "255 -1 65536 15 Integer"}},
        });
    }
    void variants() { checkScriptOutput(); }

    void operators_data()
    {
        scriptTable({
            {"precedence",
             {"WScript.Echo 2 + 3 * 4, (2 + 3) * 4, 2 ^ 3 ^ 2, -2 ^ 2, 10 - 4 - 3, 7 \\ 2 * 2, "
              "2 ^ -1, -2 ^ -2 * 4",
              "14 20 64 4 3 1 0.5 1"}},
            {"integer division and Mod",
             {"WScript.Echo 7 Mod 3, -7 Mod 3, 7.6 Mod 3, 7 \\ 2, -7 \\ 2, 10 / 4",
              "1 -1 2 3 -3 2.5"}},
            {"integer division and Mod by -1 and of Long values",
             {"m = CLng(\"-2147483648\")\nWScript.Echo m Mod -1, -7 Mod -1, 7 \\ -1, "
              "TypeName(7 \\ -1), 100000 Mod -3, -100000 \\ 7, m \\ 2",
              "0 0 -7 Integer 1 -14285 -1073741824"}},
            {"logic",
             {"WScript.Echo True And False, True Or False, True Xor True, Not True, 12 And 10, "
              "12 Or 3, Not 0, False Imp True, True Eqv True",
              "False True False False 8 15 -1 True True"}},
            {"null logic",
             {"WScript.Echo Null And False, IsNull(Null And True), Null Or True, "
              "IsNull(Null Or False)",
              "False True True True"}},
            {"& below +", {"WScript.Echo \"a\" & 1 + 2", "a3"}},
            {"& writes integers as CStr does",
             {"WScript.Echo \"k\" & CLng(-2147483647 - 1), 0 & \"\", CByte(200) & -7 & 32767 & "
              "CInt(-32768), \"\" & 2147483647, TypeName(0 & 1)",
              "k-2147483648 0 200-732767-32768 2147483647 String"}},
            {"chains of & leave their operands as they were",
             {"Function F(): F = a: End Function\na = \"x\": b = a & \"y\" & \"z\"\n"
              "c = (a & 1) & Null & 2.5 & Empty & True & a: d = F() & \"!\" & \"?\"\n"
              "e = (Null & Null) & Null\nWScript.Echo a, b, c, d, F(), IsNull(e)",
              "x xyz x12.5Truex x!? x True"}},
            {"comparisons are left to right", {"WScript.Echo 1 < 2 = True", "True"}},
            {"operands are read left to right around code that changes them",
             {"Dim x\nFunction F(): x = 10: F = 5: End Function\n"
              "Class C\n Public Default Property Get V(): x = 100: V = 7: End Property\n"
              "End Class\nSet o = New C\n"
              "x = 1: a = F() + x: x = 1: b = x + F(): x = 1: c = o + x: x = 1: d = x + o\n"
              "WScript.Echo a, b, c, d",
              "15 6 8 8"}},
            {"Is",
             {"Dim a, b: Set a = New RegExp: Set b = a: WScript.Echo a Is b, a Is Nothing, "
              "Nothing Is Nothing",
              "True False True"}},
            {"string comparison",
             {"WScript.Echo \"abc\" < \"abd\", \"B\" < \"a\", StrComp(\"a\", \"A\"), "
              "StrComp(\"a\", \"A\", 1)",
              "True True 1 0"}},
            {"unary minus", {"WScript.Echo -(-32768), TypeName(-(-32768)), - -1", "32768 Long 1"}},
            {"integer arithmetic of variables keeps the type rules and errors",
             {"Dim a, b, c, z, s, x\na = 32767: b = 2: c = 100000: z = 0: s = \"3\"\n"
              "WScript.Echo TypeName(a + b - 1), TypeName((a - 1) * b \\ 2), TypeName(c * c), "
              "TypeName(c Mod b * 1), (a + s) * b, TypeName(True + a), a - 32767 = z\n"
              "x = a * b: WScript.Echo x, TypeName(x)\nOn Error Resume Next\n"
              "x = (a + 1) Mod z: WScript.Echo Err.Number, x\n"
              "If b \\ z = 0 Then WScript.Echo \"then\", Err.Number",
              "Long Long Double Long 65540 Integer True|65534 Long|11 65534|then 11"}},
            {"integer arithmetic of locals and ByRef parameters keeps the type rules and errors",
             {"Sub T(p)\nDim a, b, z, s\na = 32767: b = 2: z = 0: s = \"3\"\n"
              "WScript.Echo TypeName(a + b), TypeName(b + p), TypeName(a * b \\ 2), b * 70000, "
              "(1 + s) * b, a - 32767 = z, 7 Mod p, TypeName(b - 40000)\n"
              "On Error Resume Next\nx = a Mod z: WScript.Echo Err.Number\n"
              "If b > a - p Then WScript.Echo \"no\" Else WScript.Echo \"yes\"\nEnd Sub\n"
              "Dim q: q = 3: T q",
              "Long Integer Long 140000 8 True 1 Long|11|yes"}},
            {"date arithmetic",
             {"d = #1/31/2024# + 1: WScript.Echo d, TypeName(d), #3/1/2024# - #2/1/2024#",
              "2/1/2024 Date 29"}},
        });
    }
    void operators() { checkScriptOutput(); }

    void statements_data()
    {
        scriptTable({
            {"if forms",
             {"x = 5\nIf x > 3 Then WScript.Echo \"big\" Else WScript.Echo \"small\"\n"
              "If x = 1 Then\n WScript.Echo \"one\"\nElseIf x = 5 Then\n WScript.Echo \"five\"\n"
              "Else\n WScript.Echo \"other\"\nEnd If",
              "big|five"}},
            {"single-line if with several statements",
             {"If 1 = 1 Then a = 1: b = 2 Else a = 3\nWScript.Echo a, b", "1 2"}},
            {"select case",
             {"For Each v In Array(1, 5, 9)\nSelect Case v\nCase 1, 2: WScript.Echo \"low\"\n"
              "Case 5\n WScript.Echo \"five\"\nCase Else: WScript.Echo \"else\"\nEnd Select\nNext",
              "low|five|else"}},
            {"select case true",
             {"x = 15\nSelect Case True\nCase x < 10: WScript.Echo \"small\"\n"
              "Case x < 20: WScript.Echo \"medium\"\nCase Else: WScript.Echo \"large\"\nEnd Select",
              "medium"}},
            {"for step",
             {"For i = 10 To 1 Step -3: s = s & i & \",\": Next: WScript.Echo s, i",
              "10,7,4,1, -2"}},
            {"for exit", {"For i = 1 To 10\nIf i = 4 Then Exit For\nNext\nWScript.Echo i", "4"}},
            {"for with fractions",
             {"For x = 0 To 1 Step 0.25: s = s & x & \" \": Next: WScript.Echo s",
              "0 0.25 0.5 0.75 1 "}},
            {"do loops",
             {"i = 0: Do While i < 3: i = i + 1: Loop: WScript.Echo i\n"
              "i = 0: Do: i = i + 1: Loop Until i >= 5: WScript.Echo i\n"
              "i = 0: Do Until i = 2: i = i + 1: Loop: WScript.Echo i\n"
              "i = 0\nDo\ni = i + 1\nIf i = 7 Then Exit Do\nLoop\nWScript.Echo i\n"
              "i = 0: While i < 4: i = i + 1: Wend: WScript.Echo i",
              "3|5|2|7|4"}},
            {"exit do from inner for",
             {"Do\nFor i = 1 To 5\nIf i = 3 Then Exit Do\nNext\nLoop\nWScript.Echo i", "3"}},
            {"for each over an array",
             {"For Each x In Array(1, \"a\", 2.5): s = s & TypeName(x) & \" \": Next\n"
              "WScript.Echo s",
              "Integer String Double "}},
            {"with",
             {"Set d = CreateObject(\"Scripting.Dictionary\")\nWith d\n.Add \"a\", 1\n"
              ".Item(\"b\") = 2\nWScript.Echo .Count, .Item(\"a\")\nEnd With",
              "2 1"}},
            {"line continuation and comments",
             {"' comment\nRem another\nx = 1 + _\n    2 ' trailing\nWScript.Echo x : Rem after a "
              "colon",
              "3"}},
            {"const", {"Const A = 5, B = \"x\"\nWScript.Echo A * 2, B", "10 x"}},
            {"execute and eval",
             {"x = 2: Execute \"y = x * 3\": WScript.Echo y, Eval(\"x + y\"), Eval(\"x = 2\")",
              "6 8 True"}},
            {"executeglobal defines a function",
             {"ExecuteGlobal \"Function Twice(n): Twice = n * 2: End Function\"\nWScript.Echo "
              "Twice(21)",
              "42"}},
            {"new makes the class that executeglobal defined last",
             {"Class P\nPublic Function Who(): Who = \"first\": End Function\nEnd Class\n"
              "Function Make(): Set Make = New P: End Function\nWScript.Echo Make().Who\n"
              "ExecuteGlobal \"Class P: Public Function Who(): Who = \"\"second\"\": End "
              "Function: End Class\"\nWScript.Echo Make().Who",
              "first|second"}},
            {"execute creates locals of the caller",
             {"Sub T\nExecute \"made = 5\"\nExecute \"made = made + 1\"\nWScript.Echo "
              "Eval(\"made\")\n"
              "End Sub\nT\nWScript.Echo IsEmpty(Eval(\"made\"))",
              "6|True"}},
            {"execute sees the locals",
             {"Sub T\nDim a: a = 1\nExecute \"a = a + 10\"\nWScript.Echo a\nEnd Sub\nT", "11"}},
            {"redim declares under option explicit",
             {"Option Explicit\nReDim a(1): a(1) = 2: WScript.Echo a(1)", "2"}},
            {"case-insensitive names", {"DIM Abc: abc = 3: WSCRIPT.ECHO ABC", "3"}},
            {"bracketed identifier", {"[my var] = 4: WScript.Echo [my var]", "4"}},
        });
    }
    void statements() { checkScriptOutput(); }

    void procedures_data()
    {
        scriptTable({
            {"ByRef is the default",
             {"Sub Inc(n): n = n + 1: End Sub\nx = 1: Inc x: Inc x: WScript.Echo x", "3"}},
            {"ByVal", {"Sub Inc(ByVal n): n = n + 1: End Sub\nx = 1: Inc x: WScript.Echo x", "1"}},
            {"an element passed ByRef locks its array for the call only",
             {"ReDim a(2)\nSub S(x)\nx = 7\nReDim a(5)\nEnd Sub\nOn Error Resume Next\nS a(1)\n"
              "WScript.Echo Err.Number, a(1)\nOn Error GoTo 0\nReDim Preserve a(4)\n"
              "WScript.Echo UBound(a), a(1)",
              "10 7|4 7"}},
            {"parentheses pass by value",
             {"Sub Inc(n): n = n + 1: End Sub\nx = 1: Inc (x): WScript.Echo x: Call Inc(x): "
              "WScript.Echo x",
              "1|2"}},
            {"expression argument",
             {"Sub Inc(n): n = n + 1: End Sub\nx = 1: Inc x + 0: WScript.Echo x", "1"}},
            {"array element by reference",
             {"Sub Inc(n): n = n + 1: End Sub\nDim a(2): a(1) = 5: Inc a(1): WScript.Echo a(1)",
              "6"}},
            {"ByRef through two calls",
             {"Sub A(x): B x: End Sub\nSub B(y): y = \"set\": End Sub\nv = 0: A v: WScript.Echo v",
              "set"}},
            {"a variable assigned to itself keeps its value",
             {"x = \"abc\": x = x: a = Array(1, 2): a = a\nSub S()\nDim y, z: y = \"q\" & 1: y = "
              "y\n"
              "Set z = New C: Set z = z: WScript.Echo y, TypeName(z)\nEnd Sub\n"
              "Class C\nEnd Class\nS\nWScript.Echo x, UBound(a)",
              "q1 C|abc 1"}},
            {"function result",
             {"Function F(a, b): F = a & b: End Function\nWScript.Echo F(1, 2), F(\"x\", \"y\")",
              "12 xy"}},
            {"recursion",
             {"Function Fib(n)\nIf n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)\n"
              "End Function\nWScript.Echo Fib(20)",
              "6765"}},
            {"deep recursion keeps ByRef bindings into callers' locals, again and again",
             {"Function R(n, ByRef acc)\nDim a, b, c\na = n: b = n * 2: acc = acc + 1\n"
              "If n > 0 Then c = R(n - 1, acc) Else c = 0\nR = c + a + b\nEnd Function\n"
              "For k = 1 To 2: t = 0: s = R(1500, t): WScript.Echo s, t: Next\n"
              "On Error Resume Next\ns = R(5000, t): WScript.Echo Err.Number, t\n"
              "s = R(10, t): WScript.Echo s, t",
              "3377250 1501|3377250 1501|28 3500|165 3511"}},
            {"exit function",
             {"Function F(n)\nF = 1\nIf n > 0 Then Exit Function\nF = 2\nEnd Function\n"
              "WScript.Echo F(1), F(0)",
              "1 2"}},
            {"sub called before its definition",
             {"Hello\nSub Hello: WScript.Echo \"hi\": End Sub", "hi"}},
            {"arrays are values",
             {"a = Array(1, 2): b = a: b(0) = 9: WScript.Echo a(0), b(0)", "1 9"}},
            {"array parameter by reference",
             {"Sub SetFirst(arr): arr(0) = \"x\": End Sub\na = Array(1, 2): SetFirst a: "
              "WScript.Echo a(0)",
              "x"}},
            {"function returning an object",
             {"Function Make(): Set Make = CreateObject(\"Scripting.Dictionary\"): End Function\n"
              "Set d = Make(): d.Add 1, 2: WScript.Echo d.Count",
              "1"}},
            {"local shadows global",
             {"x = \"g\"\nSub S: Dim x: x = \"l\": WScript.Echo x: End Sub\nS: WScript.Echo x",
              "l|g"}},
            {"undeclared in a procedure is local",
             {"Sub S: y = 5: End Sub\nS: WScript.Echo IsEmpty(y)", "True"}},
            {"undeclared global assigned in a procedure",
             {"n = 1\nSub Bump: n = n + 1: End Sub\nBump: Bump: WScript.Echo n", "3"}},
        });
    }
    void procedures() { checkScriptOutput(); }

    void classes_data()
    {
        const QString counter =
            "Class Counter\n Private m_n\n Private Sub Class_Initialize(): m_n = 10: End Sub\n"
            " Public Property Get Value(): Value = m_n: End Property\n"
            " Public Property Let Value(v): m_n = v: End Property\n"
            " Public Sub Add(k): m_n = m_n + k: End Sub\n"
            " Public Function Twice(): Twice = m_n * 2: End Function\nEnd Class\n";
        const QString named = "Class T\n Public Name\n Private Sub Class_Terminate(): WScript.Echo "
                              "\"bye \" & Name: End Sub\n"
                              "End Class\n";
        scriptTable({
            {"members",
             {counter + "Set c = New Counter\nc.Add 5\nWScript.Echo c.Value, c.Twice()\n"
                        "c.Value = 1\nWScript.Echo c.Value, TypeName(c)",
              "15 30|1 Counter"}},
            {"terminate when the last reference goes",
             {named + "Set a = New T: a.Name = \"a\"\nSet b = a\nSet a = Nothing\nWScript.Echo "
                      "\"still\"\n"
                      "Set b = Nothing\nWScript.Echo \"end\"",
              "still|bye a|end"}},
            {"terminate of a local at return",
             {named + "Sub Work: Dim t: Set t = New T: t.Name = \"local\": WScript.Echo \"in\": "
                      "End Sub\n"
                      "Work: WScript.Echo \"after\"",
              "in|bye local|after"}},
            {"terminate on reassignment",
             {named + "Set a = New T: a.Name = \"1\": Set a = New T: a.Name = \"2\"\n"
                      "WScript.Echo \"mid\"",
              "bye 1|mid|bye 2"}},
            {"Me and chained calls",
             {"Class P\n Public X\n Public Function Add(n): X = X + n: Set Add = Me: End "
              "Function\nEnd Class\n"
              "Set p = New P: p.X = 1: p.Add(2).Add 3: WScript.Echo p.X",
              "6"}},
            {"property set",
             {"Class H\n Private m_o\n Public Property Set Obj(v): Set m_o = v: End Property\n"
              " Public Property Get Obj(): Set Obj = m_o: End Property\nEnd Class\n"
              "Set h = New H: Set h.Obj = New RegExp: WScript.Echo TypeName(h.Obj)",
              "IRegExp2"}},
            {"field array",
             {"Class A: Public items(2): End Class\nSet o = New A: o.items(1) = \"x\"\n"
              "WScript.Echo o.items(1), UBound(o.items)",
              "x 2"}},
            {"method calls a sibling without Me",
             {"Class C\n Function A(): A = B() + 1: End Function\n Private Function B(): B = 41: "
              "End Function\n"
              "End Class\nSet c = New C: WScript.Echo c.A()",
              "42"}},
            {"objects are references",
             {counter + "Set a = New Counter: Set b = a: b.Add 1: WScript.Echo a.Value", "11"}},
            {"an object its own member lets go of lives until the call ends",
             {"Class C\n Public N\n Public Sub Drop(): Set o = Nothing: N = 5: WScript.Echo N: End "
              "Sub\n"
              " Public Property Get P(): Set o = Nothing: P = 7: End Property\n"
              " Private Sub Class_Terminate(): WScript.Echo \"gone\": End Sub\nEnd Class\n"
              "Set o = New C: o.Drop: WScript.Echo TypeName(o)\n"
              "Set o = New C: WScript.Echo o.P, TypeName(o)",
              "5|gone|Nothing|gone|7 Nothing"}},
            {"default member",
             {"Class A\n Public Default Property Get Text(): Text = \"dflt\": End Property\n"
              "End Class\nSet o = New A: WScript.Echo o & \"!\"",
              "dflt!"}},
        });
    }
    void classes() { checkScriptOutput(); }

    void strings_data()
    {
        scriptTable({
            {"string functions of variables, numbers and Booleans",
             {"Dim a, b, n: a = \"abc\": b = \"ABC\": n = 12345\n"
              "WScript.Echo a = b, a <> b, a = \"abc\", Len(n), Mid(n, 2, 2), Asc(n), Left(n, 2), "
              "Right(True, 3), Mid(a, 3, 1)",
              "False True True 5 23 49 12 rue c"}},
            {"pieces",
             {"WScript.Echo Len(\"hello\"), Left(\"hello\", 2), Right(\"hello\", 3), "
              "Mid(\"hello\", 2, 3), Mid(\"hello\", 3), Len(123)",
              "5 he llo ell llo 3"}},
            {"instr",
             {"WScript.Echo InStr(\"hello\", \"l\"), InStr(4, \"hello\", \"l\"), InStr(\"hello\", "
              "\"z\"), "
              "InStr(1, \"HELLO\", \"l\", 1), InStrRev(\"hello\", \"l\"), InStr(\"abc\", \"\")",
              "3 4 0 3 4 1"}},
            {"replace",
             {"WScript.Echo Replace(\"aXbXc\", \"X\", \"-\"), Replace(\"aXbXc\", \"x\", \"-\", 1, "
              "-1, 1), "
              "Replace(\"aaaa\", \"a\", \"b\", 2, 2)",
              "a-b-c a-b-c bba"}},
            {"one-character strings stay apart",
             {"a = Chr(65): b = Chr(65): a = a & \"x\": c = Mid(\"ABC\", 1, 1): c = c & \"y\"\n"
              "d = Mid(\"abc\", 4, 1): e = Mid(\"abc\", 3, 1)\n"
              "WScript.Echo a, b, c, Chr(65), \"[\" & d & \"]\", e, AscW(ChrW(8364)), "
              "AscW(ChrW(-1)), Asc(Chr(200))",
              "Ax A Ay A [] c 8364 -1 200"}},
            {"split and join",
             {"a = Split(\"a,b,,c\", \",\"): WScript.Echo UBound(a), Join(a, \"+\"), "
              "UBound(Split(\"\")), Join(Split(\"x y\"))",
              "3 a+b++c -1 x y"}},
            {"split with a count and with text compare",
             {"a = Split(\"aXbxc\", \"x\", -1, 1): WScript.Echo UBound(a), Join(a, \"+\")\n"
              "a = Split(\"a,b,c,d\", \",\", 2): WScript.Echo UBound(a), Join(a, \"+\")",
              "2 a+b+c|1 a+b,c,d"}},
            {"trim and case",
             {"WScript.Echo \"[\" & Trim(\"  x  \") & \"]\", LTrim(\"  x\") & \"|\", "
              "UCase(\"abc\"), "
              "LCase(\"ÄB\")",
              "[x] x| ABC äb"}},
            // One character for one, as VBScript maps case: no "SS" for "ß", no "FI" for
            // the ligature, no combining dot after the "i" of "İ".
            {"case keeps the length",
             {"WScript.Echo UCase(\"straße\"), Len(UCase(\"straße\")), UCase(\"ﬁ\"), "
              "Len(LCase(\"İX\"))",
              "STRAßE 6 ﬁ 2"}},
            {"characters",
             {"WScript.Echo Asc(\"A\"), Chr(66), AscW(\"€\"), ChrW(8364), String(3, \"ab\"), "
              "Space(2) & \"|\"",
              "65 B 8364 € aaa   |"}},
            {"reverse and compare",
             {"WScript.Echo StrReverse(\"abc\"), StrComp(\"a\", \"b\"), StrComp(\"b\", \"a\")",
              "cba -1 1"}},
            {"filter",
             {"WScript.Echo Join(Filter(Array(\"apple\", \"banana\", \"cherry\"), \"an\"), \",\"), "
              "Join(Filter(Array(\"apple\", \"banana\"), \"an\", False), \",\")",
              "banana apple"}},
            {"vb constants",
             {"WScript.Echo Len(vbCrLf), Asc(vbTab), vbTextCompare, vbObjectError",
              "2 9 1 -2147221504"}},
            {"long concatenation",
             {"For i = 1 To 10000: s = s & \"ab\": Next: WScript.Echo Len(s), Mid(s, 19999)",
              "20000 ab"}},
            // v = v & F(): v is read before F runs, also when F assigns or appends to v
            {"a call on the right of v = v & ... that changes v",
             {"Function F(): v = \"changed\": F = \"!\": End Function\n"
              "Function G(): n = 5: G = \"?\": End Function\n"
              "Function H(): v = v & \"+\": H = \"#\": End Function\n"
              "v = \"a\": v = v & F(): n = 1: n = n & G(): w = \"b\": w = w & H()\n"
              "WScript.Echo v, n, w\nv = \"b\": v = v & H() & \"c\": WScript.Echo v",
              "a!+ 1? b#|b#c"}},
        });
    }
    void strings() { checkScriptOutput(); }

    void numbers_data()
    {
        scriptTable({
            {"rounding",
             {"WScript.Echo Int(-2.5), Fix(-2.5), Int(2.7), Round(2.5), Round(3.5), Round(2.567, "
              "2), "
              "Round(-2.5)",
              "-3 -2 2 2 4 2.57 -2"}},
            {"conversions",
             {"WScript.Echo CInt(\"12\"), CInt(2.5), CInt(3.5), CLng(-2.5), CDbl(\"1.5\"), "
              "CStr(12.5), CByte(255)",
              "12 2 4 -2 1.5 12.5 255"}},
            {"hex and oct",
             {"WScript.Echo Hex(255), Hex(-1), Hex(65536), Oct(8), Hex(-32769)",
              "FF FFFF 10000 10 FFFF7FFF"}},
            {"math",
             {"WScript.Echo Abs(-3), Sgn(-2), Sgn(0), Sqr(16), 2 ^ 0.5 > 1.41, Int(Log(Exp(2)) + "
              "0.5)",
              "3 -1 0 4 True 2"}},
            {"isnumeric",
             {"WScript.Echo IsNumeric(\"12\"), IsNumeric(\"1.5e3\"), IsNumeric(\"abc\"), "
              "IsNumeric(Empty), IsNumeric(\" 7 \"), IsNumeric(\"&H10\")",
              "True True False True True True"}},
            {"rnd",
             {"Randomize 1: x = Rnd: a = Rnd(-1): b = Rnd: c = Rnd(-1): d = Rnd\n"
              "WScript.Echo x >= 0 And x < 1, a = c, b = d",
              "True True True"}},
        });
    }
    void numbers() { checkScriptOutput(); }

    void dates_data()
    {
        scriptTable({
            {"parts",
             {"d = DateSerial(2024, 2, 29): WScript.Echo d, Year(d), Month(d), Day(d), Weekday(d), "
              "TypeName(d)",
              "2/29/2024 2024 2 29 5 Date"}},
            {"time",
             {"t = TimeSerial(13, 5, 9): WScript.Echo t, Hour(t), Minute(t), Second(t)",
              "1:05:09 PM 13 5 9"}},
            {"dateserial rolls over",
             {"WScript.Echo DateSerial(2024, 13, 1), DateSerial(2024, 3, 0)",
              "1/1/2025 2/29/2024"}},
            {"dateadd",
             {"WScript.Echo DateAdd(\"m\", 1, #1/31/2024#), DateAdd(\"d\", 1, #12/31/2023#), "
              "DateAdd(\"yyyy\", -1, #2/29/2024#), DateAdd(\"h\", 25, #1/1/2024#)",
              "2/29/2024 1/1/2024 2/28/2023 1/2/2024 1:00:00 AM"}},
            {"datediff",
             {"WScript.Echo DateDiff(\"d\", #1/1/2024#, #3/1/2024#), "
              "DateDiff(\"m\", #1/31/2024#, #2/1/2024#), DateDiff(\"yyyy\", #12/31/2023#, "
              "#1/1/2024#), "
              "DateDiff(\"h\", #1/1/2024 1:59:00 AM#, #1/1/2024 2:00:00 AM#)",
              "60 1 1 1"}},
            {"datepart",
             {"WScript.Echo DatePart(\"q\", #5/1/2024#), DatePart(\"y\", #2/1/2024#), "
              "DatePart(\"w\", #1/7/2024#)",
              "2 32 1"}},
            {"cdate and isdate",
             {"WScript.Echo IsDate(\"1/2/2024\"), IsDate(\"hello\"), CDate(\"March 5, 2024\"), "
              "CDate(\"2024-03-05 14:30\")",
              "True False 3/5/2024 3/5/2024 2:30:00 PM"}},
            {"formatdatetime",
             {"d = #3/5/2024 2:30:00 PM#\nWScript.Echo FormatDateTime(d, vbShortDate), "
              "FormatDateTime(d, vbLongTime), FormatDateTime(d, vbShortTime), "
              "FormatDateTime(d, vbLongDate)",
              "3/5/2024 2:30:00 PM 14:30 Tuesday, March 5, 2024"}},
            {"formatnumber",
             {"WScript.Echo FormatNumber(1234567.891), FormatNumber(0.5, 0), "
              "FormatNumber(-1234.5, 1), FormatNumber(0.25, 2, 0), FormatPercent(0.256), "
              "FormatCurrency(1234.5)",
              "1,234,567.89 1 -1,234.5 .25 25.60% $1,234.50"}},
            {"names",
             {"WScript.Echo MonthName(1), MonthName(12, True), WeekdayName(1), WeekdayName(2, "
              "True)",
              "January Dec Sunday Mon"}},
            {"date text",
             {"WScript.Echo CStr(#1/1/2000#), CStr(TimeSerial(0, 0, 0)), CStr(#1/1/2000 00:00:01#)",
              "1/1/2000 12:00:00 AM 1/1/2000 12:00:01 AM"}},
        });
    }
    void dates() { checkScriptOutput(); }

    void arrays_data()
    {
        scriptTable({
            {"two dimensions",
             {"Dim a(2, 3): a(1, 2) = \"x\": WScript.Echo UBound(a), UBound(a, 2), LBound(a), a(1, "
              "2)",
              "2 3 0 x"}},
            {"redim preserve grows",
             {"Dim a(): ReDim a(2): a(0) = 1: a(2) = 3: ReDim Preserve a(4): a(4) = 5\n"
              "WScript.Echo UBound(a), a(0), a(2), IsEmpty(a(3)), a(4)",
              "4 1 3 True 5"}},
            {"redim preserve shrinks",
             {"ReDim a(5): a(1) = \"k\": ReDim Preserve a(1): WScript.Echo UBound(a), a(1)",
              "1 k"}},
            {"redim clears",
             {"ReDim a(2): a(0) = 1: ReDim a(3): WScript.Echo IsEmpty(a(0))", "True"}},
            {"redim preserve last dimension",
             {"ReDim a(1, 1): a(1, 1) = \"z\": a(0, 1) = \"y\": ReDim Preserve a(1, 3)\n"
              "WScript.Echo a(1, 1), a(0, 1), UBound(a, 2)",
              "z y 3"}},
            {"erase fixed",
             {"Dim f(2): f(0) = 1: Erase f: WScript.Echo IsEmpty(f(0)), UBound(f)", "True 2"}},
            {"empty array",
             {"a = Array(): WScript.Echo UBound(a), IsArray(a), IsArray(1)", "-1 True False"}},
            {"nested arrays",
             {"a = Array(Array(1, 2), Array(3)): WScript.Echo a(0)(1), UBound(a(1))", "2 0"}},
            {"for each does not see later writes",
             {"a = Array(1, 2, 3)\nFor Each x In a: a(2) = 9: s = s & x: Next\nWScript.Echo s, "
              "a(2)",
              "123 9"}},
        });
    }
    void arrays() { checkScriptOutput(); }
};

QTEST_GUILESS_MAIN(TestVbsLanguage)
#include "tst_vbs_language.moc"
