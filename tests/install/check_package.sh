#!/usr/bin/env bash
# Builds the Debian package from a finished build folder into a temporary
# folder and checks what it holds: every installed file, the programs'
# permissions, the dependencies, the post-install note, the man pages against
# the programs' --help, and that the desktop entry names an installed program
# and icon.  Each problem is reported by name; the exit status is 1 if any.
#   check_package.sh BUILD-FOLDER SOURCE-FOLDER VERSION
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
problems=0
problem() { echo "PROBLEM: $*"; problems=$((problems + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "PROBLEM: cpack failed"
    exit 1
fi
debs=("$work"/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { echo "PROBLEM: cpack made ${#debs[@]} packages"; exit 1; }
deb=${debs[0]}
dpkg-deb -x "$deb" "$work/root"
# "-rwxr-xr-x root/root 123 2026-12-07 19:00 ./usr/bin/tq740-sw" -> "-rwxr-xr-x /usr/bin/tq740-sw"
dpkg-deb -c "$deb" | awk '{ sub(/^\./, "", $6); print $1, $6 }' >"$work/contents"
mode_of() { awk -v path="$1" '$2 == path { print $1 }' "$work/contents"; }

# What installing must put in place, with the mode each must have.
expected=(
    "-rwxr-xr-x /usr/bin/tq740-sw"
    "-rwxr-xr-x /usr/bin/tq740-cli"
    "-rwxr-xr-x /usr/bin/tq740-sim"
    "-rw-r--r-- /usr/share/tq740-sw/help/index.html"
    "-rw-r--r-- /usr/share/applications/tq740-sw.desktop"
    "-rw-r--r-- /usr/share/icons/hicolor/scalable/apps/tq740-sw.svg"
    "-rw-r--r-- /usr/share/metainfo/org.tq740sw.tq740sw.metainfo.xml"
    "-rw-r--r-- /usr/share/man/man1/tq740-cli.1.gz"
    "-rw-r--r-- /usr/share/man/man1/tq740-sim.1.gz"
    "-rw-r--r-- /usr/share/doc/tq740-sw/sim/README.md"
)
# Every help page, style sheet and picture of the source's help folder.
if [ -d "$source/help" ]; then
    while IFS= read -r file; do
        expected+=("-rw-r--r-- /usr/share/tq740-sw/help/${file#"$source/help/"}")
    done < <(find "$source/help" -type f | sort)
fi
for entry in "${expected[@]}"; do
    mode=${entry%% *} path=${entry#* }
    actual=$(mode_of "$path")
    if [ -z "$actual" ]; then problem "the package lacks $path"
    elif [ "$actual" != "$mode" ]; then problem "$path has mode $actual, not $mode"
    fi
done

# The control fields: name, version, and the run-time needs (the Qt libraries
# come from dpkg-shlibdeps, the rest is named).
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tq740-sw ] || problem "package name is '$(field Package)'"
[ "$(field Version)" = "$version" ] || problem "package version is '$(field Version)', the project's is $version"
depends=$(field Depends)
for needed in libqt6core6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins fonts-liberation libqt6sql6-sqlite libqt6sql6-psql; do
    grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || problem "Depends lacks $needed: $depends"
done

# The post-install note on joining dialout, given when the package is configured.
postinst=$(dpkg-deb -I "$deb" postinst 2>/dev/null) || problem "the package has no postinst"
grep -q 'adduser .* dialout' <<<"$postinst" || problem "the postinst does not say how to join dialout"

# A man page written from an older program would miss its newer options.
for program in tq740-cli tq740-sim; do
    page="$work/root/usr/share/man/man1/$program.1.gz"
    [ -f "$page" ] || continue
    text=$(zcat "$page" | sed 's/\\-/-/g')
    for option in $("$work/root/usr/bin/$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
        grep -qF -- "$option" <<<"$text" || problem "the man page of $program lacks $option"
    done
done

# The desktop menu entry starts an installed program with an installed icon;
# software centres find the entry through the metainfo, whose newest release
# is this version.
entry="$work/root/usr/share/applications/tq740-sw.desktop"
metainfo="$work/root/usr/share/metainfo/org.tq740sw.tq740sw.metainfo.xml"
if [ -f "$entry" ]; then
    exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -n "$(mode_of "/usr/bin/$exec_program")" ] || problem "the desktop entry starts '$exec_program', which is not installed"
    [ -n "$(mode_of "/usr/share/icons/hicolor/scalable/apps/$icon.svg")" ] || problem "the desktop entry's icon '$icon' is not installed"
fi
if [ -f "$metainfo" ]; then
    grep -q '<launchable type="desktop-id">tq740-sw.desktop</launchable>' "$metainfo" ||
        problem "the metainfo does not launch tq740-sw.desktop"
    newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
    [ "$newest" = "$version" ] || problem "the metainfo's newest release is '$newest', the project's version is $version"
fi

if [ "$problems" -gt 0 ]; then
    echo "$problems problem(s) in $(basename "$deb"); its contents:"
    cat "$work/contents"
    exit 1
fi
echo "$(basename "$deb"): ${#expected[@]} files and the package's fields as expected"
