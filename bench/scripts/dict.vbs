' A Dictionary of 200,000 string keys: filled, read back by key, and probed with Exists.
Dim d, i, total, hits
Set d = CreateObject("Scripting.Dictionary")
For i = 1 To 200000
    d.Add "k" & i, i
Next
total = 0
For i = 1 To 200000
    total = total + d("k" & i)
Next
hits = 0
For i = 1 To 400000 Step 3
    If d.Exists("k" & i) Then hits = hits + 1
Next
WScript.Echo d.Count, total, hits
