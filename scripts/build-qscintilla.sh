#!/usr/bin/env bash
# Builds QScintilla from Debian's own source package with our patches into a cache folder
# outside the build tree, once; later runs find it there and return at once.
#
# Why: Debian's QScintilla counts the characters from the start of the document to the
# edit on every insert, delete and cursor move (its accessibility support), so typing in
# a large file costs time in proportion to the position. The patch in scripts/qscintilla/
# takes the offset from Scintilla's UTF-16 line index instead.
#
# The library keeps Debian's headers and ABI; cmake/QScintilla.cmake links this build
# when it is there and Debian's otherwise. A failed build only prints a warning.
# `build-qscintilla.sh --path` prints the folder the build goes to, and builds nothing.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
patches=("$here"/qscintilla/*.patch)
stamp="$(cat "${patches[@]}" | sha256sum | cut -c1-12)"
version="$(dpkg-query -W -f='${source:Version}' libqscintilla2-qt6-15 2>/dev/null)"
if [ -z "$version" ]; then
    echo "build-qscintilla: libqscintilla2-qt6-15 is not installed" >&2
    exit 0
fi
cache_root="${QUILLORA_QSCINTILLA_CACHE:-/var/cache/quillora/qscintilla}"
target="$cache_root/${version//[^A-Za-z0-9.+-]/_}-$stamp"
if [ "${1:-}" = "--path" ]; then
    echo "$target"
    exit 0
fi
[ -f "$target/lib/libqscintilla2_qt6.so" ] && exit 0

warn() {
    echo "build-qscintilla: $*; the build uses Debian's QScintilla (slow typing in large files)" >&2
    exit 0
}

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# apt-get source needs a deb-src line; derive one from the machine's sources when missing.
if ! grep -rqs '^\(Types: *deb-src\|deb-src \)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    src=/etc/apt/sources.list.d/quillora-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ] && [ ! -f "$src" ]; then
        sed 's/^Types: *deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee "$src" >/dev/null || warn "cannot write $src"
    fi
    $sudo apt-get update -qq -o DPkg::Lock::Timeout=900 || warn "apt-get update failed"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "build-qscintilla: building QScintilla $version with our patches into $target (once)"
start=$(date +%s)
fetch() { (cd "$work" && apt-get source -qq "qscintilla2=$version" >/dev/null 2>&1); }
# A deb-src line added without `apt-get update` since: update once and try again.
fetch || { $sudo apt-get update -qq -o DPkg::Lock::Timeout=900 && fetch; } ||
    warn "apt-get source qscintilla2=$version failed"
srcdir="$(find "$work" -maxdepth 1 -type d -name 'qscintilla2-*' | head -1)"
[ -n "$srcdir" ] || warn "source package not unpacked"
for p in "${patches[@]}"; do
    patch -d "$srcdir" -p1 -s <"$p" || warn "patch $(basename "$p") does not apply"
done
mkdir -p "$srcdir/build"
(
    cd "$srcdir/build" &&
        qmake6 ../src/qscintilla.pro CONFIG+=release "QMAKE_CXXFLAGS+=-O2 -g0" >/dev/null &&
        make -s -j"$(nproc)" >/dev/null 2>"$work/make.log"
) || {
    tail -20 "$work/make.log" >&2
    warn "compiling QScintilla failed"
}

$sudo mkdir -p "$cache_root" || warn "cannot create $cache_root"
tmp="$(mktemp -d "$cache_root/.new.XXXXXX")" || warn "cannot write to $cache_root"
mkdir -p "$tmp/lib"
cp -a "$srcdir"/build/libqscintilla2_qt6.so* "$tmp/lib/"
rm -rf "$target"
mv "$tmp" "$target"
chmod 755 "$target"
echo "build-qscintilla: done in $(($(date +%s) - start)) s"
