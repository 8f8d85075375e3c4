#!/usr/bin/env bash
# Runs a command as an i386 program in a Debian 12 i386 root:
#   scripts/i386-root.sh [COMMAND [ARG...]]
# The root is made once per machine with debootstrap, from the mirror apt
# already uses, in /var/cache/qel2caldb/i386-root (QEL2_I386_ROOT overrides),
# and reused from then on; a stamp file marks it complete, so a creation cut
# short is done again. Each call installs in the root whatever the build
# packages of scripts/install-deps.sh it still lacks. The command runs in the
# clone, seen at the same path inside the root, with uname reporting i686.
# Needs root.
set -euo pipefail
clone=$(cd "$(dirname "$0")/.." && pwd)
root=${QEL2_I386_ROOT:-/var/cache/qel2caldb/i386-root}
stamp=$root.complete

# The URI of the first apt source for bookworm, in either sources format.
debian_mirror() {
  local lists=() sources=() uri
  shopt -s nullglob
  lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
  [ -e /etc/apt/sources.list ] || lists=("${lists[@]:1}")
  sources=(/etc/apt/sources.list.d/*.sources)
  shopt -u nullglob
  uri=$( {
    [ ${#lists[@]} -eq 0 ] || sed -E 's/\[[^]]*\]//' "${lists[@]}" |
      awk '$1 == "deb" && $3 == "bookworm" { print $2 }'
    [ ${#sources[@]} -eq 0 ] || awk '
      function flush() {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && (suites " ") ~ /[ \t]bookworm[ \t]/ && uri != "") print uri
        types = suites = uri = ""
      }
      FNR == 1 || /^[ \t]*$/ { flush() }
      /^Types:/ { types = $0; sub(/^Types:/, "", types) }
      /^Suites:/ { suites = $0; sub(/^Suites:/, "", suites) }
      /^URIs:/ { uri = $2 }
      END { flush() }' "${sources[@]}"
  } | head -n 1 || true)
  echo "${uri:-http://deb.debian.org/debian}"
}

# Fails when anything is still mounted below the root (a run of an older
# version of this script, or a hand-made mount): removing it would reach in.
no_mounts_below() {
  if awk -v dir="$root/" 'index($5 "/", dir) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
    echo "i386 root: something is mounted below $root; unmount it first" >&2
    return 1
  fi
}

make_root() {
  [ -e "$stamp" ] && return 0
  no_mounts_below
  rm -rf "$root"
  mkdir -p "$(dirname "$root")"
  local mirror
  mirror=$(debian_mirror)
  echo "== i386 root: debootstrap bookworm from $mirror into $root"
  # In a mount namespace of its own, so that the mounts debootstrap makes in
  # the root do not outlive it when it is cut short.
  unshare --mount --propagation private -- \
    debootstrap --arch=i386 --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
    tail -n 20 "$root.debootstrap.log" >&2
    return 1
  }
  # Packages installed in the root must not start services.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
  date -u +%FT%TZ >"$stamp"
}

# Runs "$@" inside the root in a mount namespace of its own: the mounts it
# needs (the root onto itself, so that tests can make their mounts private;
# /proc; /dev; the clone) end with that namespace, even when the command is
# killed, and a concurrent run on the same root sees none of them.
in_root() {
  unshare --mount --propagation private -- /bin/bash -euc '
    root=$1 clone=$2; shift 2
    mount --bind "$root" "$root"
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mkdir -p "$root$clone"
    mount --bind "$clone" "$root$clone"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    exec setarch i686 chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      /bin/sh -c "cd \"\$0\" && exec \"\$@\"" "$clone" "$@"
  ' in_root "$root" "$clone" "$@"
}

install_packages() {
  local missing=() package
  for package in $(bash "$clone/scripts/install-deps.sh" --list); do
    chroot "$root" dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== i386 root: installing ${missing[*]}"
  # Finishes an installation an earlier run was stopped in.
  in_root /usr/bin/dpkg --configure -a
  in_root /usr/bin/env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  in_root /usr/bin/env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Making and updating the root is one process at a time; running in it is
# shared, and keeps the root from being remade meanwhile.
main() {
  mkdir -p "$(dirname "$root")"
  exec {lock}>"$root.lock"
  flock -x "$lock"
  make_root
  install_packages
  flock -s "$lock"
  [ $# -eq 0 ] && return 0
  in_root "$@"
}

# One line: bash has read all of it before the command starts, so the script
# may change on disk meanwhile (a checkout during a long run).
main "$@"; exit
