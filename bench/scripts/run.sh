#!/usr/bin/env bash
# Runs the loop benchmark in our VBScript engine and in python3, side by side, and prints
# both times and their ratio. Usage: bench/scripts/run.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
runner="$build/quillora-script"
[ -x "$runner" ] || { echo "build quillora-script first ($runner)" >&2; exit 1; }

seconds() {
    python3 - "$@" <<'PY'
import subprocess, sys, time
start = time.perf_counter()
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(f"{time.perf_counter() - start:.3f}")
PY
}

out_vbs=$("$runner" "$here/bench.vbs")
out_py=$(python3 "$here/bench.py")
if [ "$out_vbs" != "$out_py" ]; then
    echo "results differ: vbscript '$out_vbs', python '$out_py'" >&2
    exit 1
fi
t_vbs=$(seconds "$runner" "$here/bench.vbs")
t_py=$(seconds python3 "$here/bench.py")
python3 -c "import sys; v, p = map(float, sys.argv[1:]); print(f'vbscript: {v:.2f} s'); print(f'python3:  {p:.2f} s'); print(f'ratio (vbscript / python3): {v / p:.2f}')" "$t_vbs" "$t_py"
