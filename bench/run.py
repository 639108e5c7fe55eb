#!/usr/bin/env python3
"""The benchmark suite: `make bench` runs it after a release build.

Generates its data into a temporary folder (fixed seed), runs every benchmark several
times, each run in a process of its own, and prints per benchmark the median, the ratio
to its baseline measured in the same run and, where it applies, the peak memory as a
multiple of the file size. See bench/README.md.

Usage: bench/run.py BUILD_DIR [--runs N] [--only WORD[,WORD...]]
To add a benchmark, add a Bench(...) to benches() below; a baseline is any command, or
another benchmark of the list.
"""

import argparse
import math
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MB = 1_000_000
HERE = os.path.dirname(os.path.abspath(__file__))
WORDS = ("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron "
         "pi rho sigma tau upsilon phi chi psi omega Grüße Straße café naïve €uro über "
         "tempus fugit 0 1 2 3 42 1000 = + - ( ) ; , .").split()


def make_lines(rng, count, width):
    """`count` distinct-looking lines of about `width` characters, from a pool."""
    pool = []
    for _ in range(4096):
        line = []
        length = 0
        target = rng.randint(width // 2, width * 3 // 2)
        while length < target:
            word = rng.choice(WORDS)
            line.append(word)
            length += len(word) + 1
        pool.append(" ".join(line))
    return [pool[rng.randrange(len(pool))] for _ in range(count)]


def write_text(path, size, lines_per_mb, encoding, newline, bom=b""):
    """A text of `size` bytes (about), `lines_per_mb` lines per million bytes."""
    rng = random.Random(20261210)
    width = max(8, int(MB / lines_per_mb) - len(newline))
    with open(path, "wb") as out:
        out.write(bom)
        written = len(bom)
        while written < size:
            chunk = (newline.join(make_lines(rng, 20000, width)) + newline).encode(
                encoding, errors="replace")
            chunk = chunk[: size - written]
            if encoding.startswith("utf-16"):
                chunk = chunk[: len(chunk) // 2 * 2]
            if not chunk:
                break
            out.write(chunk)
            written += len(chunk)


def write_c_source(path, size):
    rng = random.Random(20261210)
    out = []
    n = 0
    written = 0
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("#include <stdio.h>\n\n")
        while written < size:
            n += 1
            body = " + ".join(f"a{rng.randint(0, 9)} * {rng.randint(1, 999)}" for _ in range(3))
            text = (f"/* function {n}: computes a value */\n"
                    f"static int f{n}(int a0, int a1, int a2)\n{{\n"
                    f"    int a3 = {rng.randint(0, 100)}, a4 = a0 - a1, a5 = 0, a6 = 1, a7 = 2, a8 = 3, a9 = 4;\n"
                    f"    if (a4 > a3) {{ printf(\"%d\\n\", a4); }}  // log it\n"
                    f"    return {body};\n}}\n\n")
            f.write(text)
            written += len(text)
    del out


def hit_pool(rng, hit):
    """4,096 lines of about 50 bytes, each with the word `hit` once."""
    pool = []
    for _ in range(4096):
        line = []
        while len(" ".join(line).encode()) < 44:
            line.append(rng.choice(WORDS))
        line.insert(rng.randrange(len(line) + 1), hit)
        pool.append(" ".join(line))
    return pool


def hit_lines(rng, pool, count):
    return [pool[rng.randrange(len(pool))] for _ in range(count)]


def write_hits(path, lines, tail=""):
    rng = random.Random(20261210)
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(hit_lines(rng, hit_pool(rng, "cat"), lines)) + "\n" + tail)


def write_hyphenated(path, size):
    """Lines of about 100 bytes, each with one word broken by a hyphen."""
    rng = random.Random(20261210)
    broken = ("hyphen-ation", "exam-ple", "docu-ment", "para-graph", "sen-tence", "pro-gram")
    pool = [" ".join(line.split()[:12] + [rng.choice(broken)])
            for line in make_lines(rng, 4096, 80)]
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        written = 0
        while written < size:
            line = pool[rng.randrange(len(pool))] + "\n"
            out.write(line)
            written += len(line.encode())


def write_files(folder, count, size):
    """`count` files of `size` bytes (about), lines of 50 bytes with one "cat" each."""
    rng = random.Random(20261210)
    os.makedirs(folder)
    per_file = size // 50
    pool = hit_pool(rng, "cat")
    for i in range(count):
        with open(os.path.join(folder, f"file{i:05}.txt"), "w", encoding="utf-8",
                  newline="\n") as out:
            out.write("\n".join(hit_lines(rng, pool, per_file)) + "\n")


def generate(folder):
    files = {
        "utf8-100": (100 * MB, 15_000, "utf-8", "\n", b""),
        "utf8-50": (50 * MB, 15_000, "utf-8", "\n", b""),
        "utf8-1": (1 * MB, 15_000, "utf-8", "\n", b""),
        "utf16-20": (20 * MB, 15_000, "utf-16-le", "\r\n", b"\xff\xfe"),
        "cp1252-20": (20 * MB, 15_000, "cp1252", "\r\n", b""),
        "text-40": (40 * MB, 15_000, "utf-8", "\n", b""),
        "text-1": (1 * MB, 15_000, "utf-8", "\n", b""),
    }
    paths = {}
    for name, (size, lines, encoding, newline, bom) in files.items():
        path = os.path.join(folder, name + (".txt"))
        write_text(path, size, lines, encoding, newline, bom)
        paths[name] = path
    # 300 MB and 1 GB: copies of the 100 MB text one after the other.
    for name, copies in (("utf8-300", 3), ("utf8-1000", 10)):
        paths[name] = os.path.join(folder, name + ".txt")
        with open(paths[name], "wb") as out:
            for _ in range(copies):
                with open(paths["utf8-100"], "rb") as piece:
                    shutil.copyfileobj(piece, out, 16 << 20)
    paths["c-20"] = os.path.join(folder, "source-20.c")
    write_c_source(paths["c-20"], 20 * MB)
    # Replace all: 1,000,000 lines with one hit each; find next: one hit at the very end.
    paths["hits-50"] = os.path.join(folder, "hits-50.txt")
    write_hits(paths["hits-50"], 1_000_000, "needle\n")
    for size in (1, 10):
        paths[f"hyphens-{size}"] = os.path.join(folder, f"hyphens-{size}.txt")
        write_hyphenated(paths[f"hyphens-{size}"], size * MB)
    paths["files"] = os.path.join(folder, "files")
    write_files(paths["files"], 5000, 40_000)
    return paths


class Bench:
    def __init__(self, name, command, baseline=None, file=None, measure="seconds",
                 prepare=None, size_ratio=None):
        self.name = name
        self.command = command      # list, or a function of the work folder giving one
        self.baseline = baseline    # a command, the name of another Bench, or None
        self.file = file            # for peak memory as a multiple of its size
        self.measure = measure      # "seconds" (wall) or "cpu"
        self.prepare = prepare      # run before each measurement, not timed
        self.size_ratio = size_ratio  # input size against the baseline's: ratio per doubling


def run_once(command, measure):
    """Seconds of one run; for our program its own figures, for others the wall clock."""
    start = time.perf_counter()
    result = subprocess.run(command, capture_output=True, text=True)
    wall = time.perf_counter() - start
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed:\n{result.stderr[-2000:]}")
    fields = dict(item.split("=") for item in result.stdout.split() if "=" in item)
    if not fields:
        return wall, None, None, None
    return (float(fields[measure]), float(fields["cpu"]), float(fields["peak_mb"]),
            float(fields.get("steady_mb", 0)))


def measure(bench, runs):
    times, cpus, peaks, steadies = [], [], [], []
    for _ in range(runs):
        if bench.prepare:
            bench.prepare()
        seconds, cpu, peak, steady = run_once(bench.command, bench.measure)
        times.append(seconds)
        if cpu is not None:
            cpus.append(cpu)
            peaks.append(peak)
            steadies.append(steady)
    median = lambda values: statistics.median(values) if values else None
    return median(times), median(cpus), median(peaks), median(steadies)


def shell(script):
    return ["sh", "-c", script]


def benches(build, files, work):
    exe = os.path.join(build, "quillora_bench")
    copy = os.path.join(work, "copy")

    def copy_of(name):
        target = os.path.join(work, os.path.basename(files[name]))
        return lambda: shutil.copyfile(files[name], target), target

    def cp_sync(name):
        return shell(f"cp '{files[name]}' '{copy}' && sync '{copy}'")

    result = []
    for name, label in (("utf8-100", "100 MB UTF-8"), ("utf16-20", "20 MB UTF-16 LE"),
                        ("cp1252-20", "20 MB Windows-1252")):
        result.append(Bench(f"open {label}", [exe, "open", files[name]], cp_sync(name),
                            files[name]))
        prepare, target = copy_of(name)
        result.append(Bench(f"save {label} unedited", [exe, "save", target], cp_sync(name),
                            files[name], prepare=prepare))
        result.append(Bench(f"edit one key and save {label}", [exe, "save", target, "edit"],
                            cp_sync(name), files[name], prepare=prepare))
    result.append(Bench("open 100 MB UTF-8 (doubling: baseline 50 MB)",
                        [exe, "open", files["utf8-100"]], "open 50 MB UTF-8"))
    result.insert(0, Bench("open 50 MB UTF-8", [exe, "open", files["utf8-50"]],
                           cp_sync("utf8-50"), files["utf8-50"]))
    result.append(Bench("open 300 MB UTF-8", [exe, "open", files["utf8-300"]],
                        cp_sync("utf8-300"), files["utf8-300"]))
    result.append(Bench("open 1 GB UTF-8 (CPU per doubling from 300 MB)",
                        [exe, "open", files["utf8-1000"]], "open 300 MB UTF-8",
                        files["utf8-1000"], size_ratio=1000 / 300))
    result.append(Bench("open 20 MB C source", [exe, "open", files["c-20"]], cp_sync("c-20"),
                        files["c-20"]))
    result.append(Bench("Ctrl+End in 20 MB C source after open", [exe, "ctrlend", files["c-20"]]))
    result.append(Bench("Page Down in 20 MB C source after open",
                        [exe, "pagedown", files["c-20"]]))
    result.append(Bench("keystroke in 1 MB, end (CPU)", [exe, "key", files["utf8-1"], "end"],
                        measure="cpu"))
    for where in ("start", "middle", "end"):
        result.append(Bench(f"keystroke in 50 MB, {where} (CPU)",
                            [exe, "key", files["utf8-50"], where],
                            "keystroke in 1 MB, end (CPU)", measure="cpu"))
    # The crash-recovery journal: on by default (the rows above include it); these two
    # compare a key with the journal off and with its record written at every key.
    result.append(Bench("keystroke in 50 MB, end, journal off (CPU)",
                        [exe, "key", files["utf8-50"], "end", "nojournal"], measure="cpu"))
    result.append(Bench("keystroke in 50 MB, end, journal written per key (CPU)",
                        [exe, "key", files["utf8-50"], "end", "journal"],
                        "keystroke in 50 MB, end, journal off (CPU)", measure="cpu"))
    result.append(Bench("Ctrl+End in 1 MB", [exe, "ctrlend", files["utf8-1"]]))
    result.append(Bench("Ctrl+End in 100 MB", [exe, "ctrlend", files["utf8-100"]],
                        "Ctrl+End in 1 MB"))
    result.append(Bench("Ctrl+Space, 1,000 proposals", [exe, "complete", "1000"]))
    result.append(Bench("Ctrl+Space, 100,000 proposals", [exe, "complete", "100000"],
                        "Ctrl+Space, 1,000 proposals"))
    result.append(Bench("scheme switch, 1 MB", [exe, "scheme", files["text-1"]]))
    result.append(Bench("scheme switch, 40 MB", [exe, "scheme", files["text-40"]],
                        "scheme switch, 1 MB"))
    result.append(Bench("start-up to first paint, empty data folder", [exe, "startup"]))
    result.append(Bench("start-up to first paint, 100 MB file", [exe, "startup", files["utf8-100"]],
                        "start-up to first paint, empty data folder", files["utf8-100"]))
    result += text_tools(exe, files, work)
    result += macro_benches(build, files, work)
    return result


# A macro that reads and rewrites every line, and python3 doing the same over the file.
MACRO_LOOP = {
    "vbs": "n = Editor.LineCount\nFor i = 1 To n\n  Editor.Line(i) = UCase(Editor.Line(i))\nNext\n",
    "js": "var n = Editor.LineCount;\n"
          "for (var i = 1; i <= n; i++) Editor.Line(i, Editor.Line(i).toUpperCase());\n",
}
PYTHON_LOOP = """import sys
p = sys.argv[1]
with open(p, encoding="utf-8", newline="") as f:
    lines = f.read().split("\\n")
for i in range(len(lines)):
    lines[i] = lines[i].upper()
with open(p, "w", encoding="utf-8", newline="") as f:
    f.write("\\n".join(lines))
"""


def macro_benches(build, files, work):
    """quillora-script --macro over 50 MB: every line read and written back."""
    script = os.path.join(build, "quillora-script")
    source = files["utf8-50"]
    target = os.path.join(work, "macro-50.txt")
    python_target = os.path.join(work, "macro-50-python.txt")
    python_loop = os.path.join(work, "lineloop.py")
    with open(python_loop, "w") as f:
        f.write(PYTHON_LOOP)

    def fresh():
        shutil.copyfile(source, target)
        shutil.copyfile(source, python_target)

    result = []
    for language, label in (("vbs", "VBScript"), ("js", "JScript")):
        macro = os.path.join(work, f"lineloop.{language}")
        with open(macro, "w") as f:
            f.write(MACRO_LOOP[language])
        result.append(Bench(f"macro line loop, 50 MB, {label}",
                            [script, "--macro", macro, target],
                            shell(f"cp '{source}' '{python_target}' && "
                                  f"python3 '{python_loop}' '{python_target}'"),
                            source, prepare=fresh))
    return result


def text_tools(exe, files, work):
    """Replace all, find next, hyphen removal and the multi-file run."""
    hits = files["hits-50"]
    result = [
        Bench("replace all, 1,000,000 hits in 50 MB", [exe, "replace", hits, "cat", "mouse"],
              shell(f"sed 's/cat/mouse/g' '{hits}' > '{work}/replaced'"), hits),
        Bench("regex replace all, 1,000,000 hits in 50 MB",
              [exe, "regexreplace", hits, r"\bc(a)t\b", r"m\1t"],
              shell(f"sed -E 's/\\bc(a)t\\b/m\\1t/g' '{hits}' > '{work}/regex-replaced'"), hits),
        Bench("find next, one hit at the end of 50 MB", [exe, "findnext", hits, "needle"],
              ["grep", "-c", "-F", "needle", hits], hits),
        Bench("remove hyphenation, 1 MB", [exe, "dehyphen", files["hyphens-1"]],
              file=files["hyphens-1"]),
        Bench("remove hyphenation, 10 MB", [exe, "dehyphen", files["hyphens-10"]],
              "remove hyphenation, 1 MB", files["hyphens-10"]),
    ]
    # The replace run changes its files: each run, ours and sed's, gets a fresh copy.
    source = files["files"]
    target = os.path.join(work, "files")

    def fresh_copy():
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(source, target)

    result.append(Bench("multi-file count, 5,000 files of 40 KB",
                        [exe, "files", source, "count", "cat"],
                        shell(f"grep -c -F cat '{source}'/* > /dev/null")))
    result.append(Bench("multi-file replace, 5,000 files of 40 KB",
                        [exe, "files", target, "replace", "cat", "dog"],
                        shell(f"sed -i 's/cat/dog/g' '{target}'/*"), prepare=fresh_copy))
    return result


def scripts_bench(build):
    """The VBScript loop benchmark, wherever its folder is now."""
    for folder in ("scripts", "vbscript"):
        script = os.path.join(HERE, folder, "run.sh")
        if os.path.exists(script):
            return script
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    words = [word for word in args.only.split(",") if word]

    def selected(name):
        return not words or any(word in name for word in words)

    with tempfile.TemporaryDirectory(prefix="quillora-bench-") as folder:
        print(f"generating data in {folder} ...", flush=True)
        files = generate(folder)
        work = os.path.join(folder, "work")
        os.makedirs(work)
        print(f"{'benchmark':52} {'median':>10} {'of it CPU':>10} {'baseline':>10} {'ratio':>7} "
              f"{'peak':>14} {'after':>14}")
        done = {}
        for bench in benches(build, files, work):
            if not selected(bench.name):
                continue
            seconds, cpu, peak, steady = measure(bench, args.runs)
            done[bench.name] = (seconds, cpu)
            base = None
            if isinstance(bench.baseline, str):
                # Two of our own runs: compare their CPU time, which a busy machine
                # disturbs far less than the wall clock.
                base_seconds, base_cpu = done.get(bench.baseline, (None, None))
                base = base_seconds
                if cpu is not None and base_cpu:
                    seconds, base = cpu, base_cpu
            elif bench.baseline:
                base, _, _, _ = measure(Bench("", bench.baseline, prepare=bench.prepare),
                                        args.runs)
            peak_text = ""
            if peak is not None:
                peak_text = f"{peak:.0f} MB"
                if bench.file:
                    peak_text += f" {peak * 2**20 / os.path.getsize(bench.file):.1f}x"
            steady_text = ""
            if steady:
                steady_text = f"{steady:.0f} MB"
                if bench.file:
                    steady_text += f" {steady * 2**20 / os.path.getsize(bench.file):.1f}x"
            base_text = f"{base * 1000:.1f} ms" if base else "-"
            ratio_text = f"{seconds / base:.2f}" if base else "-"
            if base and bench.size_ratio:
                # The cost of one doubling of the input: 2.0 grows in proportion.
                per_doubling = (seconds / base) ** (1 / math.log2(bench.size_ratio))
                ratio_text = f"{per_doubling:.2f}/2x"
            cpu_text = f"{cpu * 1000:.1f} ms" if cpu is not None else "-"
            median_seconds = done[bench.name][0]
            print(f"{bench.name:52} {median_seconds * 1000:8.1f} ms {cpu_text:>10} {base_text:>10} "
                  f"{ratio_text:>7} {peak_text:>14} {steady_text:>14}", flush=True)
        script = scripts_bench(build)
        if script and selected("VBScript loop"):
            print("VBScript loop (and three more scripts) against python3 and Lua 5.4, "
                  "processor time, best of 5:", flush=True)
            subprocess.run([script, build], check=False)


if __name__ == "__main__":
    sys.exit(main())
