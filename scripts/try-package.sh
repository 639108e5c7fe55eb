#!/bin/sh
# try-package.sh DEB: installs the package on this machine with apt-get, checks the
# installed programs, removes and purges it again together with the packages it pulled
# in, and compares a list of the machine's files before and after. Changes the system:
# for a test machine, as root. With DISPLAY set it also starts the editor through its
# menu entry and leaves a screenshot in /tmp/quillora-package-start.png.
set -eu
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export DEBIAN_FRONTEND=noninteractive
apt="apt-get -y -q -o DPkg::Lock::Timeout=600"

# Every file and folder of the root file system, except places that change on their own.
snapshot() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
        -o -path /var/tmp -o -path /var/log -o -path /var/cache -o -path /var/lib/apt/lists \
        -o -path /root -o -path /home -o -path /work \) -prune -o -printf '%p\t%y\n' |
        LC_ALL=C sort
}
packages() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort; }

snapshot >"$work/before"
packages >"$work/packages-before"
echo "== apt-get install $deb"
$apt install "$deb" | grep -E '^(The following|  |Setting up|[0-9]+ upgraded)' || true
packages >"$work/packages-installed"
echo "== new packages: $(comm -13 "$work/packages-before" "$work/packages-installed" | tr '\n' ' ')"
echo "== files added: $(snapshot | comm -13 "$work/before" - | wc -l)"

echo "== quillora-script"
printf 'WScript.Echo "2 + 3 = " & (2 + 3)\nWScript.Quit 4\n' >"$work/sum.vbs"
status=0
quillora-script "$work/sum.vbs" || status=$?
echo "exit status $status"
echo "== man -w: $(man -w quillora quillora-script | tr '\n' ' ')"

if [ -n "${DISPLAY:-}" ]; then
    desktop=/usr/share/applications/com.quillora.QuilloraPro.desktop
    command=$(sed -n 's/^Exec=//p' "$desktop" | sed "s|%f|$work/page.html|")
    printf '<!DOCTYPE html>\n<html>\n<body>\n<h1>From the package</h1>\n</body>\n</html>\n' \
        >"$work/page.html"
    mkdir -p "$work/home"
    echo "== start: $command (HOME=$work/home)"
    env HOME="$work/home" XDG_DATA_HOME="$work/home/data" $command &
    pid=$!
    sleep 5
    import -window root /tmp/quillora-package-start.png 2>/dev/null || true
    grep -o '/[^ ]*libqscintilla[^ ]*' "/proc/$pid/maps" | sort -u
    echo "data folder: $(ls "$work/home/data/qldata" | wc -l) files"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
fi

echo "== apt-get remove quillora"
$apt remove quillora | grep -E '^Removing' || true
echo "== left by remove: $(snapshot | comm -13 "$work/before" - | grep -c quillora || true) files named quillora"
echo "== apt-get purge quillora and what it pulled in"
pulled=$(comm -13 "$work/packages-before" "$work/packages-installed" | grep -vx quillora || true)
dpkg --purge quillora
[ -z "$pulled" ] || $apt purge $pulled | grep -E '^(Removing|Purging)' || true
snapshot >"$work/after"
if diff "$work/before" "$work/after"; then
    echo "== the file list after purge equals the one before ($(wc -l <"$work/before") entries)"
else
    echo "== the file lists differ (above)"
    exit 1
fi
