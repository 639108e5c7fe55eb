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
    share/metainfo/com.quillora.QuilloraPro.metainfo.xml; do
    test -f "$prefix/$file" || { echo "missing: $file"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/com.quillora.QuilloraPro.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.quillora.QuilloraPro.metainfo.xml"
echo "installed and valid"
