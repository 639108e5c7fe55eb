' Objects with properties and methods: 300,000 pairs of points made, read through their
' properties and measured by a method, the results added up by a counter object.
Class Counter
    Private m_count
    Private Sub Class_Initialize()
        m_count = 0
    End Sub
    Public Property Get Count()
        Count = m_count
    End Property
    Public Sub Add(n)
        m_count = m_count + n
    End Sub
End Class

Class Point
    Public X, Y
    Public Function Dist2(other)
        Dist2 = (X - other.X) * (X - other.X) + (Y - other.Y) * (Y - other.Y)
    End Function
End Class

Dim i, c, a, b
Set c = New Counter
For i = 1 To 300000
    Set a = New Point
    a.X = i Mod 100
    a.Y = i Mod 7
    Set b = New Point
    b.X = i Mod 13
    b.Y = 3
    c.Add a.Dist2(b)
Next
WScript.Echo c.Count
