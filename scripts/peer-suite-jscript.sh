#!/usr/bin/env bash
# Runs the Wine project's public JScript conformance scripts (lang.js, api.js and
# regexp.js of Wine's Debian source package) through quillora-script and counts the
# checks that pass and fail, and whether each file runs to its end. The sources are
# fetched with apt-get into a cache folder outside the repository (the same one the
# VBScript peer suite uses); nothing of them is kept in this repository.
# Usage: scripts/peer-suite-jscript.sh [-v] [BUILD_DIR]   (-v lists every failing check)
# scripts/peer-suite.sh runs it after the VBScript scripts and adds up both.
# PEER_SUITE_CACHE overrides the cache folder (default ~/.cache/quillora/peer-suite).
set -euo pipefail
verbose=""
if [ "${1:-}" = -v ]; then
    verbose=1
    shift
fi
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
runner="$build/quillora-script"
cache="${PEER_SUITE_CACHE:-$HOME/.cache/quillora/peer-suite}"
[ -x "$runner" ] || { echo "build quillora-script first ($runner)" >&2; exit 1; }

find_tests() {
    find "$cache" -maxdepth 5 -path '*/dlls/jscript/tests' -type d 2>/dev/null | head -n 1
}

fetch() {
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ &&
        ! grep -qs '^deb-src' /etc/apt/sources.list; then
        local src=/etc/apt/sources.list.d/quillora-deb-src.sources
        [ -e "$src" ] || sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$src"
        apt-get update -qq >&2
    fi
    mkdir -p "$cache"
    (
        cd "$cache"
        ls wine_*.orig.tar.* >/dev/null 2>&1 || apt-get source -qq --download-only wine >&2
        tar -xf "$(ls wine_*.orig.tar.* | head -n 1)" --wildcards '*/dlls/jscript/tests/*.js'
    )
}

tests="$(find_tests)"
if [ -z "$tests" ]; then
    fetch
    tests="$(find_tests)"
fi
[ -n "$tests" ] || { echo "could not fetch Wine's JScript tests into $cache" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The host functions Wine's C harness provides, as script code, before the test file.
cat >"$work/prelude.js" <<'JS'
function ok(cond, msg) {
    WScript.Echo(cond ? "PASS" : "FAIL " + msg);
}
function todo_wine_ok(cond, msg) { ok(cond, msg); }
function trace(msg) {}
function reportSuccess() {}
function createArray() { return [2, 3]; }
var isWin64 = false;
var invokeVersion = 2;
var nullDisp = null;
var testObj = {};
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

total_pass=0
total_fail=0
for name in lang api regexp; do
    file="$tests/$name.js"
    [ -f "$file" ] || continue
    cat "$work/prelude.js" "$file" >"$work/$name.js"
    set +e
    "$runner" "$work/$name.js" >"$work/$name.out" 2>"$work/$name.err"
    set -e
    pass=$(grep -c '^PASS' "$work/$name.out" || true)
    fail=$(grep -c '^FAIL' "$work/$name.out" || true)
    total_pass=$((total_pass + pass))
    total_fail=$((total_fail + fail))
    ended="ran to the end"
    if [ -s "$work/$name.err" ]; then
        # the line number counts the prelude's lines too
        ended="stopped: $(head -n 1 "$work/$name.err" | sed "s|$work/||")"
    fi
    echo "$name.js: $pass passed, $fail failed; $ended"
    if [ -n "$verbose" ]; then
        grep '^FAIL' "$work/$name.out" | sed 's/^/    /' || true
    fi
done
# Line numbers in the stops count the prelude too.
echo "prelude: $(wc -l <"$work/prelude.js") lines before each file"
echo "jscript: $total_pass passed, $total_fail failed"
