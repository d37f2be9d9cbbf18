#!/usr/bin/env bash
# Installs the Debian packages of scripts/debian-packages when any is missing.
set -euo pipefail
cd "$(dirname "$0")"

mapfile -t packages < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' debian-packages)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
