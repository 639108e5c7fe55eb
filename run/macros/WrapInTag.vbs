' Wraps the selection (or inserts an empty pair at the caret) in an HTML tag whose name
' you type, for example b, em or span class="note".
Dim tag, name
tag = InputBox("Tag:", "Wrap in tag", "b")
If tag <> "" Then
    name = Split(tag, " ")(0)
    Editor.ReplaceSelection "<" & tag & ">" & Editor.SelText & "</" & name & ">"
End If
