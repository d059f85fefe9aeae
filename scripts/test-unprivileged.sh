#!/usr/bin/env bash
# Runs test programs again as an unprivileged user. As root some tests prove nothing (root
# reads an unreadable file, writes into a read-only folder) and skip; here they run for real.
# Usage: scripts/test-unprivileged.sh BUILD_DIR TEST_PROGRAM...
# Does nothing when not run as root: the normal run was unprivileged already.
set -uo pipefail
build="$1"
shift
if [ "$(id -u)" != 0 ]; then
    echo "not root: the normal test run covered the unprivileged cases"
    exit 0
fi
user=nobody
group="$(id -gn "$user" 2>/dev/null || echo nogroup)"
if ! id "$user" > /dev/null 2>&1; then
    echo "no user $user to run the tests as" >&2
    exit 1
fi
# The build folder may sit below folders only root can enter, so the programs run from a copy
# in a folder of their own that the user can read; they are statically linked with the project.
# A folder where the user may run programs: /tmp may be mounted noexec.
work=""
for base in "${TMPDIR:-/tmp}" /tmp /var/tmp /dev/shm; do
    candidate="$(mktemp -d "$base/zelm-unprivileged.XXXXXX" 2> /dev/null)" || continue
    chmod 0755 "$candidate"
    install -m 0755 /bin/true "$candidate/probe"
    if setpriv --reuid="$user" --regid="$group" --clear-groups "$candidate/probe" 2> /dev/null; then
        work="$candidate"
        break
    fi
    rm -rf "$candidate"
done
if [ -z "$work" ]; then
    echo "no folder where $user may run the test programs" >&2
    exit 1
fi
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/home" "$work/runtime"
chown "$user:$group" "$work/home" "$work/runtime"
chmod 0700 "$work/runtime"
status=0
for name in "$@"; do
    program="$(find "$build" -type f -name "$name" -perm -u+x | head -n 1)"
    if [ -z "$program" ]; then
        echo "test program $name not found in $build" >&2
        status=1
        continue
    fi
    install -m 0755 "$program" "$work/bin/$name"
    echo "== $name as $user =="
    # A clean environment: the user's own home and temporary folder, headless Qt.
    if ! (cd "$work/home" && setpriv --reuid="$user" --regid="$group" --clear-groups \
        env -i PATH=/usr/bin:/bin HOME="$work/home" TMPDIR="$work/home" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        "$work/bin/$name" --gtest_brief=1); then
        status=1
    fi
done
exit $status
