Class Node
  Public Value, Nxt
  Private Sub Class_Initialize(): Value = 0: End Sub
  Private Sub Class_Terminate(): Value = Empty: End Sub
  Public Property Get Twice(): Twice = Value * 2: End Property
  Public Property Let Twice(v): Value = v / 2: End Property
  Public Function Link(n): Set Nxt = n: Set Link = Me: End Function
End Class
Set a = New Node: Set b = New Node
a.Link(b).Twice = 8
With a: .Value = .Twice + 1: End With
Set a = Nothing: Set b = Nothing
