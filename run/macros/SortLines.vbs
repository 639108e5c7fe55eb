' Sorts the selected lines, or every line of the document when nothing is selected,
' in text order (letter case ignored). A line break at the end stays at the end.
Dim whole, text, tail, lines, i, j, gap, t
whole = (Editor.SelLength = 0)
If whole Then
    text = Editor.Text
Else
    text = Editor.SelText
End If
tail = ""
If Right(text, 2) = vbCrLf Then
    tail = vbCrLf
    text = Left(text, Len(text) - 2)
End If
lines = Split(text, vbCrLf)
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
    Editor.Text = Join(lines, vbCrLf) & tail
Else
    Editor.ReplaceSelection Join(lines, vbCrLf) & tail
End If
