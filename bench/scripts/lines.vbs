' A loop over 1,000,000 lines of text, as macros work on a document: each line is built,
' split at its commas, searched with InStr, cut with Mid and rewritten with Replace.
Dim i, total, line, parts, p, s, r
total = 0
For i = 1 To 1000000
    line = "id" & i & ",alpha,beta," & (i Mod 97) & ",gamma"
    parts = Split(line, ",")
    p = InStr(line, "beta")
    s = Mid(line, p, 4)
    r = Replace(line, "alpha", "A")
    total = total + UBound(parts) + p + Len(s) + Len(r)
Next
WScript.Echo total
