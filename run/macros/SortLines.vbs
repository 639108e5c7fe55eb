' Sorts the selected lines, or every line of the document when nothing is selected,
' in text order (letter case ignored).
Dim whole, lines, i, j, gap, t
whole = (Editor.SelLength = 0)
If whole Then
    lines = Split(Editor.Text, vbCrLf)
Else
    lines = Split(Editor.SelText, vbCrLf)
End If
gap = (UBound(lines) + 1) \ 2
Do While gap > 0
    For i = gap To UBound(lines)
        t = lines(i)
        j = i
        Do While j >= gap
            If StrComp(lines(j - gap), t, vbTextCompare) <= 0 Then Exit Do
            lines(j) = lines(j - gap)
            j = j - gap
        Loop
        lines(j) = t
    Next
    gap = gap \ 2
Loop
If whole Then
    Editor.Text = Join(lines, vbCrLf)
Else
    Editor.ReplaceSelection Join(lines, vbCrLf)
End If
