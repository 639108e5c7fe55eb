Dim i, s, a(3)
For i = 0 To 3: a(i) = i * 2: s = s & a(i) & ",": Next
If Len(s) > 3 Then s = Left(s, 3) Else s = "" & s
Select Case i: Case 1, 2: s = "x": Case Else: s = UCase(s): End Select
Do While i > 0: i = i - 1: Loop
x = 1.5 ^ 2 \ 3 Mod 2 And Not True Or False Xor 1 Eqv 0 Imp -1
y = #1/2/2024# + 1: z = &HFF + &O17 - 1E3
