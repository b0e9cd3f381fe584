#!/usr/bin/env bash
# Proves the README's commands and the Debian package on a fresh Debian 12 machine:
# a minimal root made with debootstrap that has only git, make and ca-certificates.
#
#   scripts/check-fresh-machine.sh [COMMIT]     (default HEAD; runs as root)
#
# In a first clean root, on a clone of COMMIT: `make test` (every test passes, and none
# skips except those that cannot hold for root), `make run` (a window titled "Vornetica"
# on a virtual X server) and `make package`. lintian, appstreamcli and desktop-file-validate
# judge the package. In a second clean root: `apt-get install ./vornetica_*.deb`, then the
# installed `vornetica-cli --help`, `vornetica` (its window), `desktop-file-validate` on the
# installed desktop entry and `man -w vornetica-cli`.
#
# The X server runs on this machine, outside the roots, and the roots' tools for checking
# are installed only after make has done its own set-up, so nothing the check needs can
# stand in for a package the project forgot. The roots come from the mirror this machine's
# apt uses, with its Acquire settings (a dated snapshot needs Check-Valid-Until off). The
# bare root is kept in build/fresh-machine/ as a tarball, so only the first run waits for
# debootstrap. Logs, screenshots and the package are left in build/fresh-machine/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd -P)

suite=bookworm
base_packages=git,make,ca-certificates
work=$repo/build/fresh-machine
base_tarball=$work/debian12-minbase-${base_packages//,/-}.tar.gz
path_in_root=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

if [ "$(id -u)" -ne 0 ]; then
    echo "check-fresh-machine.sh: debootstrap, chroot and mount need root; run it as root" >&2
    exit 2
fi
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
if [ -z "${1:-}" ] && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "check-fresh-machine.sh: checking the commit $commit; uncommitted changes are not part of it"
fi

mkdir -p "$work"
rm -f "$work"/*.log "$work"/*.png "$work"/*.deb

say() { echo "== fresh machine: $*"; }

fail() {
    echo "FRESH MACHINE CHECK FAILED: $*" >&2
    exit 1
}

# Runs a stage in a subshell that stops at its first failing command, with its output in
# build/fresh-machine/NAME.log; on failure the log's end is shown and the check stops.
stage() {
    local name=$1 status
    shift
    local started_at=$SECONDS
    say "$name"
    set +e
    (
        set -e
        "$@"
    ) >"$work/$name.log" 2>&1
    status=$?
    set -e
    if [ $status -ne 0 ]; then
        tail -n 40 "$work/$name.log" >&2
        fail "$name after $((SECONDS - started_at)) s (whole log: build/fresh-machine/$name.log)"
    fi
    say "$name passed in $((SECONDS - started_at)) s"
}

# Processes still running inside a root were started by this check: they are ended by
# their id before the root's file systems are unmounted.
end_processes_in() {
    local root=$1 link pid
    for link in /proc/[0-9]*/root; do
        pid=${link#/proc/}
        pid=${pid%/root}
        if [ "$(readlink "$link" 2>/dev/null)" = "$root" ]; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    done
}

mounts_under() {
    awk -v root="$1/" 'index($2, root) == 1 { print $2 }' /proc/mounts | sort -r
}

unmount_root() {
    local root=$1 point
    end_processes_in "$root"
    mounts_under "$root" | while read -r point; do
        umount "$point" 2>/dev/null || umount -l "$point" || true
    done
}

x_server_pid=
clean_up() {
    unmount_root "$work/build-root"
    unmount_root "$work/install-root"
    if [ -n "$x_server_pid" ]; then
        kill "$x_server_pid" 2>/dev/null || true
    fi
}
trap clean_up EXIT
trap 'exit 130' INT TERM

# A root is only deleted when nothing is mounted in it any more: a bind mount of /dev
# left behind would otherwise take the machine's own device files with it.
remove_root() {
    local root=$1
    [ -e "$root" ] || return 0
    unmount_root "$root"
    if [ -n "$(mounts_under "$root")" ]; then
        fail "file systems are still mounted under $root; not removing it"
    fi
    rm -rf --one-file-system "$root"
}

# The Debian 12 sources of this machine's apt, whichever form they are written in,
# as "URI SUITE COMPONENT" lines.
debian_sources() {
    # shellcheck disable=SC2016 # apt fills in the $(FIELD)s
    apt-get indextargets --no-release-info \
        --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
        awk -v suite="$suite" '$1 == "deb" && ($3 == suite || index($3, suite "-") == 1) { print $2, $3, $4 }' |
        sort -u
}

mirror() {
    debian_sources | awk -v suite="$suite" '$2 == suite { print $1; exit }'
}

write_root_sources() {
    local root=$1 uri suites components
    rm -f "$root/etc/apt/sources.list"
    mkdir -p "$root/etc/apt/sources.list.d"
    debian_sources | awk '{ print $1 }' | sort -u | while read -r uri; do
        suites=$(debian_sources | awk -v uri="$uri" '$1 == uri { print $2 }' | sort -u | tr '\n' ' ')
        components=$(debian_sources | awk -v uri="$uri" '$1 == uri { print $3 }' | sort -u | tr '\n' ' ')
        printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: %s\nSigned-By: %s\n\n' \
            "$uri" "${suites% }" "${components% }" /usr/share/keyrings/debian-archive-keyring.gpg
    done >"$root/etc/apt/sources.list.d/debian.sources"
}

# The Acquire settings this machine's apt configuration adds to apt's own defaults.
write_root_acquire_settings() {
    local root=$1
    local format='%f "%v";%n'
    comm -23 \
        <(apt-config dump --format "$format" | grep '^Acquire::' | sort -u) \
        <(chroot "$root" /usr/bin/env -i PATH="$path_in_root" apt-config dump --format "$format" |
            grep '^Acquire::' | sort -u) \
        >"$root/etc/apt/apt.conf.d/90acquire-as-on-the-host"
}

make_base_tarball() {
    local mirror_uri base=$work/base-root
    mirror_uri=$(mirror)
    [ -n "$mirror_uri" ] || fail "this machine's apt has no source for Debian 12 ($suite)"
    remove_root "$base"
    debootstrap --variant=minbase --include="$base_packages" "$suite" "$base" "$mirror_uri"
    rm -f "$base/etc/apt/sources.list"
    chroot "$base" apt-get clean
    tar --numeric-owner -C "$base" -czf "$base_tarball.part" .
    mv "$base_tarball.part" "$base_tarball"
    remove_root "$base"
}

mount_in_root() {
    local root=$1
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --make-rslave "$root/sys"
    mount --rbind /dev "$root/dev"
    mount --make-rslave "$root/dev"
}

new_root() {
    local root=$1
    remove_root "$root"
    mkdir -p "$root"
    tar --numeric-owner -C "$root" -xzf "$base_tarball"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    write_root_sources "$root"
    write_root_acquire_settings "$root"
    mount_in_root "$root"
}

# As root inside the root, with the environment a root login there would have.
in_root() {
    local root=$1
    shift
    chroot "$root" /usr/bin/env -i PATH="$path_in_root" HOME=/root TERM=dumb "$@"
}

clone_commit() {
    local root=$1 target=$1/srv/vornetica
    git clone --quiet --no-checkout "file://$repo" "$target"
    git -C "$target" fetch --quiet origin "$commit"
    git -C "$target" -c advice.detachedHead=false checkout --quiet --detach "$commit"
    git -C "$target" log -1 --format='checking %h %s'
}

# ctest lists every skipped test; each must have said that it cannot hold for root
# (its GTEST_SKIP message begins with "root"). Any other skip is a missing package or a
# broken set-up, and fails the check.
check_skips() {
    local log=$1 results=$2 name reason status=0
    grep -q '^100% tests passed' "$log" || { echo "make test did not report 100% tests passed"; return 1; }
    while read -r name; do
        reason=$(awk -v name="$name" '
            /^[0-9]+\/[0-9]+ Test: / { test = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", test); inside = test == name }
            inside && after_skip { print; exit }
            inside && / Skipped$/ { after_skip = 1 }
            inside && /^Test (Passed|Failed)|end time:/ { inside = 0 }' "$results")
        if [[ $reason == root* ]]; then
            echo "skipped as root, as allowed: $name ($reason)"
        else
            echo "skipped for a reason other than root: $name (${reason:-no reason given})"
            status=1
        fi
    done < <(sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) \(Skipped\)$/\1/p' "$log")
    return $status
}

# A user who is not root, on a machine without sudo, is told what to run as root, and
# nothing is built.
make_test_without_root_or_sudo() {
    local root=$1 output
    if output=$(chroot --userspec=65534:65534 "$root" /usr/bin/env -i PATH="$path_in_root" \
        HOME=/nonexistent TERM=dumb bash -c 'cd /srv/vornetica && make test' 2>&1); then
        echo "$output"
        echo "make test as a user without sudo went on"
        return 1
    fi
    echo "$output"
    grep -qF "su -c 'scripts/install-deps.sh'" <<<"$output"
    [ ! -e "$root/srv/vornetica/build" ]
}

make_test() {
    local root=$1
    in_root "$root" bash -c 'cd /srv/vornetica && make test'
}

# A virtual X server on this machine; the roots reach it through its socket and cookie.
start_x_server() {
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    display=:$n
    xauthority=$work/xauthority
    rm -f "$xauthority"
    touch "$xauthority"
    xauth -q -f "$xauthority" add "$display" MIT-MAGIC-COOKIE-1 "$(mcookie)"
    Xvfb "$display" -auth "$xauthority" -nolisten tcp -screen 0 1280x800x24 >"$work/xvfb.log" 2>&1 &
    x_server_pid=$!
    for _ in $(seq 50); do
        on_display xwininfo -root >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    fail "the virtual X server did not start (build/fresh-machine/xvfb.log)"
}

on_display() {
    DISPLAY=$display XAUTHORITY=$xauthority "$@"
}

# A window titled "Vornetica" that is mapped and can be seen.
window_titled_vornetica() {
    local id
    for id in $(on_display xwininfo -root -tree 2>/dev/null | awk '$2 == "\"Vornetica\":" { print $1 }'); do
        if on_display xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            return 0
        fi
    done
    return 1
}

# Starts COMMAND in the root on the virtual X server, waits for a window titled
# "Vornetica", keeps a screenshot as NAME.png and ends the program.
open_window() {
    local root=$1 name=$2 program_dir=$3
    shift 3
    mkdir -p "$root/tmp/.X11-unix"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    cp "$xauthority" "$root/tmp/check-xauthority"
    # shellcheck disable=SC2016 # the root's bash expands them
    setsid chroot "$root" /usr/bin/env -i PATH="$path_in_root" HOME=/root TERM=dumb \
        DISPLAY="$display" XAUTHORITY=/tmp/check-xauthority \
        bash -c 'cd "$0" && exec "$@"' "$program_dir" "$@" &
    local pid=$! waited=0
    while ! window_titled_vornetica; do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" || true
            echo "$* ended without showing a window titled Vornetica"
            return 1
        fi
        if [ $waited -ge 900 ]; then
            echo "no window titled Vornetica after $waited s"
            kill -- -"$pid" 2>/dev/null || true
            return 1
        fi
        sleep 1
        waited=$((waited + 1))
    done
    sleep 2
    on_display xwininfo -root -tree | grep -F '"Vornetica"'
    on_display import -window root "$work/$name.png"
    echo "window titled Vornetica shown; screenshot: build/fresh-machine/$name.png"
    kill -- -"$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    end_processes_in "$root"
    umount "$root/tmp/.X11-unix"
}

make_package() {
    local root=$1
    in_root "$root" bash -c 'cd /srv/vornetica && make package'
    cp "$root"/srv/vornetica/build/default/vornetica_*.deb "$work/"
}

judge_package() {
    local deb unpacked=$work/package-contents
    deb=$(ls "$work"/vornetica_*.deb)
    lintian --fail-on error,warning --info --display-level '>=info' "$deb"
    echo "lintian: no errors, no warnings"
    rm -rf "$unpacked"
    dpkg-deb -x "$deb" "$unpacked"
    appstreamcli validate --no-net --explain "$unpacked"/usr/share/metainfo/*.metainfo.xml
    rm -rf "$unpacked"
}

install_package() {
    local root=$1
    cp "$work"/vornetica_*.deb "$root/tmp/"
    in_root "$root" bash -c 'apt-get update -qq && cd /tmp &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./vornetica_*.deb'
}

installed_cli_help() {
    local root=$1
    in_root "$root" bash -c 'cd /tmp && vornetica-cli --help' | tee /dev/stderr | grep -q 'vornetica-cli train'
}

# desktop-file-validate stays silent on an entry it has nothing to say about.
installed_entry_and_manual() {
    local root=$1 hints
    in_root "$root" bash -c 'DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        desktop-file-utils man-db >/dev/null'
    hints=$(in_root "$root" desktop-file-validate /usr/share/applications/vornetica.desktop 2>&1) || {
        echo "$hints"
        return 1
    }
    if [ -n "$hints" ]; then
        echo "desktop-file-validate: $hints"
        return 1
    fi
    echo "desktop-file-validate: no remarks"
    in_root "$root" man -w vornetica-cli
}

say "checking commit $commit"
stage host-tools scripts/install-deps.sh --fresh-machine-check
if [ ! -f "$base_tarball" ]; then
    stage debootstrap make_base_tarball
else
    say "using the bare root kept in ${base_tarball#"$repo"/}"
fi

build_root=$work/build-root
install_root=$work/install-root
stage new-build-root new_root "$build_root"
stage clone clone_commit "$build_root"
stage make-test-as-a-user make_test_without_root_or_sudo "$build_root"
stage make-test make_test "$build_root"
stage test-skips check_skips "$work/make-test.log" \
    "$build_root/srv/vornetica/build/default/Testing/Temporary/LastTest.log"
start_x_server
stage make-run open_window "$build_root" make-run /srv/vornetica make run
stage make-package make_package "$build_root"
stage package-checks judge_package
remove_root "$build_root"

stage new-install-root new_root "$install_root"
stage install-package install_package "$install_root"
stage installed-cli installed_cli_help "$install_root"
stage installed-window open_window "$install_root" installed-window /root vornetica
stage installed-entry-and-manual installed_entry_and_manual "$install_root"
remove_root "$install_root"
say "all passed: make test, make run, make package, and the installed package"
