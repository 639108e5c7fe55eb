#!/usr/bin/env bash
# Runs the Wine project's public VBScript conformance scripts (lang.vbs, api.vbs and
# regexp.vbs of Wine's Debian source package) through quillora-script and counts the
# checks that pass and fail. The sources are fetched with apt-get into a cache folder
# outside the repository; nothing of them is kept in this repository.
# Usage: scripts/peer-suite.sh [-v] [BUILD_DIR]   (-v lists every failure and skipped check)
# The JScript scripts follow, through scripts/peer-suite-jscript.sh.
set -euo pipefail
engine=vbscript ending=vbs
. "$(dirname "$0")/peer-suite-common.sh" "$@"

# The host functions Wine's C harness provides, as script code. It goes after the
# script (which may start with Option Explicit); procedures are visible from the start.
cat >"$work/prelude.vbs" <<'VBS'

Sub ok(cond, msg)
    Dim good
    good = False
    If Not IsNull(cond) Then
        If cond Then good = True
    End If
    If good Then
        WScript.Echo "PASS"
    Else
        WScript.Echo "FAIL: " & msg
    End If
End Sub

Sub todo_wine_ok(cond, msg)
    ok cond, msg
End Sub

Sub okAt(line, cond, msg)
    ok cond, "line " & line & ": " & msg
End Sub

Sub peer_na(msg)
    WScript.Echo "N/A: " & msg
End Sub

Sub trace(msg)
End Sub

Sub reportSuccess()
End Sub

Function isEnglishLang()
    isEnglishLang = True
End Function

Function MaxCharSize()
    MaxCharSize = 1
End Function

Function firstDayOfWeek()
    firstDayOfWeek = 1
End Function

Function doubleAsString(d)
    doubleAsString = CStr(d)
End Function

Function isNullDisp(v)
    isNullDisp = (v Is Nothing)
End Function

Class PeerTestObj
End Class

Function testObj()
    Set testObj = New PeerTestObj
End Function

' Stands in for the harness's enumerable object that yields 1, 2 and 3.
Function collectionObj()
    collectionObj = Array(1, 2, 3)
End Function

Function getVT(v)
    Select Case TypeName(v)
        Case "Empty": getVT = "VT_EMPTY"
        Case "Null": getVT = "VT_NULL"
        Case "Integer": getVT = "VT_I2"
        Case "Long": getVT = "VT_I4"
        Case "Single": getVT = "VT_R4"
        Case "Double": getVT = "VT_R8"
        Case "Currency": getVT = "VT_CY"
        Case "Date": getVT = "VT_DATE"
        Case "String": getVT = "VT_BSTR"
        Case "Boolean": getVT = "VT_BOOL"
        Case "Byte": getVT = "VT_UI1"
        Case "Decimal": getVT = "VT_DECIMAL"
        Case "Error": getVT = "VT_ERROR"
        Case "Unknown": getVT = "VT_UNKNOWN"
        Case Else
            If IsArray(v) Then
                getVT = "VT_ARRAY|VT_VARIANT"
            ElseIf IsObject(v) Then
                getVT = "VT_DISPATCH"
            Else
                getVT = "VT_" & TypeName(v)
            End If
    End Select
End Function
VBS

# Adapts a script to the prelude: the harness reports arguments passed by reference with
# a "*" and VT_BYREF, which a script-level getVT cannot see; lines that need a harness
# object this prelude cannot stand in for become not-applicable reports.
adapt() {
    sed -E \
        -e 's/"(VT_[A-Z0-9_|]*)\*"/"\1"/g' \
        -e 's/VT_ARRAY\|VT_BYREF\|/VT_ARRAY|/g' \
        -e 's/^([[:space:]]*)[Cc]all collectionObj\.reset\(\)/\1/' \
        -e 's/^([[:space:]]*)[Cc]all obj\.reset\(\)/\1/' \
        -e 's/^([[:space:]]*)Set obj = collectionObj/\1obj = collectionObj/' \
        -e 's/^([[:space:]]*).*(testObj\.|unkObj|testArray|isArrayFixed|testDisp|TypeName\(collectionObj\)|getVT\(test\)|Me is Test|"VT_UNKNOWN).*$/\1peer_na "harness object"/I' \
        "$1" |
        awk '{
            line = $0
            sub(/peer_na "harness object"/, "peer_na \"line " NR ": harness object\"", line)
            # ok(cond, msg) and ok cond, msg report their line: okAt(line, cond, msg)
            if (sub(/(^|[^A-Za-z_.])(call|Call|CALL)[[:space:]]+(todo_wine_)?ok[[:space:]]*\(/, "&" NR ", ", line)) {
                sub(/(todo_wine_)?ok[[:space:]]*\(/, "okAt(", line)
            } else if (match(line, /^[[:space:]]*(todo_wine_)?ok[[:space:]]+[^=]/)) {
                sub(/(todo_wine_)?ok[[:space:]]+/, "okAt " NR ", ", line)
            }
            print line
        }'
}

# A construct that stops a script (a compilation error, or a run-time error outside
# On Error) is counted as one failure; its line is then blanked and the script run again,
# so the checks after it still count.
total_pass=0
total_fail=0
for name in lang api regexp; do
    src="$tests/$name.vbs"
    [ -f "$src" ] || { echo "$name.vbs: missing from the fetched sources"; continue; }
    script="$work/$name.vbs"
    { adapt "$src"; cat "$work/prelude.vbs"; } >"$script"
    stops=()
    for _ in $(seq 1 300); do
        out="$(cd "$work" && "$runner" "$script" 2>&1 || true)"
        stop=$(printf '%s\n' "$out" | grep -E "^$work/$name\.vbs\([0-9]+, [0-9]+\) " | tail -n 1 || true)
        [ -n "$stop" ] || break
        stop="${stop#"$work/"}"
        line=$(printf '%s' "$stop" | sed -E 's/^[^(]*\(([0-9]+),.*/\1/')
        stops+=("$stop: $(sed -n "${line}p" "$script" | sed -E 's/^[[:space:]]+//')")
        sed -i "${line}s/.*/' stopped here/" "$script"
    done
    pass=$(printf '%s\n' "$out" | grep -c '^PASS$' || true)
    fail=$(printf '%s\n' "$out" | grep -c '^FAIL: ' || true)
    na=$(printf '%s\n' "$out" | grep -c '^N/A: ' || true)
    echo "$name.vbs: $pass passed, $fail failed, $na not applicable, ${#stops[@]} stopped the script"
    if [ -n "$verbose" ]; then
        for stop in "${stops[@]}"; do
            echo "    STOP: $stop"
        done
        printf '%s\n' "$out" | grep -E '^(FAIL|N/A): ' | sed 's/^/    /' || true
    fi
    total_pass=$((total_pass + pass))
    total_fail=$((total_fail + fail + ${#stops[@]}))
done
echo "vbscript: $total_pass passed, $total_fail failed"

# Then the JScript scripts, through their own runner, and the sum of both.
js_out="$("$repo/scripts/peer-suite-jscript.sh" ${verbose:+-v} "$build")"
printf '%s\n' "$js_out"
js_line=$(printf '%s\n' "$js_out" | grep -E '^jscript: [0-9]+ passed, [0-9]+ failed$' | tail -n 1)
js_pass=$(printf '%s' "$js_line" | sed -E 's/^jscript: ([0-9]+) passed.*/\1/')
js_fail=$(printf '%s' "$js_line" | sed -E 's/.* ([0-9]+) failed$/\1/')
echo "$((total_pass + ${js_pass:-0})) passed, $((total_fail + ${js_fail:-0})) failed"
