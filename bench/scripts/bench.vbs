' Loop benchmark: integer arithmetic, a comparison and a short string concatenation
' that is reset every 100 rounds, 3,000,000 times.
Dim i, total, s, hits
total = 0
hits = 0
s = ""
For i = 1 To 3000000
    total = (total + i * 7) Mod 1000003
    If total > 500000 Then hits = hits + 1
    s = s & "ab"
    If i Mod 100 = 0 Then s = ""
Next
WScript.Echo total, hits, Len(s)
