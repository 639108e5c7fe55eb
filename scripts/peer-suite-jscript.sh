#!/usr/bin/env bash
# Runs the Wine project's public JScript conformance scripts (lang.js, api.js, regexp.js
# and cc.js of Wine's Debian source package) through quillora-script and counts the
# checks that pass and fail and the lines that stop a script. The sources are
# fetched with apt-get into a cache folder outside the repository (the same one the
# VBScript peer suite uses); nothing of them is kept in this repository.
# Usage: scripts/peer-suite-jscript.sh [-v] [BUILD_DIR]   (-v lists every stop and failing check)
# scripts/peer-suite.sh runs it after the VBScript scripts and adds up both.
set -euo pipefail
engine=jscript ending=js
. "$(dirname "$0")/peer-suite-common.sh" "$@"

# The host functions Wine's C harness provides, as script code, before the test file.
cat >"$work/prelude.js" <<'JS'
function ok(cond, msg) {
    if (cond) { WScript.Echo("PASS"); return; }
    try { msg = String(msg); } catch (e) { msg = "(a message that does not convert to text)"; }
    WScript.Echo("FAIL " + msg);
}
function todo_wine_ok(cond, msg) { ok(cond, msg); }
function trace(msg) {}
function peer_na(msg) { WScript.Echo("N/A: " + msg); }
function reportSuccess() {}
function createArray() { return [2, 3]; }
var isWin64 = false;
var invokeVersion = 2;
var nullDisp = null;
var testObj = {};
// the harness's named item: assigning it changes nothing
Object.defineProperty(this, "test", { value: this, enumerable: true });
var pureDisp = {};
function testNoRes() {}
function testRes() { return true; }
function testThis(o) { ok(o === test, "testThis: not the global object"); }
function getVT(v) {
    if (v === undefined) return "VT_EMPTY";
    if (v === null) return "VT_NULL";
    switch (typeof v) {
    case "boolean": return "VT_BOOL";
    case "string": return "VT_BSTR";
    case "number": return (v | 0) === v && !(v === 0 && 1 / v < 0) ? "VT_I4" : "VT_R8";
    default: return "VT_DISPATCH";
    }
}
JS

