#!/usr/bin/env bash
# Installs the Debian package on a clean Debian (the release it was built on) and starts the recorder from its desktop entry.
#
#   tests/package/install-test.sh [registratore_<version>_<arch>.deb]
#
# Without an argument the package is built first (build-pkg/, cpack -G DEB), with the test address
# https://example.org/registratore as REGISTRATORE_PROJECT_URL. Then:
#   - the package's control data, desktop entry, AppStream data and icons are checked, lintian
#     finds no error and no warning, and `man -l` renders the manual page; the AppStream data
#     (as packaged, and made by cmake/DesktopData.cmake with and without an address) has no
#     warning of `appstreamcli validate --pedantic`, and every language of
#     resources/desktop/po/LINGUAS reaches the desktop entry and the AppStream data;
#   - a minimal Debian of the machine's own release (debootstrap --variant=minbase) is unpacked
#     into a throw-away chroot (chroot.sh: bootstrapped from the machine's own Debian mirror and
#     kept for a week, with the downloaded .debs beside it);
#   - `apt-get install ./registratore.deb` runs there with --no-install-recommends, so only the
#     package's Depends can make it work; `registratore --version` names the package's version;
#   - the Exec line of the installed desktop entry runs as an ordinary user on a virtual X display
#     (Xvfb on this machine; the chroot reaches it through the abstract X socket), once with trayer
#     as the status bar and once without one; each time it must stay up, say it has started, and
#     exit with status 0 on SIGTERM; a third time on Qt's offscreen platform with no display;
#   - with the shared MIME database, the desktop entries' cache and xdg-utils added, `xdg-mime
#     query filetype` calls a recording audio/x-caf and its default program is the recorder;
#   - the package is purged again, and the MIME database forgets the type.
# Needs root. Exits 0 only when every check passed.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
app_id=org.registratore.Registratore
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
started_at=$SECONDS

