#!/usr/bin/env bash
# Runs the JScript twin of the loop benchmark in quillora-script and compares it with
# python3 and with the VBScript engine. Usage: bench/scripts/run-jscript.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
runner="$build/quillora-script"
[ -x "$runner" ] || { echo "build quillora-script first ($runner)" >&2; exit 1; }
# the VBScript and python loops live beside this file, or in the older bench/vbscript
vbs="$here/bench.vbs"; py="$here/bench.py"
[ -f "$vbs" ] || vbs="$here/../vbscript/bench.vbs"
[ -f "$py" ] || py="$here/../vbscript/bench.py"

seconds() {
    python3 - "$@" <<'PY'
import subprocess, sys, time
start = time.perf_counter()
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(f"{time.perf_counter() - start:.3f}")
PY
}

out_js=$("$runner" "$here/bench.js")
out_py=$(python3 "$py")
if [ "$out_js" != "$out_py" ]; then
    echo "results differ: jscript '$out_js', python '$out_py'" >&2
    exit 1
fi
t_js=$(seconds "$runner" "$here/bench.js")
t_py=$(seconds python3 "$py")
t_vbs=$(seconds "$runner" "$vbs")
python3 -c "import sys; j, p, v = map(float, sys.argv[1:]); print(f'jscript:  {j:.2f} s'); print(f'python3:  {p:.2f} s'); print(f'vbscript: {v:.2f} s'); print(f'ratio (jscript / python3): {j / p:.2f}'); print(f'ratio (jscript / vbscript): {j / v:.2f}')" "$t_js" "$t_py" "$t_vbs"
