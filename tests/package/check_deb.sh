#!/usr/bin/env bash
# Builds the Debian package with cpack from the build folder and checks its
# control fields and its contents with dpkg-deb.
#   check_deb.sh CPACK BUILD_DIR OUT_DIR DEB VERSION
set -euo pipefail
cpack=$1 build=$2 out=$3 deb=$4 version=$5 qt=${6:-5}
fail=0
bad() { echo "FAIL: $*"; fail=1; }

rm -rf "$out"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || {
    cat "$out.log"; echo "FAIL: cpack"; exit 1; }
[ -f "$deb" ] || { ls "$out"; echo "FAIL: no $deb"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = sector-studio ] || bad "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || bad "Version: $(field Version), project $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || bad "Architecture: $(field Architecture)"
[ "$(field Section)" = electronics ] || bad "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || bad "Maintainer: $(field Maintainer)"
desc=$(field Description)
[[ "$(head -n1 <<<"$desc")" == "configuration tool for 2D laser area scanners" ]] || bad "Description summary: $(head -n1 <<<"$desc")"
[ "$(wc -l <<<"$desc")" -gt 5 ] || bad "Description has no long text"

# Depends: what dpkg-shlibdeps found for the programs (each with the lowest
# version the symbols need, which a hand-typed list would not have), plus
# the font; never a sanitizer runtime.
depends=$(field Depends)
echo "Depends: $depends"
IFS=',' read -ra entries <<<"$depends"
declare -A dep=()
for e in "${entries[@]}"; do
    e=$(sed 's/^ *//; s/ *$//' <<<"$e")
    dep[${e%% *}]=$e
done
# The Qt libraries of the version built against (Qt 6 keeps the OpenGL
# widget in a library of its own; Qt 5 has it in QtWidgets).
if [ "$qt" = 6 ]; then
    qtlibs="libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libqt6svg6 libqt6openglwidgets6"
else
    qtlibs="libqt5core5a libqt5gui5 libqt5widgets5 libqt5network5 libqt5serialport5 libqt5svg5"
fi
for lib in libc6 libstdc++6 zlib1g $qtlibs; do
    if [ -z "${dep[$lib]:-}" ]; then
        bad "Depends lacks $lib"
    elif [[ "${dep[$lib]}" != *"(>= "*")" ]]; then
        bad "Depends names $lib without a version: ${dep[$lib]}"
    fi
done
[ -n "${dep[fonts-wqy-microhei]:-}" ] || bad "Depends lacks fonts-wqy-microhei"
for e in "${!dep[@]}"; do
    case $e in libasan*|libubsan*|libtsan*) bad "Depends on $e: a sanitized build was packaged" ;; esac
done
translations=qttranslations5-l10n
[ "$qt" = 6 ] && translations=qt6-translations-l10n
[[ "$(field Recommends)" == *$translations* ]] || bad "Recommends: $(field Recommends)"

# Contents: exactly these files, owned by root, programs executable, the
# rest read-only for others; nothing outside /usr.
listing=$(dpkg-deb -c "$deb")
expected="./usr/bin/sector-cli 755
./usr/bin/sector-sim 755
./usr/bin/sector-studio 755
./usr/share/applications/sector-studio.desktop 644
./usr/share/doc/sector-studio/changelog.gz 644
./usr/share/doc/sector-studio/copyright 644
./usr/share/doc/sector-studio/manual_cn.pdf 644
./usr/share/doc/sector-studio/manual_en.pdf 644
./usr/share/icons/hicolor/scalable/apps/sector-studio.svg 644
./usr/share/icons/hicolor/scalable/mimetypes/application-x-sector-studio-project.svg 644
./usr/share/man/man1/sector-cli.1.gz 644
./usr/share/man/man1/sector-sim.1.gz 644
./usr/share/man/man1/sector-studio.1.gz 644
./usr/share/mime/packages/sector-studio.xml 644
./usr/share/pixmaps/sector-studio.png 644"
octal() { # rwxr-xr-x -> 755
    local p=$1 n d=0 i
    n=""
    for i in 0 3 6; do
        d=0
        [ "${p:$i:1}" = r ] && d=$((d + 4))
        [ "${p:$((i + 1)):1}" = w ] && d=$((d + 2))
        [ "${p:$((i + 2)):1}" = x ] && d=$((d + 1))
        n+=$d
    done
    echo "$n"
}
files=$(awk '$1 ~ /^-/ {print substr($1, 2), $2, $6}' <<<"$listing" |
        while read -r mode owner path; do echo "$path $(octal "$mode") $owner"; done | sort)
if [ "$(cut -d' ' -f1,2 <<<"$files")" != "$expected" ]; then
    bad "files in the package differ from the list:"
    diff <(echo "$expected") <(cut -d' ' -f1,2 <<<"$files") || true
fi
grep -qv ' root/root$' <<<"$files" && bad "files not owned by root: $(grep -v ' root/root$' <<<"$files")"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {print}' <<<"$listing" | grep . && bad "folders not 755"
awk '{print $6}' <<<"$listing" | grep -v '^\./usr/\|^\./$' && bad "paths outside /usr"

[ "$fail" = 0 ] && echo "package $(basename "$deb"): fields and contents as expected"
exit "$fail"
