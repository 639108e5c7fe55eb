#!/bin/sh
# Installs the build in $1 into a temporary prefix, checks that every part arrived in its
# place, and validates the desktop entry and the AppStream metainfo.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

DESTDIR= cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/quillora bin/quillora-script; do
    test -x "$prefix/$file" || { echo "missing: $file"; exit 1; }
done
for file in share/quillora/help/de/index.html share/quillora/help/en/index.html \
    share/quillora/help/de/multifile.html share/quillora/help/en/multifile.html \
    share/quillora/help/help.css share/quillora/proposals/HtmlItems.src \
    share/applications/com.quillora.QuilloraPro.desktop \
    share/metainfo/com.quillora.QuilloraPro.metainfo.xml \
    share/man/man1/quillora.1.gz share/man/man1/quillora-script.1.gz \
    share/doc/quillora/copyright share/doc/quillora/changelog.gz \
    lib/quillora/libquillora-script-full.so; do
    test -f "$prefix/$file" || { echo "missing: $file"; exit 1; }
done
# The console runner takes .vbs files on its own and .js files through its module in
# lib/quillora.
printf 'WScript.Echo "vbs", 1 + 1\n' >"$prefix/run.vbs"
printf 'WScript.Echo("js", 1 + 1);\n' >"$prefix/run.js"
for script in run.vbs run.js; do
    out=$("$prefix/bin/quillora-script" "$prefix/$script" 2>&1) || { echo "$script: $out"; exit 1; }
    [ "$out" = "${script#run.} 2" ] || { echo "$script printed '$out'"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/com.quillora.QuilloraPro.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.quillora.QuilloraPro.metainfo.xml"
# The manual pages render without a warning (as lintian checks them).
for page in quillora quillora-script; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page.1: $warnings"; exit 1; }
done
# The release history starts with the version being built.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
first=$(gzip -dc "$prefix/share/doc/quillora/changelog.gz" | head -1)
case "$first" in
"quillora ($version) "*) ;;
*) echo "changelog starts with '$first', not version $version"; exit 1 ;;
esac
echo "installed and valid"
