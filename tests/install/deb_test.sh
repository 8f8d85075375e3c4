#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks what it holds and
# what it depends on, and runs the command, its manual page and its bash
# completion from the unpacked tree.
# usage: deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null 2>"$work/cpack.err") ||
  { cat "$work/cpack.err" >&2; exit 1; }
deb=$(echo "$work"/qel2caldb_*.deb)

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in usr/bin/qel2caldb usr/lib/libqel2caldb.so.0 usr/lib/libqel2host.so.0 usr/include/qel2/qel2.h \
  usr/lib/cmake/qel2caldb/qel2caldbConfig.cmake usr/lib/pkgconfig/qel2caldb.pc usr/share/man/man1/qel2caldb.1 \
  usr/share/bash-completion/completions/qel2caldb usr/share/qel2caldb/legacy42-store.tar.gz; do
  grep -qx "\./$path" <<<"$contents" || { echo "the package lacks /$path" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libdb5.3 libnspr4 libical3 tar; do
  grep -q "\b$package\b" <<<"$depends" || { echo "Depends lacks $package: $depends" >&2; exit 1; }
done

root=$work/root
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/qel2caldb" --version | grep -q '^qel2caldb '
"$root/usr/bin/qel2caldb" events --sample jdoe | grep -q 'evt-standup'
# The manual page formats cleanly and covers every command of --help.
manual=$(MANWIDTH=200 man -l "$root/usr/share/man/man1/qel2caldb.1" 2>"$work/man.err")
[ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; exit 1; }
for command in $("$root/usr/bin/qel2caldb" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p'); do
  grep -q "qel2caldb $command " <<<"$manual" || { echo "the manual page lacks $command" >&2; exit 1; }
done
# Completion of a command name and of an option, as bash would ask for it.
# shellcheck disable=SC1091
source "$root/usr/share/bash-completion/completions/qel2caldb"
COMP_WORDS=("$root/usr/bin/qel2caldb" ev)
COMP_CWORD=1
_qel2caldb
[ "${COMPREPLY[*]}" = events ] || { echo "completed ev as: ${COMPREPLY[*]}" >&2; exit 1; }
COMP_WORDS=("$root/usr/bin/qel2caldb" events --tomb)
COMP_CWORD=2
_qel2caldb
[ "${COMPREPLY[*]}" = --tombstones ] || { echo "completed --tomb as: ${COMPREPLY[*]}" >&2; exit 1; }
echo "package $deb checked"
