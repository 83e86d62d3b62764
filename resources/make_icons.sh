#!/usr/bin/env bash
# Rebuilds the tool bar pictures in resources/images/ (everything except the
# port lamps, which make_lamps.sh draws):
#   - icons taken unchanged from the Tango icon theme (public domain),
#   - icons drawn by hand for this program as SVG in resources/svg/,
#   - three settings icons that get the gear badge (svg/gear.svg) on the
#     lower right.
# The PNGs are committed, so the build never runs this; run it after editing
# an SVG or changing the table below. ORIGIN.md must follow any change.
#
# Needs (Debian): tango-icon-theme, librsvg2-bin (rsvg-convert), imagemagick.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/images}"
svg="$here/svg"
tango="${TANGO_DIR:-/usr/share/icons/Tango}/32x32"

for tool in rsvg-convert convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make_icons.sh: $tool not found (apt-get install librsvg2-bin imagemagick)" >&2
        exit 1
    fi
done
if [[ ! -d "$tango" ]]; then
    echo "make_icons.sh: $tango not found (apt-get install tango-icon-theme)" >&2
    exit 1
fi

mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Write a PNG without timestamps or other ancillary chunks, 8-bit RGBA.
save() { # save SRC DEST
    convert "$1" -strip -define png:exclude-chunks=date,time,tIME \
        -define png:bit-depth=8 "PNG32:$2"
}

# --- Tango icons, 32 x 32, used as they are --------------------------------
#      our name             theme path (under 32x32/)
tango_icons=(
    "openFile.png           actions/document-open.png"
    "Save.png               actions/document-save.png"
    "Save_as.png            actions/document-save-as.png"
    "newFile.png            actions/document-new.png"
    "application-exit.png   actions/system-log-out.png"
    "signout.png            actions/system-log-out.png"
    "Undo.png               actions/edit-undo.png"
    "Redot.png              actions/edit-redo.png"
    "copy.png               actions/edit-copy.png"
    "cut.png                actions/edit-cut.png"
    "paste.png              actions/edit-paste.png"
    "Delete.png             actions/edit-delete.png"
    "deleteAll.png          actions/edit-clear.png"
    "Refresh.png            actions/view-refresh.png"
    "settings.png           categories/preferences-system.png"
    "monitor.png            apps/utilities-system-monitor.png"
    "Manual.png             apps/help-browser.png"
    "dataTable.png          mimetypes/x-office-spreadsheet.png"
    "Ethernet.png           devices/network-wired.png"
    "information.png        status/dialog-information.png"
    "recordScan.png         actions/media-record.png"
    "stopRecording.png      actions/media-playback-stop.png"
)
for row in "${tango_icons[@]}"; do
    read -r name src <<<"$row"
    save "$tango/$src" "$out/$name"
done

# --- hand-drawn SVGs --------------------------------------------------------
#      svg name (and PNG name)   size in pixels
drawn=(
    "radar          160"
    "ConnectSensor  96"
    "Edition        32"
    "distance       32"
    "Intensity      32"
    "DispGraph      32"
    "DispCloud      32"
    "DispLine       32"
    "Serial         32"
    "Simulation     32"
    "SelfCheck      32"
    "connected      32"
    "disconnected   32"
    "upload         32"
    "download       32"
    "compare        32"
    "play           32"
    "pause          32"
    "stepBack       32"
    "stepForward    32"
    "reboot         32"
    "about          32"
    "China          32"
    "English        32"
)
for row in "${drawn[@]}"; do
    read -r name size <<<"$row"
    rsvg-convert -w "$size" -h "$size" "$svg/$name.svg" -o "$work/$name.png"
    save "$work/$name.png" "$out/$name.png"
done

# --- settings icons: a base picture with the gear badge ---------------------
rsvg-convert -w 16 -h 16 "$svg/gear.svg" -o "$work/gear.png"
rsvg-convert -w 32 -h 32 "$svg/SensorSetting.svg" -o "$work/SensorSetting_base.png"
with_gear() { # with_gear BASE DEST
    convert "$1" "$work/gear.png" -geometry +16+16 -compose Over -composite \
        "$work/with_gear.png"
    save "$work/with_gear.png" "$2"
}
with_gear "$work/SensorSetting_base.png" "$out/SensorSetting.png"
with_gear "$work/Serial.png" "$out/Usartsettingt.png"
with_gear "$tango/devices/network-wired.png" "$out/EthernetSetting.png"

echo "make_icons.sh: icons written to $out"
