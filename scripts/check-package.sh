#!/bin/sh
# check-package.sh BUILD: packs the build in BUILD into a temporary folder (make-deb.sh),
# then checks the package: its fields and dependencies, its file list, the run path to
# the private QScintilla, and lintian. Exits 77 (skipped) when dpkg-shlibdeps or lintian
# are missing. Lintian warnings named in data/deb/lintian-expected are known and
# explained in README.md; any other warning or error fails.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
for tool in dpkg-deb dpkg-shlibdeps lintian file; do
    if ! command -v $tool >/dev/null; then
        echo "package check skipped: $tool is not installed (scripts/install-deps.sh)"
        exit 77
    fi
done
if ! grep -q 'lib/quillora' "$build/cmake_install.cmake"; then
    echo "package check skipped: the build links Debian's QScintilla, which is not packed"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "package check: $*" >&2
    exit 1
}

deb=$("$here/make-deb.sh" "$build" "$work")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(basename "$deb")" = "quillora_${version}_amd64.deb" ] || fail "unexpected name $deb"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "Version $(field Version), not $version"
depends=$(field Depends)
for dep in libc6 libqt6core6 libqt6widgets6 libqt6qml6 qt6-qpa-plugins xdg-utils; do
    echo "$depends" | grep -Eq "(^|, )$dep( |,|$)" || fail "Depends lacks $dep: $depends"
done
echo "$depends" | grep -q qscintilla && fail "Depends names Debian's QScintilla: $depends"
[ "$(field Recommends)" = "pkexec" ] || fail "Recommends: $(field Recommends)"

# The file list: every file in one of the program's places, and the chief ones there.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|' >"$work/files"
stray=$(grep -v '/$' "$work/files" | grep -Ev '^/usr/(bin/quillora(-script)?|lib/quillora/(libqscintilla2_qt6\.so\.[0-9.]+|libquillora-script-full\.so)|share/(quillora/(help|proposals|macros)/.+|applications/com\.quillora\.QuilloraPro\.desktop|metainfo/com\.quillora\.QuilloraPro\.metainfo\.xml|icons/hicolor/[^/]+/apps/quillora\.(png|svg)|man/man1/quillora(-script)?\.1\.gz|doc/quillora/(copyright|changelog\.gz)))$' || true)
[ -z "$stray" ] || fail "files outside the program's places:
$stray"
for file in /usr/bin/quillora /usr/bin/quillora-script /usr/lib/quillora/libqscintilla2_qt6.so.15 \
    /usr/lib/quillora/libquillora-script-full.so \
    /usr/share/quillora/help/en/index.html /usr/share/quillora/help/de/index.html \
    /usr/share/quillora/proposals/HtmlItems.src /usr/share/quillora/macros/SortLines.vbs \
    /usr/share/man/man1/quillora.1.gz \
    /usr/share/man/man1/quillora-script.1.gz /usr/share/doc/quillora/copyright \
    /usr/share/doc/quillora/changelog.gz /usr/share/icons/hicolor/scalable/apps/quillora.svg \
    /usr/share/icons/hicolor/48x48/apps/quillora.png \
    /usr/share/applications/com.quillora.QuilloraPro.desktop \
    /usr/share/metainfo/com.quillora.QuilloraPro.metainfo.xml; do
    grep -qx "$file" "$work/files" || fail "missing $file"
done

# Both programs find the private library through their run path, not the system's.
dpkg-deb -x "$deb" "$work/root"
for program in quillora quillora-script; do
    runpath=$(readelf -d "$work/root/usr/bin/$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    [ "$runpath" = '$ORIGIN/../lib/quillora' ] || fail "$program run path: '$runpath'"
done
# The console runner starts with QtCore alone; QJSEngine comes with its module.
needed=$(readelf -d "$work/root/usr/bin/quillora-script" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
echo "$needed" | grep -q libQt6Qml && fail "quillora-script links QJSEngine: $needed"
ldd "$work/root/usr/bin/quillora" |
    grep -qF "=> $work/root/usr/bin/../lib/quillora/libqscintilla2_qt6.so.15 " ||
    fail "quillora does not load the QScintilla of lib/quillora"

# lintian: no error; only the warnings listed (with reasons) in data/deb/lintian-expected.
status=0
lintian --no-cfg --display-level '>=warning' "$deb" >"$work/lintian" 2>&1 || status=$?
cat "$work/lintian"
# 0: no error; 2: errors found (named below); anything else: lintian itself failed.
[ $status -eq 0 ] || [ $status -eq 2 ] || fail "lintian failed ($status)"
expected=$(dirname "$here")/data/deb/lintian-expected
unexpected=$(grep -E '^[EW]: ' "$work/lintian" | awk '{print $3}' | sort -u |
    grep -vxF -f "$expected" || true)
[ -z "$unexpected" ] || fail "lintian reports what is not expected: $unexpected"
echo "package $(basename "$deb"): fields, files, run path and lintian as expected"
