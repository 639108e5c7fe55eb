' 1,000,000 calls of a small Function and 1,000,000 calls of a class method.
Function Add3(a, b, c)
    Add3 = a + b + c
End Function

Class Acc
    Public Total
    Public Sub Add(n)
        Total = Total + n
    End Sub
End Class

Dim i, t, acc
Set acc = New Acc
acc.Total = 0
t = 0
For i = 1 To 1000000
    t = Add3(t, i, 1) Mod 1000003
    acc.Add i Mod 7
Next
WScript.Echo t, acc.Total
