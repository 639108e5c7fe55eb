Function Main(a, b)
  Main = Helper(a) & b
End Function
Function Helper(ByVal0n)
  If n > 3 Then Helper = n Else Helper = Helper(n + 1) + 1
End Function
Sub Change(ByRef v): v = v & "!": End Sub
t = "t": Change t: Change (t): Call Change(t)
On Error Resume Next
x = 1 / 0: y = Err.Number:.Err.Clear
On Error GoTo 0
ReDim b(2): ReDim Preserve b(4): Erase b
