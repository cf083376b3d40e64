#!/usr/bin/env bash
# Installs what building and testing Quindle needs on a Debian 12 machine, as root.
# Usage: install-deps.sh build|test
#   build: the cross toolchain and what the demo run needs (Wine under emulation)
#   test:  everything above plus the Linux test tools (GoogleTest, clang sanitizers, libFuzzer)
# Idempotent: packages already present are not fetched again.
set -euo pipefail
what=${1:-test}

need_i386=0
pkgs=(cmake make g++ binutils-mingw-w64-i686 g++-mingw-w64-i686 zip python3
      wine wine32:i386 qemu-user-static xvfb xauth x11-apps imagemagick fonts-ipafont-gothic locales)
if [ "$what" = test ]; then
  pkgs+=(libgtest-dev clang libclang-rt-14-dev valgrind)
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_i386=1
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ $need_i386 = 1 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Japanese locale: Wine takes its ANSI code page (932) from it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
