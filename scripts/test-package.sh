#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, uses
# the installed programs and removes the package again, also when a step
# fails. Skips (77) unless run as root on a machine with apt-get. Refuses to
# run when the package is installed already: that copy is not ours to remove.
#
# Usage: scripts/test-package.sh BUILD_DIR PACKAGE VERSION DESKTOP_ID
set -euo pipefail
build=$(realpath "${1:?usage: test-package.sh BUILD_DIR PACKAGE VERSION DESKTOP_ID}")
package=${2:?package name missing}
version=${3:?version missing}
id=${4:?desktop id missing}

if [ "$(id -u)" -ne 0 ]; then
  echo "test-package: skipped, installing a package needs root"
  exit 77
fi
if ! command -v apt-get >/dev/null; then
  echo "test-package: skipped, no apt-get on this machine"
  exit 77
fi
present() { dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -qv 'not-installed'; }
if present; then
  echo "test-package: $package is already on this machine ($(dpkg-query -W -f='${Status} ${Version}' "$package"));" \
       "remove it first, this test removes only a copy it installed itself" >&2
  exit 1
fi

work=$(mktemp -d)
installed=0
cleanup() {
  local status=$?
  if [ $installed -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$package" >/dev/null || status=1
    if present; then
      echo "test-package: $package is still installed" >&2
      status=1
    fi
  fi
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT

fail() { echo "test-package: $*" >&2; exit 1; }

# The package goes into the temporary folder, not into the build folder.
(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) \
  || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/cpack/"${package}"_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one ${package}_*.deb, found: ${debs[*]}"
deb=${debs[0]}
echo "Depends: $(dpkg-deb -f "$deb" Depends)"

apt=0
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || apt=$?
# It was not there before, so whatever is there now (even half-installed) is ours.
present && installed=1
[ $apt -eq 0 ] || { cat "$work/apt.log" >&2; fail "apt-get install failed"; }
[ "$(dpkg-query -W -f='${Version}' "$package")" = "$version" ] || fail "installed version is not $version"

[ "$(/usr/bin/bsc-db --version)" = "bsc-db $version" ] || fail "bsc-db --version: $(/usr/bin/bsc-db --version)"
# Needs no display: answered before the application object exists.
[ "$(/usr/bin/bsc --version)" = "bsc $version" ] || fail "bsc --version: $(/usr/bin/bsc --version)"

export PROJEKT_BSC_DATABASE="$work/data/projekt_bsc.sqlite"
mkdir -p "$work/data"
/usr/bin/bsc-db init || fail "bsc-db init failed"
[ -f "$PROJEKT_BSC_DATABASE" ] || fail "bsc-db init made no $PROJEKT_BSC_DATABASE"
rows=$(/usr/bin/bsc-db query 'select jahr from kz_liqui where jahr="2005"') || fail "bsc-db query failed"
# A header line with the column (spelt as the table declares it), then the one row.
[ "$(printf '%s\n' "$rows" | tr '[:upper:]' '[:lower:]')" = "$(printf 'jahr\n2005')" ] \
  || fail "bsc-db query printed: $rows"

desktop=/usr/share/applications/$id.desktop
[ -f "$desktop" ] || fail "no $desktop"
grep -qx 'Exec=bsc' "$desktop" || fail "$desktop does not start bsc"
grep -qx "Icon=$id" "$desktop" || fail "$desktop does not name the icon $id"
[ -f "/usr/share/metainfo/$id.metainfo.xml" ] || fail "no /usr/share/metainfo/$id.metainfo.xml"
for size in 16 32 48 64 128 256; do
  icon=/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no $icon"
  file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "$icon is not a $size x $size PNG"
done

# Nothing but the programs and their desktop files.
unexpected=$(dpkg -L "$package" | grep -v -e '^/usr/bin/bsc$' -e '^/usr/bin/bsc-db$' \
  -e "^/usr/share/applications/$id.desktop\$" -e "^/usr/share/metainfo/$id.metainfo.xml\$" \
  -e "^/usr/share/icons/hicolor/[0-9]*x[0-9]*/apps/$id.png\$" | while read -r path; do
    [ -d "$path" ] || echo "$path"; done)
[ -z "$unexpected" ] || fail "the package installs more than it should: $unexpected"

echo "test-package: $package $version installed, used and removed"
