#!/usr/bin/env bash
# Fails when a CMake package or a pkg-config module (with the modules it
# requires) that the configured build read comes from a Debian package that
# the install step does not install, directly or through its dependencies. A package installed by hand on one machine would
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

# Libraries found through pkg-config: the modules each pkg_check_modules
# call named (its arguments without keywords and version bounds), and the
# modules their .pc files require; each .pc file mapped to its package.
check_owner() {   # FILE WHAT
  local owner
  owner=$(dpkg -S "$1" 2>/dev/null | head -n1 | cut -d: -f1 || true)
  [ -n "$owner" ] || owner=$(dpkg -S "$(readlink -f "$1")" 2>/dev/null | head -n1 | cut -d: -f1 || true)
  if [ -z "$owner" ]; then
    missing+=("$2 (from $1, which no Debian package installed)")
    return
  fi
  [ -n "${seen[$owner]:-}" ] && return
  seen[$owner]=1
  [ -n "${installs[$owner]:-}" ] || missing+=("$owner (for $2)")
}
modules=()
while IFS='=' read -r key value; do
  IFS=';' read -r -a words <<< "$value"
  for word in "${words[@]}"; do
    case $word in
      REQUIRED|QUIET|IMPORTED_TARGET|GLOBAL|NO_CMAKE_PATH|NO_CMAKE_ENVIRONMENT_PATH|"") continue ;;
    esac
    modules+=("${word%%[<>=]*}")
  done
done < <(grep -E '^__pkg_config_arguments_[A-Za-z0-9_]+:INTERNAL=' "$cache")
declare -A pcseen=()
while [ ${#modules[@]} -gt 0 ]; do
  module=${modules[0]}; modules=("${modules[@]:1}")
  [ -n "${pcseen[$module]:-}" ] && continue
  pcseen[$module]=1
  # pkg_search_module names alternatives; one that is not there was not read.
  pkg-config --exists "$module" 2>/dev/null || continue
  pc=$(pkg-config --path "$module" 2>/dev/null || true)
  [ -n "$pc" ] || pc="$(pkg-config --variable=pcfiledir "$module")/$module.pc"
  check_owner "$pc" "pkg-config module $module"
  while read -r required _; do
    [ -n "$required" ] && modules+=("$required")
  done < <(pkg-config --print-requires --print-requires-private "$module" 2>/dev/null)
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "check-packages: the build reads packages that $list does not install:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 1
fi
echo "check-packages: all ${#seen[@]} Debian packages the build reads (CMake packages and pkg-config modules) are installed by the install step"
