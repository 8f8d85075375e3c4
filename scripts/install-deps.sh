#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with,
# when any of them is missing. Needs root (apt-get).
set -euo pipefail

packages=(
  build-essential cmake pkg-config g++-multilib
  libdb5.3-dev db5.3-util libnspr4-dev libssl-dev uuid-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libical-dev python3-icalendar
  python3-vobject python3-radicale
  libcurl4-openssl-dev libxml2-dev radicale openssl
  clang libclang-rt-14-dev
  file man-db
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
