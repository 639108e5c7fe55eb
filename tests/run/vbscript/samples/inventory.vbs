' Inventory report: writes a stock file, reads it back, parses each line with a regular
' expression, groups the items by category in a Dictionary of class instances and writes
' a report file. Usage: quillora-script inventory.vbs FOLDER
Option Explicit

Const ForReading = 1, ForWriting = 2, ForAppending = 8

' ---------------------------------------------------------------- classes

Class Item
    Public Code, Name, Category, Quantity, Price

    Public Property Get Value()
        Value = Quantity * Price
    End Property

    Public Function Describe()
        Describe = PadRight(Code, 6) & PadRight(Name, 14) & PadLeft(Quantity, 5) & _
                   PadLeft(FormatNumber(Price, 2), 10) & PadLeft(FormatNumber(Value, 2), 12)
    End Function
End Class

Class Category
    Private m_name
    Private m_items

    Private Sub Class_Initialize()
        Set m_items = CreateObject("Scripting.Dictionary")
    End Sub

    Private Sub Class_Terminate()
        Log "closing category " & m_name
    End Sub

    Public Property Get Name()
        Name = m_name
    End Property

    Public Property Let Name(value)
        m_name = value
    End Property

    Public Sub Add(it)
        If m_items.Exists(it.Code) Then
            Err.Raise vbObjectError + 1, "Category", "Duplicate code " & it.Code
        End If
        m_items.Add it.Code, it
    End Sub

    Public Property Get Count()
        Count = m_items.Count
    End Property

    Public Property Get Items()
        Items = m_items.Items
    End Property

    Public Function Total()
        Dim it, sum
        sum = 0
        For Each it In m_items.Items
            sum = sum + it.Value
        Next
        Total = sum
    End Function

    Public Function Largest()
        Dim it, best
        Set best = Nothing
        For Each it In m_items.Items
            If best Is Nothing Then
                Set best = it
            ElseIf it.Value > best.Value Then
                Set best = it
            End If
        Next
        Set Largest = best
    End Function
End Class

' ---------------------------------------------------------------- helpers

Dim logLines
logLines = 0

Sub Log(text)
    logLines = logLines + 1
    WScript.Echo "[log " & logLines & "] " & text
End Sub

Function PadRight(text, width)
    Dim s
    s = CStr(text)
    If Len(s) < width Then s = s & Space(width - Len(s))
    PadRight = s
End Function

Function PadLeft(text, width)
    Dim s
    s = CStr(text)
    If Len(s) < width Then s = Space(width - Len(s)) & s
    PadLeft = s
End Function

Function SortedKeys(dict)
    ' insertion sort of the keys, case-insensitive
    Dim keys, i, j, tmp
    keys = dict.Keys
    For i = 1 To UBound(keys)
        tmp = keys(i)
        j = i - 1
        Do While j >= 0
            If StrComp(keys(j), tmp, vbTextCompare) <= 0 Then Exit Do
            keys(j + 1) = keys(j)
            j = j - 1
        Loop
        keys(j + 1) = tmp
    Next
    SortedKeys = keys
End Function

Sub Swap(a, b)
    Dim t
    t = a: a = b: b = t
End Sub

' ---------------------------------------------------------------- data

Function StockLines()
    StockLines = Array( _
        "# code;name;category;quantity;price", _
        "A100;Bolt M6;Hardware;250;0.12", _
        "A101;Nut M6;hardware;300;0.05", _
        "B200;Cable 2m;Electrical;12;4.50", _
        "B201;Plug;Electrical;40;1.25", _
        "C300;Glue;Supplies;7;3.99", _
        "bad line without fields", _
        "C301;Tape;Supplies;15;2.10", _
        "A102;Washer;Hardware;1000;0.01")
End Function

Sub WriteStock(path)
    Dim fso, f, line
    Set fso = CreateObject("Scripting.FileSystemObject")
    Set f = fso.CreateTextFile(path, True)
    For Each line In StockLines()
        f.WriteLine line
    Next
    f.Close
End Sub

Function ReadStock(path, categories)
    Dim fso, f, re, m, line, it, key, count, lineNo
    Set fso = CreateObject("Scripting.FileSystemObject")
    Set re = New RegExp
    re.Pattern = "^([A-Z]\d{3});([^;]+);([^;]+);(\d+);(\d+(\.\d+)?)$"
    Set f = fso.OpenTextFile(path, ForReading)
    count = 0
    lineNo = 0
    Do Until f.AtEndOfStream
        line = Trim(f.ReadLine)
        lineNo = lineNo + 1
        If Left(line, 1) = "#" Or line = "" Then
            ' comment
        ElseIf re.Test(line) Then
            Set m = re.Execute(line)(0)
            Set it = New Item
            it.Code = m.SubMatches(0)
            it.Name = m.SubMatches(1)
            it.Category = m.SubMatches(2)
            it.Quantity = CLng(m.SubMatches(3))
            it.Price = CDbl(m.SubMatches(4))
            key = LCase(it.Category)
            If Not categories.Exists(key) Then
                Set categories(key) = New Category
                categories(key).Name = UCase(Left(it.Category, 1)) & LCase(Mid(it.Category, 2))
            End If
            categories(key).Add it
            count = count + 1
        Else
            Log "skipped line " & lineNo & ": " & line
        End If
    Loop
    f.Close
    ReadStock = count
