#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the tree elsewhere, and
# uses it from there as an operator and a developer would: the command runs
# without LD_LIBRARY_PATH, and a small host program builds against the tree
# with find_package and with pkg-config.
# usage: install_test.sh BUILD_DIR CONSUMER_SOURCE_DIR [SANITIZERS]
set -euo pipefail
build=$1
consumer=$2
# A sanitized library needs a program built with the same sanitizers.
cflags=${3:+-fsanitize=$3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH

cmake --install "$build" --prefix "$work/first" >/dev/null
# Nothing may depend on the prefix the tree was installed under.
mv "$work/first" "$work/tree"
tree=$work/tree

"$tree/bin/qel2caldb" --version | grep -q '^qel2caldb '
"$tree/bin/qel2caldb" calendars --sample | grep -q '^jdoe '

cmake -S "$consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$tree" -DCMAKE_C_FLAGS="$cflags" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer" | grep -q 'consumer ok'

libdir=$(dirname "$(find "$tree" -name qel2caldb.pc -path '*/pkgconfig/*')")
flags=$(PKG_CONFIG_PATH=$libdir pkg-config --cflags --libs qel2caldb qel2host)
case $flags in *"$work/first"*) echo "pkg-config names the old prefix: $flags" >&2; exit 1 ;; esac
# shellcheck disable=SC2086  # the flags are meant to split
cc $cflags "$consumer/consumer.c" -o "$work/pc-consumer" $flags -Wl,-rpath,"$(dirname "$libdir")"
"$work/pc-consumer" | grep -q 'consumer ok'
echo "installed tree works from $tree"
