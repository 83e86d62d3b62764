#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root (dpkg -x, never into the
# machine's own) and tries what it installed: the three programs' --help,
# their man pages, the menu entry, the project file type on files the
# packaged sector-cli writes, and the manuals where the Manual action looks.
#   install_run.sh DEB ROOT BUILD_DIR EXAMPLE_PROJECT
set -euo pipefail
deb=$1 root=$2 build=$3 example=$4
fail=0
bad() { echo "FAIL: $*"; fail=1; }

rm -rf "$root"
mkdir -p "$root"
dpkg -x "$deb" "$root"
bin=$root/usr/bin
share=$root/usr/share

# The programs run from the unpacked root on the system's libraries: no
# path into the build folder, nothing left to strip.
for p in sector-studio sector-cli sector-sim; do
    readelf -d "$bin/$p" | grep -E 'RPATH|RUNPATH' && bad "$p carries a library path"
    # (no grep -q after a pipe: readelf cut short would hide the match)
    readelf -S "$bin/$p" | grep '\.debug_info' >/dev/null && bad "$p is not stripped"
    missing=$(ldd "$bin/$p" | grep 'not found' || true)
    [ -z "$missing" ] || bad "$p: $missing"
done

# --help from the unpacked programs, and each man page made from it: every
# option the help names is in the page (where roff writes a minus as \-).
esc() { sed 's/-/\\-/g' <<<"$1"; }
for p in sector-studio sector-cli sector-sim; do
    if ! help=$(cd "$root" && "$bin/$p" --help 2>&1); then
        bad "$p --help failed: $help"
        continue
    fi
    grep -q "Usage: .*$p\|Usage: $p" <<<"$help" || bad "$p --help prints no usage: $help"
    page=$share/man/man1/$p.1.gz
    gzip -t "$page" || { bad "$page is no gzip file"; continue; }
    [ "$(od -An -tu4 -j4 -N4 "$page" | tr -d ' ')" = 0 ] || bad "$page carries a time stamp"
    roff=$(gzip -dc "$page")
    upper=$(tr '[:lower:]' '[:upper:]' <<<"$p")
    [ "$(head -n1 <<<"$roff")" = ".TH $upper 1 \"\" \"Sector Studio $(dpkg-deb -f "$deb" Version)\" \"User Commands\"" ] ||
        bad "$p.1 title: $(head -n1 <<<"$roff")"
    want="$(esc "$p") \\- " awk 'index($0, ENVIRON["want"]) == 1 {f = 1} END {exit !f}' <<<"$roff" ||
        bad "$p.1 has no NAME line"
    while read -r option; do
        grep -qF -- "$(esc "$option")" <<<"$roff" || bad "$p.1 lacks $option"
    done < <(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
    grep -q '^\.SH SEE ALSO' <<<"$roff" || bad "$p.1 has no SEE ALSO"
    grep -qF "\\fB$(esc "$p")\\fR(1)" <<<"$roff" && bad "$p.1 refers to itself"
done

# The menu entry starts the program on the file double-clicked.
desktop=$share/applications/sector-studio.desktop
desktop-file-validate "$desktop" || bad "desktop-file-validate $desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "sector-studio %f" ] || bad "Exec=$(entry Exec)"
[ -x "$bin/$(entry Exec | cut -d' ' -f1)" ] || bad "Exec names no packaged program"
[ "$(entry 'Name')" = "Sector Studio" ] || bad "Name=$(entry Name)"
for key in 'Name\[zh_CN\]' 'Comment' 'Comment\[zh_CN\]'; do
    [ -n "$(entry "$key")" ] || bad "no $key"
done
entry 'Comment\[zh_CN\]' | grep -qP '\p{Han}' || bad "Comment[zh_CN] is not Chinese"
icon=$(entry Icon)
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || bad "no hicolor icon $icon"
mime=$(entry MimeType)
mime=${mime%;}
xmllint --noout "$share/icons/hicolor/scalable/apps/$icon.svg" || bad "icon is no XML"

# The project file type: build a MIME database from the package's type over
# the system's, then ask GIO what project files are, by suffix and, with the
# suffix gone, by their first line. The files are written by the packaged
# sector-cli, one per model, so the header is what the writer writes.
xml=$share/mime/packages/sector-studio.xml
xmllint --noout "$xml" || bad "$xml is no XML"
grep -q "type=\"$mime\"" "$xml" || bad "$xml does not define $mime of the menu entry"
mimeroot=$(mktemp -d)
trap 'rm -rf "$mimeroot"' EXIT
mkdir -p "$mimeroot/share/mime/packages" "$mimeroot/home" "$mimeroot/files"
cp "$xml" "$mimeroot/share/mime/packages/"
out=$(XDG_DATA_HOME=$mimeroot/home XDG_DATA_DIRS=$mimeroot/share:/usr/share \
    update-mime-database "$mimeroot/share/mime" 2>&1) || bad "update-mime-database: $out"
[ -z "$out" ] || bad "update-mime-database warns: $out"
guess() {
    HOME=$mimeroot/home XDG_DATA_HOME=$mimeroot/home XDG_DATA_DIRS=$mimeroot/share:/usr/share \
        GIO_USE_VFS=local gio info -a standard::content-type "$1" 2>&1 |
        sed -n 's/^ *standard::content-type: //p'
}
for model in 05 10 20 30 50; do
    file=$mimeroot/files/design.ZQ$model
    if ! msg=$("$bin/sector-cli" convert "$example" "$file" --model "Laser$model" 2>&1); then
        bad "sector-cli convert to Laser$model: $msg"
        continue
    fi
    [ "$(guess "$file")" = "$mime" ] || bad "design.ZQ$model is $(guess "$file")"
    cp "$file" "$mimeroot/files/design$model"
    [ "$(guess "$mimeroot/files/design$model")" = "$mime" ] ||
        bad "a Laser$model file without suffix is $(guess "$mimeroot/files/design$model")"
done
# A double-click asks for the type's default application: after the menu
# entry's folder is indexed (dpkg's trigger does that on install), it is
# the package's entry, whose Exec line takes the file (GIO offers an entry
# only when its program is on the PATH).
mkdir -p "$mimeroot/share/applications"
cp "$desktop" "$mimeroot/share/applications/"
update-desktop-database "$mimeroot/share/applications" || bad "update-desktop-database"
default=$(PATH=$bin:$PATH HOME=$mimeroot/home XDG_DATA_HOME=$mimeroot/home XDG_CONFIG_HOME=$mimeroot/home \
    XDG_DATA_DIRS=$mimeroot/share:/usr/share gio mime "$mime" 2>&1 | sed -n 's/^Default application.*: //p')
[ "$default" = sector-studio.desktop ] || bad "project files open with '$default'"
printf 'TRV_ZQ_31\nSensorSetting\n' >"$mimeroot/files/other"
[ "$(guess "$mimeroot/files/other")" != "$mime" ] || bad "an unknown model's header passes for a project"

# The Manual action looks in share/doc/sector-studio beside bin/: the PDFs
# the build made are there, in both languages.
for lang in cn en; do
    pdf=$bin/../share/doc/sector-studio/manual_$lang.pdf
    cmp -s "$pdf" "$build/manual/manual_$lang.pdf" || bad "manual_$lang.pdf differs from the build's or is missing"
done

[ "$fail" = 0 ] && echo "unpacked package: programs, pages, menu entry, file type and manuals as expected"
exit "$fail"
