# A clean Debian in a throw-away chroot, for the tests that check what a new machine gets.
# Sourced by install-test.sh and clean-machine-test.sh, with `status`, `pass`, `fail`, `finish`
# and `step` defined.
#
#   chroot_open SUITE        bookworm or trixie: unpacks a minimal Debian (debootstrap
#                            --variant=minbase) into $root, with /proc mounted and the machine's
#                            own Debian mirror as its apt source; `in_root COMMAND ...` runs
#                            there as root.
#   chroot_mount_dev         also binds /dev, /dev/pts and /dev/shm (a sound server, a build).
#   chroot_close             kills what still runs in the chroot, unmounts and removes it.
#   start_xvfb, start_trayer a virtual X display of this machine ($display, $xvfb_pid), which the
#                            chroot reaches through the abstract X socket, and trayer on it
#                            ($tray_pid); stop_pid ends either. Both need $work.
#
# Each suite is bootstrapped once from the mirror and kept as SUITE-minbase-ARCH.tar.gz, with
# the .debs apt fetched beside it, in $REGISTRATORE_CHROOT_CACHE (default
# /var/cache/registratore/chroots): outside the checkout, so that every run on the machine
# shares it. A tarball older than a week is bootstrapped again, so the chroot stays close to
# what debootstrap gives a new machine today.

chroot_cache=${REGISTRATORE_CHROOT_CACHE:-/var/cache/registratore/chroots}
chroot_fresh_days=7
root=""
root_env=(/usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
in_root() { chroot "$root" "${root_env[@]}" "$@"; }

mounts_under() { awk -v r="$1/" 'index($2 "/", r) == 1 { print $2 }' /proc/mounts; }

# The Debian archive and its security archive the machine's apt uses, as "URI SECURITY-URI".
debian_mirrors() {
    local uris
    uris=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
               awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^https?:/) { print $i; break } }'
           sed -n 's/^URIs:[[:space:]]*//Ip' /etc/apt/sources.list.d/*.sources 2>/dev/null | tr ' ' '\n')
    local archive security
    archive=$(grep -E '/debian/?$' <<<"$uris" | head -n1)
    security=$(grep -E '/debian-security/?$' <<<"$uris" | head -n1)
    echo "${archive%/} ${security%/}"
}

chroot_open() {
    local suite=$1 arch mirror security tarball
    arch=$(dpkg --print-architecture)
    read -r mirror security <<<"$(debian_mirrors)"
    mirror=${PACKAGE_TEST_MIRROR:-$mirror}
    if [[ -z $mirror ]]; then
        fail "a Debian mirror in /etc/apt/sources.list(.d)"
        return 1
    fi
    tarball=$chroot_cache/$suite-minbase-$arch.tar.gz
    chroot_archives=$chroot_cache/apt-archives-$suite-$arch
    mkdir -p "$chroot_cache" "$chroot_archives"
    if [[ -f $tarball && -z $(find "$tarball" -mtime -"$chroot_fresh_days") ]]; then
        step "the $suite tarball is older than $chroot_fresh_days days: bootstrapping it again"
        rm -f "$tarball"
        rm -f "$chroot_archives"/*.deb
    fi
    if [[ ! -f $tarball ]]; then
        step "bootstrapping Debian $suite (minbase) from $mirror"
        local fresh t0=$SECONDS
        fresh=$(mktemp -d "$chroot_cache/bootstrap.XXXXXX")
        if timeout 1800 debootstrap --variant=minbase "$suite" "$fresh/root" "$mirror" >"$fresh/debootstrap.log" 2>&1 &&
            tar -C "$fresh/root" -czf "$fresh/root.tar.gz" . && mv "$fresh/root.tar.gz" "$tarball"; then
            echo "   debootstrap and tarball: $((SECONDS - t0)) s"
        else
            fail "debootstrap --variant=minbase $suite $mirror" "$(tail -n 30 "$fresh/debootstrap.log")"
        fi
        [[ -z $(mounts_under "$fresh") ]] && rm -rf --one-file-system "$fresh"
        [[ -f $tarball ]] || return 1
    else
        echo "   the $suite tarball from $(date -r "$tarball" '+%F %R') (kept for $chroot_fresh_days days)"
    fi

    step "unpacking Debian $suite into a chroot"
    root=$(mktemp -d "$chroot_cache/root.XXXXXX")
    if ! tar -C "$root" -xzf "$tarball" || ! mount -t proc proc "$root/proc"; then
        fail "unpacking $tarball into a chroot"
        return 1
    fi
    # What apt on a new machine of that release reads: the release, its updates, its security
    # fixes, from the mirror this machine uses.
    local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    {
        echo "deb [signed-by=$keyring] $mirror $suite main"
        echo "deb [signed-by=$keyring] $mirror $suite-updates main"
        [[ -z $security ]] || echo "deb [signed-by=$keyring] $security $suite-security main"
    } >"$root/etc/apt/sources.list"
    rm -f "$root"/etc/apt/sources.list.d/*
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    # Nothing installed here may start a service.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod +x "$root/usr/sbin/policy-rc.d"
    # The .debs fetched by earlier runs: hard links, so nothing is copied.
    cp -l "$chroot_archives"/*.deb "$root/var/cache/apt/archives/" 2>/dev/null
    return 0
}

chroot_mount_dev() {
    local d
    for d in dev dev/pts dev/shm; do
        mkdir -p "$root/$d"
        mount --bind "/$d" "$root/$d" || return 1
    done
}

# Keeps the .debs apt fetched for the next run.
chroot_keep_archives() {
    [[ -n $root && -d $root/var/cache/apt/archives ]] &&
        cp -n "$root"/var/cache/apt/archives/*.deb "$chroot_archives/" 2>/dev/null
    return 0
}

chroot_close() {
    [[ -n $root && -d $root ]] || return 0
    chroot_keep_archives
    # Anything still running inside the chroot would keep its mounts busy.
    local link pid m
    for link in /proc/[0-9]*/root; do
        [[ $(readlink "$link" 2>/dev/null) == "$root" ]] || continue
        pid=${link#/proc/}
        kill -KILL "${pid%/root}" 2>/dev/null
    done
    sleep 0.2
    mounts_under "$root" | sort -r | while read -r m; do umount "$m" 2>/dev/null || umount -l "$m"; done
    # Never delete through a mount: if one is left, leave the chroot for a person to look at.
    if [[ -z $(mounts_under "$root") ]]; then
        rm -rf --one-file-system "$root"
    else
        echo "left $root in place: it still has mounts" >&2
    fi
    root=""
}

stop_pid() { # pid: TERM, then KILL after 5 s
    [[ -n $1 ]] && kill -0 "$1" 2>/dev/null || return 0
    kill -TERM "$1" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
    display=:$(head -n1 "$work/display")
    if [[ $display == ":" ]]; then
        fail "Xvfb starts" "$(cat "$work/xvfb.log")"
        return 1
    fi
}

start_trayer() {
    DISPLAY=$display NO_AT_BRIDGE=1 setsid trayer >"$work/trayer.log" 2>&1 </dev/null &
    tray_pid=$!
    for _ in $(seq 100); do
        DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep -q '("panel" "trayer")' && break
        sleep 0.1
    done
}
