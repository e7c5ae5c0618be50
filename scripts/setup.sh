#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing; more packages can be
# named as arguments (make fuzz adds clang and its runtime).
set -euo pipefail
need=(g++ cmake ninja-build qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libcli11-dev libtiff-dev libssl-dev libpng-dev desktop-file-utils "$@")
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