End Function

' ---------------------------------------------------------------- report

Function BuildReport(categories)
    Dim lines(), n, key, cat, it, grand
    ReDim lines(0)
    n = 0
    grand = 0
    For Each key In SortedKeys(categories)
        Set cat = categories(key)
        ReDim Preserve lines(n + 1)
        lines(n) = cat.Name & " (" & cat.Count & " items)"
        n = n + 1
        For Each it In cat.Items
            ReDim Preserve lines(n + 1)
            lines(n) = "  " & it.Describe()
            n = n + 1
        Next
        lines(n) = "  total " & FormatNumber(cat.Total(), 2) & ", largest " & cat.Largest().Name
        n = n + 1
        grand = grand + cat.Total()
    Next
    ReDim Preserve lines(n)
    lines(n) = "grand total " & FormatNumber(grand, 2)
    BuildReport = lines
End Function

Sub WriteReport(path, lines)
    Dim fso, f, i
    Set fso = CreateObject("Scripting.FileSystemObject")
    Set f = fso.OpenTextFile(path, ForWriting, True)
    For i = LBound(lines) To UBound(lines)
        f.WriteLine lines(i)
    Next
    f.Close
End Sub

Function CountMatches(path, pattern)
    Dim fso, text, re
    Set fso = CreateObject("Scripting.FileSystemObject")
    text = fso.OpenTextFile(path).ReadAll
    Set re = New RegExp
    re.Pattern = pattern
    re.Global = True
    re.IgnoreCase = True
    re.Multiline = True
    CountMatches = re.Execute(text).Count
End Function

' ---------------------------------------------------------------- main

Dim folder, fso, stockPath, reportPath, categories, count, report, line, x, y

If WScript.Arguments.Count < 1 Then
    WScript.Echo "usage: inventory.vbs FOLDER"
    WScript.Quit 2
End If
folder = WScript.Arguments(0)
Set fso = CreateObject("Scripting.FileSystemObject")
If Not fso.FolderExists(folder) Then
    WScript.Echo "no such folder"
    WScript.Quit 3
End If
stockPath = fso.BuildPath(folder, "stock.txt")
reportPath = fso.BuildPath(folder, "report.txt")

WriteStock stockPath
Set categories = CreateObject("Scripting.Dictionary")
count = ReadStock(stockPath, categories)
WScript.Echo "read " & count & " items in " & categories.Count & " categories"

report = BuildReport(categories)
WriteReport reportPath, report
For Each line In report
    WScript.Echo line
Next

WScript.Echo "report lines: " & (UBound(report) + 1) & ", 'total' lines: " & _
    CountMatches(reportPath, "^\s*total\b|grand total")

' a duplicate code is refused by the category
On Error Resume Next
Dim dup
Set dup = New Item
dup.Code = "A100"
categories("hardware").Add dup
WScript.Echo "duplicate: " & Err.Number - vbObjectError & " " & Err.Description
On Error GoTo 0

' ByRef swap and a few conversions
x = "left": y = "right"
Swap x, y
WScript.Echo x & " " & y
WScript.Echo TypeName(count), CStr(1 / 4), Hex(255), Round(2.5), Round(3.5)
WScript.Echo fso.GetBaseName(reportPath) & "." & fso.GetExtensionName(reportPath)

Select Case True
    Case count > 10: WScript.Echo "many"
    Case count > 5: WScript.Echo "several"
    Case Else: WScript.Echo "few"
End Select

' restock plan: items below a threshold, computed with Eval on a rule text
Dim rule, plan, key2, it2
rule = "qty < 20"
plan = ""
For Each key2 In SortedKeys(categories)
    For Each it2 In categories(key2).Items
        If Eval(Replace(rule, "qty", it2.Quantity)) Then
            plan = plan & it2.Code & "+" & (20 - it2.Quantity) & " "
        End If
    Next
Next
WScript.Echo "restock: " & Trim(plan)

' a log file that is appended to and read back line by line
Dim logFile, n
logFile = fso.BuildPath(folder, "run.log")
With fso.OpenTextFile(logFile, ForAppending, True)
    .WriteLine "run at " & FormatDateTime(DateSerial(2024, 6, 1) + TimeSerial(9, 30, 0), vbGeneralDate)
    .WriteLine "items=" & count
    .Close
End With
n = 0
With fso.OpenTextFile(logFile, ForReading)
    Do While Not .AtEndOfStream
        n = n + 1
        WScript.Echo "log " & n & ": " & .ReadLine
    Loop
    .Close
End With

' releasing the categories runs their terminators in key order
Dim k
For Each k In SortedKeys(categories)
    categories.Remove k
Next
WScript.Echo "done, log lines: " & logLines
