#!/usr/bin/env bash
# Runs each benchmark in our VBScript engine, in python3 and in Lua 5.4, checks that the
# three print the same result, and prints the times and the ratios of our engine to
# python3 and to Lua 5.4 (below 1 is faster).
# Usage: bench/scripts/run.sh [BUILD_DIR] [BENCHMARK...]
# Benchmarks: bench (the loop), strings, dict, calls, lines (a text loop with Split, InStr,
# Mid and Replace), classes (objects with properties and methods); all of them by default.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
shift || true
runner="$build/quillora-script"
[ -x "$runner" ] || { echo "build quillora-script first ($runner)" >&2; exit 1; }
command -v lua5.4 >/dev/null || { echo "lua5.4 is needed (Debian package lua5.4)" >&2; exit 1; }
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(bench strings dict calls lines classes)

# The processor time (user and system) of the best of five runs: steadier than the wall
# clock on a machine shared with other work.
seconds() {
    python3 - "$@" <<'PY'
import resource, subprocess, sys
best = float("inf")
for _ in range(5):
    r0 = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
    r1 = resource.getrusage(resource.RUSAGE_CHILDREN)
    best = min(best, r1.ru_utime - r0.ru_utime + r1.ru_stime - r0.ru_stime)
print(f"{best:.3f}")
PY
}

printf '%-8s %9s %9s %9s %12s %12s\n' benchmark vbscript python3 lua5.4 "vbs/python" "vbs/lua"
for name in "${names[@]}"; do
    out_vbs=$("$runner" "$here/$name.vbs")
    out_py=$(python3 "$here/$name.py")
    out_lua=$(lua5.4 "$here/$name.lua")
    if [ "$out_vbs" != "$out_py" ] || [ "$out_vbs" != "$out_lua" ]; then
        echo "$name: results differ: vbscript '$out_vbs', python '$out_py', lua '$out_lua'" >&2
        exit 1
    fi
    t_vbs=$(seconds "$runner" "$here/$name.vbs")
    t_py=$(seconds python3 "$here/$name.py")
    t_lua=$(seconds lua5.4 "$here/$name.lua")
    python3 -c "import sys; n = sys.argv[1]; v, p, l = map(float, sys.argv[2:]); print(f'{n:<8} {v:8.2f}s {p:8.2f}s {l:8.2f}s {v / p:12.2f} {v / l:12.2f}')" \
        "$name" "$t_vbs" "$t_py" "$t_lua"
done
