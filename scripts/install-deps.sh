#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with,
# when any of them is missing. Needs root (apt-get).
#   --list  prints the packages the i386 root needs (scripts/i386-root.sh)
set -euo pipefail

# What the library, the command and the tests need on any architecture.
packages=(
  build-essential cmake pkg-config
  libdb5.3-dev db5.3-util libnspr4-dev libssl-dev uuid-dev
  libgtest-dev libgmock-dev
  nlohmann-json3-dev libical-dev python3-icalendar
  python3-vobject python3-radicale
  libcurl4-openssl-dev libxml2-dev radicale openssl
  file man-db
)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
# What only the main (amd64) run needs: the -m32 layout check, benchmarks,
# clang for the fuzzers, debootstrap to make the i386 root.
packages+=(
  g++-multilib libbenchmark-dev
  clang libclang-rt-14-dev
  debootstrap
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
