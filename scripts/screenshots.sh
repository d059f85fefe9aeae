#!/usr/bin/env bash
# Pictures of every window as a user sees them: a virtual display of the given size with the
# openbox window manager, the program's windows opened in turn by build/bin/screenshot_tour,
# LibreOffice Writer's among them (a printed list of measures, a card, a filled document).
# Usage: scripts/screenshots.sh [WIDTHxHEIGHT] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-1280x1024}"
out="$(realpath -m "${2:-build/screenshots/$size}")"
cmake --build build --target screenshot_tour reportf zelm_libreoffice > /dev/null
display=":$((50 + RANDOM % 200))"
# A home of its own: a fresh installation folder and the LibreOffice profiles of a user who has
# used LibreOffice before (no first-start notices), in Russian.
home="$(mktemp -d)"
user="$home/.config/libreoffice/4/user"
mkdir -p "$user"
cat > "$user/registrymodifications.xcu" <<'XCU'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>7.4</value></prop></item>
<item oor:path="/org.openoffice.Office.Linguistic/General"><prop oor:name="UILocale" oor:op="fuse"><value>ru-RU</value></prop></item>
<item oor:path="/org.openoffice.Setup/L10N"><prop oor:name="ooLocale" oor:op="fuse"><value>ru-RU</value></prop></item>
</oor:items>
XCU

# Everything the tour started, LibreOffice too, carries this home in its environment.
stop_started() {
  for environ in /proc/[0-9]*/environ; do
    pid="${environ#/proc/}"; pid="${pid%/environ}"
    if { tr '\0' '\n' < "$environ"; } 2>/dev/null | grep -qxF "HOME=$home"; then
      kill "$pid" 2>/dev/null || true
    fi
  done
}
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp &
xvfb=$!
trap 'stop_started; kill "$xvfb" 2>/dev/null || true; sleep 1; rm -rf "$home"' EXIT
sleep 1
DISPLAY="$display" HOME="$home" openbox &
sleep 1
unset QT_QPA_PLATFORM XDG_CACHE_HOME XDG_CONFIG_HOME
DISPLAY="$display" HOME="$home" LANG=C LC_ALL=C timeout 300 build/bin/screenshot_tour "$out" "$home/ZELM"
