Set d = CreateObject("Scripting.Dictionary")
d.Add "k", 1: d("j") = Array(1, 2): d.CompareMode = 1
For Each k In d.Keys: s = s & k: Next
Set re = New RegExp: re.Pattern = "(\w)(\d)?": re.Global = True
For Each m In re.Execute("a1 b c3"): s = s & m.SubMatches(0) & m.FirstIndex: Next
s = re.Replace(s, "$2$1") & Join(Split("a,b", ","), "|") & Replace("aa", "a", "b")
Execute "q = 1": ExecuteGlobal "Sub G(): End Sub": v = Eval("q + 1")
s = FormatNumber(1234.5) & FormatDateTime(Now, 2) & DateAdd("m", 1, Date) & Hex(-1)
