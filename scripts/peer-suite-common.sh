# The part both peer-suite scripts share: their arguments, the runner, and Wine's test
# scripts of one engine fetched with apt-get into a cache folder outside the repository.
# Sourced with the engine's folder name and file ending set:
#   engine=vbscript ending=vbs; . scripts/peer-suite-common.sh "$@"
# Leaves verbose, repo, build, runner, tests (the folder of the test scripts) and work
# (a temporary folder, removed at exit).
# PEER_SUITE_CACHE overrides the cache folder (default ~/.cache/quillora/peer-suite).
verbose=""
if [ "${1:-}" = -v ]; then
    verbose=1
    shift
fi
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$repo/build}"
# the scripts run from another folder: a relative build folder is taken from here
[ -d "$build" ] && build="$(cd "$build" && pwd)"
runner="$build/quillora-script"
cache="${PEER_SUITE_CACHE:-$HOME/.cache/quillora/peer-suite}"
[ -x "$runner" ] || { echo "build quillora-script first ($runner)" >&2; exit 1; }

# Empty when the cache folder holds no tests yet (or does not exist): never a failure, so
# that set -e and pipefail let the fetch below run.
find_tests() {
    [ -d "$cache" ] || return 0
    find "$cache" -maxdepth 5 -path "*/dlls/$engine/tests" -type d 2>/dev/null | head -n 1 || true
}

fetch() {
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ &&
        ! grep -qs '^deb-src' /etc/apt/sources.list; then
        local src=/etc/apt/sources.list.d/quillora-deb-src.sources
        [ -e "$src" ] || sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$src"
        apt-get update -qq >&2
    fi
    mkdir -p "$cache"
    (
        cd "$cache"
        ls wine_*.orig.tar.* >/dev/null 2>&1 || apt-get source -qq --download-only wine >&2
        tar -xf "$(ls wine_*.orig.tar.* | head -n 1)" --wildcards "*/dlls/$engine/tests/*.$ending"
    )
}

tests="$(find_tests)"
if [ -z "$tests" ]; then
    fetch
    tests="$(find_tests)"
fi
[ -n "$tests" ] || { echo "could not fetch Wine's $engine tests into $cache" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
