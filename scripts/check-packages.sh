#!/usr/bin/env bash
# Fails when a CMake package that the configured build read comes from a
# Debian package that the install step does not install, directly or through
# its dependencies. A package installed by hand on one machine would
# otherwise hide the gap until a fresh machine fails.
#
# Usage: scripts/check-packages.sh BUILD_DIR [PACKAGE_LIST]
set -euo pipefail
build=${1:?usage: check-packages.sh BUILD_DIR [PACKAGE_LIST]}
list=${2:-$(dirname "$0")/debian-packages}
cache="$build/CMakeCache.txt"
[ -f "$cache" ] || { echo "check-packages: $cache not found; configure first" >&2; exit 2; }

mapfile -t listed < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$list")

# Everything the listed packages pull in (hard dependencies only).
declare -A installs=()
while read -r name; do
  name=${name#<}; name=${name%>}
  installs[$name]=1
done < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
           --no-breaks --no-replaces --no-enhances "${listed[@]}" | grep -v '^ ')

missing=()
declare -A seen=()
while IFS='=' read -r key dir; do
  var=${key%%:*}
  name=${var%_DIR}
  [ -d "$dir" ] || continue
  config=""
  lower=$(printf '%s' "$name" | tr '[:upper:]' '[:lower:]')
  for candidate in "$dir/${name}Config.cmake" "$dir/${lower}-config.cmake"; do
    [ -f "$candidate" ] && { config=$candidate; break; }
  done
  [ -n "$config" ] || continue   # not a package configuration folder
  owner=$(dpkg -S "$config" 2>/dev/null | head -n1 | cut -d: -f1 || true)
  if [ -z "$owner" ]; then
    missing+=("$name (from $config, which no Debian package installed)")
    continue
  fi
  [ -n "${seen[$owner]:-}" ] && continue
  seen[$owner]=1
  [ -n "${installs[$owner]:-}" ] || missing+=("$owner (for $name)")
done < <(grep -E '^[A-Za-z0-9_]+_DIR:PATH=' "$cache")

if [ ${#missing[@]} -gt 0 ]; then
  echo "check-packages: the build reads CMake packages that $list does not install:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 1
fi
echo "check-packages: all ${#seen[@]} Debian packages the build reads are installed by the install step"