# Each check prints PASS or FAIL; any FAIL makes the exit status non-zero (ctest's label
# "package" runs this script as one test).
status=0
pass() { echo "PASS: $1"; }
fail() { status=1; echo "FAIL: $1"; [[ $# -lt 2 ]] || sed 's/^/    /' <<<"$2" | tail -n 30; }
finish() {
    echo "package test $( ((status == 0)) && echo passed || echo failed) in $((SECONDS - started_at)) s"
    exit "$status"
}
step() { echo "-- $* ($((SECONDS - started_at)) s)"; }

if [[ $(id -u) -ne 0 ]]; then
    fail "this test needs root (debootstrap, chroot, apt-get inside the chroot)"
    finish
fi
missing=()
for tool in debootstrap chroot dpkg-deb desktop-file-validate appstreamcli lintian man Xvfb trayer xwininfo cmake cpack; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    fail "missing tools: ${missing[*]} (scripts/install-deps.sh test installs them)"
    finish
fi

work=$(mktemp -d /tmp/registratore-package.XXXXXX)
source "$repo/tests/package/chroot.sh"
app_pid=""
tray_pid=""
xvfb_pid=""

cleanup() {
    stop_pid "$app_pid"
    stop_pid "$tray_pid"
    stop_pid "$xvfb_pid"
    chroot_close
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- the package ------------------------------------------------------------------------------

deb=${1:-}
if [[ -z $deb ]]; then
    step "building the package in build-pkg/"
    log=$work/build.log
    if cmake -S "$repo" -B "$repo/build-pkg" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DREGISTRATORE_TESTS=OFF -DREGISTRATORE_PROJECT_URL=https://example.org/registratore >"$log" 2>&1 &&
        cmake --build "$repo/build-pkg" >>"$log" 2>&1 &&
        (cd "$repo/build-pkg" && cpack -G DEB) >>"$log" 2>&1; then
        deb=$(ls -t "$repo"/build-pkg/registratore_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n1)
    fi
    if [[ -z $deb ]]; then
        fail "the package builds (cmake, cpack -G DEB)" "$(cat "$log")"
        finish
    fi
    pass "the package builds: ${deb#"$repo"/}"
fi
if [[ ! -f $deb ]]; then
    fail "no package at $deb"
    finish
fi
deb=$(realpath "$deb")

field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
problems=""
[[ $(field Package) == registratore ]] || problems+="Package is '$(field Package)', not registratore"$'\n'
[[ $(field Section) == sound ]] || problems+="Section is '$(field Section)', not sound"$'\n'
[[ -n $(field Maintainer) ]] || problems+="no Maintainer"$'\n'
[[ -n $(field Description) ]] || problems+="no Description"$'\n'
# libqt6core6 and libsndfile1 are only there if dpkg-shlibdeps ran over the binary; the packages
# that hold Qt's X11 and SVG plugins here must be there too (Debian 13 moved the SVG plugins out
# of libqt6svg6 into qt6-svg-plugins).
plugin_packages=$(for plugin in platforms/libqxcb.so iconengines/libqsvgicon.so imageformats/libqsvg.so; do
                      dpkg-query -S "/usr/lib/*/qt6/plugins/$plugin" 2>/dev/null | cut -d: -f1
                  done | sort -u)
for dependency in libqt6core6 libqt6widgets6 libsndfile1 libpulse0 $plugin_packages; do
    # Debian 13 names some libraries with t64 (the 64-bit time_t transition): libqt6core6t64.
    grep -Eq "(^|, )$dependency(t64)?( |,|$)" <<<"$depends" || problems+="Depends lacks $dependency"$'\n'
done
if [[ -z $problems ]]; then
    pass "control data: Section sound, Depends from the shared libraries plus the Qt plugins"
else
    fail "control data" "${problems}Depends: $depends"
fi

contents=$work/contents
dpkg-deb -x "$deb" "$contents"
desktop=$contents/usr/share/applications/$app_id.desktop
metainfo=$contents/usr/share/metainfo/$app_id.metainfo.xml
icons=$contents/usr/share/icons/hicolor
if out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $out ]]; then
    pass "desktop entry validates (desktop-file-validate)"
else
    fail "desktop entry validates (desktop-file-validate)" "$out"
fi
# name, file, [warning that is allowed]: no error or warning; the infos and pedantic notes are shown.
validate_metainfo() {
    local out
    out=$(appstreamcli validate --pedantic --no-net "$2" 2>&1)
    local status=$?
    local bad
    bad=$(grep -E '^[EW]: ' <<<"$out" | grep -v -e "${3:-^$}")
    if [[ $status -eq 0 && -z $bad ]] || [[ -n ${3:-} && -z $bad ]]; then
        pass "$1: appstreamcli validate --pedantic: no warning ($(grep -E '^[IPW]: ' <<<"$out" | cut -d' ' -f3 | sort -u | paste -sd ' '))"
    else
        fail "$1: appstreamcli validate --pedantic: no warning" "$out"
    fi
}
validate_metainfo "the package's AppStream data" "$metainfo"
# A package is built with the project's address: its web addresses and screenshots are there, and
# the screenshots' files are PNGs that software centres take (at least 624x351, about 16:9).
problems=""
for type in homepage bugtracker vcs-browser; do
    grep -q "<url type=\"$type\">https://[^<]*</url>" "$metainfo" || problems+="no <url type=\"$type\">"$'\n'
done
images=$(sed -n 's|.*<image>https://[^<]*/docs/screenshots/\([^<]*\)</image>.*|\1|p' "$metainfo")
[[ -n $images ]] || problems+="no screenshots"$'\n'
for image in $images; do
    size=$(file -b "$repo/docs/screenshots/$image" | grep -o 'PNG image data, [0-9]* x [0-9]*' | grep -o '[0-9]* x [0-9]*')
    read -r width _ height <<<"$size"
    if [[ -z $size ]] || ((width < 624 || height < 351 || width * 9 < height * 15 || width * 9 > height * 18)); then
        problems+="docs/screenshots/$image is not a PNG of at least 624x351, about 16:9 (${size:-not a PNG})"$'\n'
    fi
done
if [[ -z $problems ]]; then
    pass "AppStream data has its homepage, bugtracker, vcs-browser and screenshots ($(grep -c '<image>' "$metainfo") PNGs)"
else
    fail "AppStream data has its homepage, bugtracker, vcs-browser and screenshots" "$problems"
fi
# The URL tags come from REGISTRATORE_PROJECT_URL; without it appstream 1.0 asks for a homepage.
for url in https://example.org/registratore ""; do
    made=$work/desktop-data-${url:+with-url}
    if out=$(cmake -DPROJECT_URL="$url" -DOUTPUT_DIR="$made" -P "$repo/cmake/DesktopData.cmake" 2>&1); then
        grep -q '<url type="bugtracker">https://example.org/registratore/issues</url>' "$made/$app_id.metainfo.xml"
        if [[ $? -eq $([[ -n $url ]] && echo 0 || echo 1) ]]; then
            validate_metainfo "AppStream data made with REGISTRATORE_PROJECT_URL='$url'" "$made/$app_id.metainfo.xml" \
                "$([[ -z $url ]] && echo url-homepage-missing)"
        else
            fail "AppStream data made with REGISTRATORE_PROJECT_URL='$url' has its URL tags only then" \
                "$(grep '<url\|<image' "$made/$app_id.metainfo.xml")"
        fi
    else
        fail "cmake/DesktopData.cmake makes the AppStream data with REGISTRATORE_PROJECT_URL='$url'" "$out"
    fi
done
# Each language of LINGUAS in both files: the name, comment and keywords of the entry, the summary,
# paragraphs, keywords and captions of the AppStream data.
problems=""
for language in $(grep -v '^#' "$repo/resources/desktop/po/LINGUAS"); do
    for key in Name GenericName Comment Keywords; do
        grep -q "^$key\[$language\]=." "$desktop" || problems+="no $key[$language] in the desktop entry"$'\n'
    done
    for element in name summary p keyword caption; do
        grep -q "<$element xml:lang=\"$language\">" "$metainfo" ||
            [[ $element == caption && -z $(grep '<caption>' "$metainfo") ]] ||
            problems+="no <$element xml:lang=\"$language\"> in the AppStream data"$'\n'
    done
    [[ $(grep -c "<keyword xml:lang=\"$language\">" "$metainfo") -eq $(grep -c '<keyword>' "$metainfo") ]] ||
        problems+="not every keyword is translated to $language"$'\n'
done
if [[ -z $problems ]]; then
    pass "desktop entry and AppStream data in $(grep -v '^#' "$repo/resources/desktop/po/LINGUAS" | paste -sd ' ')"
else
    fail "desktop entry and AppStream data in every language of LINGUAS" "$problems"
fi

# One id for the desktop entry, the AppStream component and the icons; one version everywhere.
entry() { sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$1"'=//p}' "$desktop" | head -n1; }
problems=""
[[ -x $contents/usr/bin/registratore ]] || problems+="no /usr/bin/registratore"$'\n'
[[ $(entry Icon) == "$app_id" ]] || problems+="Icon=$(entry Icon), not $app_id"$'\n'
for icon in scalable/apps/$app_id.svg symbolic/apps/$app_id{,-recording,-paused}-symbolic.svg; do
    grep -q '<svg' "$icons/$icon" 2>/dev/null || problems+="no SVG icon $icon"$'\n'
done
grep -q "<id>$app_id</id>" "$metainfo" || problems+="AppStream id is not $app_id"$'\n'
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    problems+="AppStream launchable is not $app_id.desktop"$'\n'
latest=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n1 | sed 's/.*version="//; s/"$//')
[[ $latest == "$(field Version)" ]] ||
    problems+="newest AppStream release is '$latest' but the package is $(field Version)"$'\n'
if [[ -z $problems ]]; then
    pass "desktop entry, AppStream id, icons and version agree ($app_id, $(field Version))"
else
    fail "desktop entry, AppStream id, icons and version agree" "$problems"
fi

# A tag may only be suppressed by a lintian overrides file in the package, with its reason beside it.
out=$(lintian --fail-on error,warning "$deb" 2>&1)
lintian_status=$?
out=$(grep -v '^running with root privileges' <<<"$out")
if [[ $lintian_status -eq 0 && -z $out ]]; then
    pass "lintian: no errors, no warnings"
else
    fail "lintian: no errors, no warnings (exit status $lintian_status)" "$out"
fi

manual=$(MANWIDTH=80 man -l "$contents/usr/share/man/man1/registratore.1.gz" 2>&1)
problems=""
for part in NAME SYNOPSIS OPTIONS "EXIT STATUS" ENVIRONMENT FILES --record --stop --version -platform; do
    grep -qe "$part" <<<"$manual" || problems+="no '$part'"$'\n'
done
if [[ -z $problems ]]; then
    pass "man -l renders registratore(1): $(head -n1 <<<"$manual" | tr -s ' ')"
else
    fail "man -l renders registratore(1)" "$problems$manual"
fi

# --- a clean Debian ---------------------------------------------------------------------------

chroot_open "$suite" || finish
cp "$deb" "$root/tmp/registratore.deb"

step "apt-get install ./registratore.deb"
log=$work/apt.log
if timeout 300 chroot "$root" "${root_env[@]}" apt-get update -q >"$log" 2>&1 &&
    timeout 900 chroot "$root" "${root_env[@]}" \
        sh -c 'cd /tmp && apt-get install -y -q --no-install-recommends ./registratore.deb' >>"$log" 2>&1; then
    pass "apt-get install ./registratore.deb on a clean Debian $suite ($(grep -c '^Setting up' "$log") packages set up)"
else
    fail "apt-get install ./registratore.deb on a clean Debian $suite" "$(tail -n 30 "$log")"
    finish
fi
chroot_keep_archives

if out=$(in_root ldd /usr/bin/registratore 2>&1) && ! grep -q 'not found' <<<"$out"; then
    pass "every library of /usr/bin/registratore resolves"
else
    fail "every library of /usr/bin/registratore resolves" "$(grep 'not found' <<<"$out" || echo "$out")"
fi

# Without a display, as a bug report asks for it.
out=$(in_root /usr/bin/registratore --version 2>&1)
if [[ $(head -n1 <<<"$out") == "registratore $(field Version)" ]]; then
    pass "--version names the package's version: $(head -n1 <<<"$out")"
else
    fail "--version names the package's version $(field Version)" "$out"
fi

# --- start it from its desktop entry ----------------------------------------------------------

in_root useradd --create-home --shell /bin/sh tester
uid=$(in_root id -u tester)
gid=$(in_root id -g tester)
install -d -m 700 -o "$uid" -g "$gid" "$root/run/user/$uid"

installed_entry=$root/usr/share/applications/$app_id.desktop
exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/{s/^Exec=//p}' "$installed_entry" 2>/dev/null | head -n1)
# Field codes (%f, %U ...) stand for files or URLs to open; a launcher with none drops them.
exec_line=$(sed -E 's/%[fFuUdDnNickvm]//g; s/%%/%/g' <<<"$exec_line")
read -r -a command <<<"$exec_line"
if [[ ${#command[@]} -eq 0 ]]; then
    fail "the installed desktop entry has an Exec line" "$(cat "$installed_entry" 2>&1)"
    finish
fi
echo "   Exec=$exec_line"

start_xvfb || finish

launch() { # [NAME=value ...] [-- argument ...]: the desktop entry's command, as the user "tester"
    local environment=()
    while [[ $# -gt 0 && $1 != -- ]]; do environment+=("$1"); shift; done
    [[ $# -gt 0 ]] && shift
    : >"$work/out"
    : >"$work/err"
    chroot --userspec="$uid:$gid" "$root" /usr/bin/env -i HOME=/home/tester USER=tester LOGNAME=tester \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display" XDG_RUNTIME_DIR="/run/user/$uid" \
        "${environment[@]}" "${command[@]}" "$@" >"$work/out" 2>"$work/err" </dev/null &
    app_pid=$!
    launched_ms=$(date +%s%3N)
}
wait_for() { # file, text, seconds: 0 once the text is in the file; gives up early if the app ends
    local deadline=$((SECONDS + $3))
    while [[ $SECONDS -lt $deadline ]]; do
        grep -qF -- "$2" "$1" && return 0
        kill -0 "$app_pid" 2>/dev/null || { grep -qF -- "$2" "$1"; return; }
        sleep 0.05
    done
    return 1
}
terminate() { # name: SIGTERM must end the app with status 0 within 10 s
    kill -TERM "$app_pid"
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$app_pid" 2>/dev/null; then
        fail "$1: ends within 10 s of SIGTERM" "$(cat "$work/err")"
        stop_pid "$app_pid"
    else
        wait "$app_pid"
        local status=$?
        if [[ $status -eq 0 ]]; then
            pass "$1: SIGTERM ends it with exit status 0"
        else
            fail "$1: SIGTERM ends it with exit status 0 (it was $status)" "$(cat "$work/err")"
        fi
    fi
    app_pid=""
}
stays_up() { # name, seconds
    sleep "$2"
    if kill -0 "$app_pid" 2>/dev/null; then
        return 0
    fi
    wait "$app_pid"
    fail "$1: still running $2 s later (it ended with status $?)" "$(cat "$work/out" "$work/err")"
    app_pid=""
    return 1
}

step "starting it with trayer as the status bar"
start_trayer
# QT_DEBUG_PLUGINS shows which plugins Qt loads: the SVG icon engine draws the status icon.
launch QT_DEBUG_PLUGINS=1
if wait_for "$work/out" "Are we there yet?" 10; then
    pass "with a status bar: says \"Are we there yet?\" $(( $(date +%s%3N) - launched_ms )) ms after launch"
    if stays_up "with a status bar" 2; then
        if grep -q 'iconengines/libqsvgicon.so" loaded library' "$work/err"; then
            pass "with a status bar: the SVG icon engine is loaded for the status icon"
        else
            fail "with a status bar: the SVG icon engine is loaded for the status icon" \
                "$(grep -i 'svg\|iconengines' "$work/err")"
        fi
        terminate "with a status bar"
    fi
else
    fail "with a status bar: says \"Are we there yet?\" within 10 s" "$(cat "$work/out" "$work/err" | grep -v '^qt\.core\.\|^ ')"
    stop_pid "$app_pid"
fi
stop_pid "$tray_pid"
tray_pid=""

no_tray_sentence="no status bar (system tray) was found"
# name, then launch's arguments: it says it opens in an ordinary window, stays up, ends on SIGTERM
opens_a_window() {
    local name=$1
    shift
    launch "$@"
    if wait_for "$work/err" "$no_tray_sentence" 10; then
        pass "$name: says it opens in an ordinary window, $(( $(date +%s%3N) - launched_ms )) ms after launch"
        stays_up "$name" 2 && terminate "$name"
    else
        fail "$name: says it opens in an ordinary window within 10 s" "$(cat "$work/out" "$work/err")"
        stop_pid "$app_pid"
    fi
    app_pid=""
}
step "starting it without a status bar"
opens_a_window "without a status bar"
step "starting it on Qt's offscreen platform, with no display"
opens_a_window "-platform offscreen, no display" DISPLAY= -- -platform offscreen

# --- the recordings' type ---------------------------------------------------------------------

# Added only now, so that nothing above could lean on them: the shared MIME database, the desktop
# entries' cache and xdg-mime, which reads the database through mimetype(1) on a desktop it does
# not know (file(1) knows no CAF). Their dpkg triggers take in what the package installed.
step "apt-get install shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl"
mime_tools=0
if out=$(timeout 600 chroot "$root" "${root_env[@]}" apt-get install -y -q --no-install-recommends \
             shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl 2>&1); then
    mime_tools=1
else
    fail "apt-get install shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl" "$out"
fi
chroot_keep_archives
# A recording, by its name and, as "recording", by its first bytes alone.
cp "$repo/tests/fuzz/corpus/mono-12k" "$root/tmp/a recording.caf"
cp "$repo/tests/fuzz/corpus/mono-12k" "$root/tmp/recording"
filetypes() { for file in "/tmp/a recording.caf" /tmp/recording; do in_root xdg-mime query filetype "$file" 2>&1; done | sort -u; }
if ((mime_tools)); then
    types=$(filetypes)
    default=$(in_root xdg-mime query default audio/x-caf 2>&1)
    if [[ $types == audio/x-caf && $default == "$app_id.desktop" ]]; then
        pass "xdg-mime query filetype says audio/x-caf of a recording (by name and by content); its default is $default"
    else
        fail "xdg-mime query filetype says audio/x-caf of a recording; its default is $app_id.desktop" \
            "filetype: $types"$'\n'"default: $default"
    fi
fi

# --- and away again ---------------------------------------------------------------------------

step "apt-get purge registratore"
if out=$(timeout 300 chroot "$root" "${root_env[@]}" apt-get purge -y -q registratore 2>&1) &&
    [[ ! -e $root/usr/bin/registratore && ! -e $installed_entry && ! -e $root/usr/share/metainfo/$app_id.metainfo.xml ]]; then
    pass "apt-get purge removes the binary, desktop entry and AppStream data"
else
    fail "apt-get purge removes the binary, desktop entry and AppStream data" "$out"
fi
if ((mime_tools)); then
    types=$(filetypes)
    if [[ $types != *audio/x-caf* ]]; then
        pass "after the purge the MIME database no longer knows audio/x-caf ($(tr '\n' ' ' <<<"$types"))"
    else
        fail "after the purge the MIME database no longer knows audio/x-caf" "$types"
    fi
fi

finish