# Statements that need a value only Wine's C harness makes become not-applicable reports
# (the rule in the loop below covers one-line ones; this one runs first): those that run
# over several lines, those that use a variable holding such a value (assigned by a
# statement made not applicable, or the catch variable of a try whose code was, until a
# plain assignment or the end of the block it was set in), and checks of what the
# harness's own objects are (`testObj.onlyDispID`, `throwInt`, `throwEI`,
# `isPrototypeOf(test)`, `JSON.stringify(testObj)`). A line made not applicable keeps its
# place: the lines it spans stay, empty.
cat >"$work/harness.awk" <<'AWK'
function code(l) {
    gsub(/\\./, "", l)
    gsub(/"[^"]*"/, "\"\"", l)
    gsub(/'[^']*'/, "\"\"", l)
    return l
}
function count(l, c) { return gsub(c, "", l) }
function tainted(l,   v) {
    for (v in taint)
        if (l ~ ("(^|[^A-Za-z0-9_$.])" v "([^A-Za-z0-9_$]|$)")) return 1
    return 0
}
function notApplicable(l) {
    match(l, /^[[:space:]]*/)
    return substr(l, 1, RLENGTH) "peer_na(\"line " NR ": harness value\");"
}
BEGIN {
    tryDepth = -1
    harness = "(v_date|v_cy|getNullBSTR|isNullBSTR|nullDisp|onlyDispID|throwInt|throwEI|" \
              "isPrototypeOf[(](test|testObj)[)]|JSON[.]stringify[(]testObj[)])"
    assigned = "^[[:space:]]*(var[[:space:]]+)?[(]?([A-Za-z_$][A-Za-z0-9_$]*)([.][A-Za-z_$][A-Za-z0-9_$]*)*[)]?[[:space:]]*=[^=]"
}
{
    line = $0
    c = code(line)
    opens = count(c, "[{]") - count(c, "[}]")
    # an assignment: the variable it sets, and the value it takes
    name = ""
    used = c
    if (match(c, assigned)) {
        name = c
        sub(/^[[:space:]]*(var[[:space:]]+)?[(]?/, "", name)
        match(name, /^[A-Za-z_$][A-Za-z0-9_$]*/)
        name = substr(name, 1, RLENGTH)
        used = substr(c, index(c, "=") + 1)
    }
    if (spanning > 0) {
        spanning += count(c, "[(]") - count(c, "[)]")
        print ""
    } else if (line ~ harness || tainted(used)) {
        parens = count(c, "[(]") - count(c, "[)]")
        if (parens == 0 && c ~ /;[[:space:]]*$/ && opens == 0) {
            print notApplicable(line)
        } else if (parens > 0 && opens == 0) {
            print notApplicable(line)
            spanning = parens
        } else {
            print line
            parens = -1
        }
        if (parens >= 0) {
            inTry = 1
            if (name != "")
                taint[name] = tryDepth >= 0 && tryDepth < depth ? tryDepth : depth
        }
    } else {
        if (name != "")
            delete taint[name]
        if (c ~ /(^|[^A-Za-z0-9_$])try([^A-Za-z0-9_$]|$)/) {
            inTry = 0
            tryDepth = depth
        }
        if (match(c, /catch[[:space:]]*[(][[:space:]]*[A-Za-z_$][A-Za-z0-9_$]*/)) {
            name = substr(c, RSTART, RLENGTH)
            sub(/^catch[[:space:]]*[(][[:space:]]*/, "", name)
            if (inTry) taint[name] = depth
            else delete taint[name]
            inTry = 0
        }
        print line
    }
    depth += opens
    for (v in taint)
        if (taint[v] > depth) delete taint[v]
}
AWK

# A construct that stops a script (a compilation error, or an error no try catches) counts
# as one failure; its line is then replaced by an empty statement and the script run
# again, so the checks after it still count. A stopped `continue` or `break` line becomes
# `break;`, so the loop it sat in still ends. Stops report the line in Wine's file (the
# prelude's lines taken off); a stop on a line already replaced ends the retries.
prelude_lines=$(wc -l <"$work/prelude.js")
total_pass=0
total_fail=0
# cc.js checks conditional compilation (@cc_on, @if, @set and their errors)
for name in lang api regexp cc; do
    file="$tests/$name.js"
    [ -f "$file" ] || { echo "$name.js: missing from the fetched sources"; continue; }
    script="$work/$name.js"
    # A statement the engine runs without end is counted as a failure and then left out:
    # `label: break;` inside a loop breaks out of the label only, not out of the loop.
    # A one-line statement that needs a value only Wine's C harness makes (a VT_DATE,
    # a VT_CY, a null BSTR, a null IDispatch, the SAFEARRAY of createArray, the harness's
    # host object as `this` of an Array method, an assignment to its named item `test`)
    # becomes a not-applicable report; so does every statement of the block that begins
    # with `var tmp = createArray();` (the SAFEARRAY's dimensions and items), up to the
    # next empty line, a statement over several lines as one report.
    cat "$work/prelude.js" >"$script"
    awk -f "$work/harness.awk" "$file" |
        awk '{
            line = $0
            if (line ~ /^var tmp = createArray[(][)];/) safearray = 1
            if (safearray && line ~ /^[[:space:]]*$/) safearray = 0
            if (safearray) {
                if (!open) print "peer_na(\"line " NR ": harness value\");"
                else print ""
                open += gsub(/[(]/, "(", line) - gsub(/[)]/, ")", line)
                next
            }
            if (line ~ /(v_date|v_cy|getNullBSTR|isNullBSTR|nullDisp|createArray[(][)][.](lbound|getItem)|Array[.]prototype[[]func[]][.]call[(]testObj[)]|[{]test = function)/ &&
                line ~ /;[[:space:]]*$/ &&
                gsub(/[(]/, "(", line) == gsub(/[)]/, ")", line) &&
                gsub(/[{]/, "{", line) == gsub(/[}]/, "}", line)) {
                match(line, /^[[:space:]]*/)
                line = substr(line, 1, RLENGTH) "peer_na(\"line " NR ": harness value\");"
            }
            print line
        }' >>"$script"
    stops=()
    out=""
    for _ in $(seq 1 100); do
        # (a replaced line can leave a loop without its end: the time-out and the size
        # cap stop that run, and the counts of the run before it stand)
        (
            cd "$work"
            rc=0
            timeout 20 "$runner" "$script" 2>&1 || rc=$?
            echo "$rc" >"$work/rc"
        ) | head -c 4000000 | tr -d '\0' >"$work/out" || true
        rc=$(cat "$work/rc" 2>/dev/null || echo 141)
        if [ "$rc" -ge 124 ] || [ "$(wc -c <"$work/out")" -ge 4000000 ]; then
            stops+=("$name.js: the run after the last replacement did not end; retries end here")
            break
        fi
        out="$(cat "$work/out")"
        stop=$(printf '%s\n' "$out" | grep -E "^$work/$name\.js\([0-9]+, [0-9]+\) " | tail -n 1 || true)
        [ -n "$stop" ] || break
        stop="${stop#"$work/"}"
        line=$(printf '%s' "$stop" | sed -E 's/^[^(]*\(([0-9]+),.*/\1/')
        text="$(sed -n "${line}p" "$script" | sed -E 's/^[[:space:]]+//')"
        at="$name.js($((line - prelude_lines)),${stop#*,}"
        if [ "$line" -le "$prelude_lines" ] || [ "$text" = ";// stopped here" ]; then
            stops+=("$at (retries end here)")
            break
        fi
        stops+=("$at: $text")
        case "$text" in
        continue* | break*) sed -i "${line}s/.*/break;\/\/ stopped here/" "$script" ;;
        *) sed -i "${line}s/.*/;\/\/ stopped here/" "$script" ;;
        esac
    done
    pass=$(printf '%s\n' "$out" | grep -c '^PASS' || true)
    fail=$(printf '%s\n' "$out" | grep -c '^FAIL' || true)
    na=$(printf '%s\n' "$out" | grep -c '^N/A: ' || true)
    total_pass=$((total_pass + pass))
    total_fail=$((total_fail + fail + ${#stops[@]}))
    echo "$name.js: $pass passed, $fail failed, $na not applicable, ${#stops[@]} stopped the script"
    if [ -n "$verbose" ]; then
        for stop in "${stops[@]}"; do
            echo "    STOP: $stop"
        done
        printf '%s\n' "$out" | grep '^FAIL' | sed 's/^/    /' || true
    fi
done
echo "jscript: $total_pass passed, $total_fail failed"
