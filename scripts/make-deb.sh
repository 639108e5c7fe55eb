#!/bin/sh
# make-deb.sh BUILD OUTDIR: packs the build in BUILD into OUTDIR/quillora_<version>_amd64.deb
# with CPack's DEB generator (settings in cmake/Packaging.cmake) and prints the file's path.
# Compiles nothing: `make deb` builds first.
set -eu
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

# The package carries our build of QScintilla; one linked against Debian's would work but
# types slowly in large files, so refuse to pack it.
if ! grep -q 'lib/quillora' "$build/cmake_install.cmake"; then
    echo "make-deb: $build links Debian's QScintilla; run scripts/build-qscintilla.sh" \
        "(make deps) and configure again" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$work" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log" >&2
    exit 1
}
# Two mends to what CPack makes. It adds postinst and postrm scripts that run ldconfig for
# any library below /usr/lib, even in a private folder that ldconfig never reads; the
# package needs neither. And it counts Installed-Size before stripping; count it again
# as dpkg-gencontrol does (KiB per file rounded up, 1 per directory or link).
for deb in "$work"/quillora_*.deb; do
    dpkg-deb -R "$deb" "$work/tree"
    rm -f "$work/tree/DEBIAN/postinst" "$work/tree/DEBIAN/postrm"
    size=$(cd "$work/tree" && find . -path ./DEBIAN -prune -o ! -path . -printf '%y %s\n' |
        awk '{ n += ($1 == "f") ? int(($2 + 1023) / 1024) : 1 } END { print n }')
    sed -i "s/^Installed-Size: .*/Installed-Size: $size/" "$work/tree/DEBIAN/control"
    dpkg-deb --root-owner-group -Zxz -b "$work/tree" "$out/$(basename "$deb")" >/dev/null
    rm -rf "$work/tree"
    echo "$out/$(basename "$deb")"
done
