' String building with & and reading it back with Mid and Asc: 200,000 appends, then
' 100,000 five-character slices and every seventh character's code.
Dim s, i, total, hits, t
s = ""
For i = 1 To 200000
    s = s & Chr(65 + i Mod 26)
Next
total = 0
For i = 1 To Len(s) Step 7
    total = total + Asc(Mid(s, i, 1))
Next
hits = 0
For i = 1 To 100000
    t = Mid(s, (i Mod 1000) + 1, 5)
    If t = "BCDEF" Then hits = hits + 1
Next
WScript.Echo Len(s), total, hits
