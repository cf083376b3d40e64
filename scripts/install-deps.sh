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
      wine wine32:i386 xvfb xauth x11-apps imagemagick fonts-ipafont-gothic locales)
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

# 32-bit Wine runs under qemu-user where the kernel can't run i386 programs. Debian 12's own
# qemu 7.2 is not good enough for it: Wine's processes crash there ("stack smashing detected",
# SIGSEGV) and each one takes about a minute to start. Debian 12's backports have qemu 10, under
# which a whole session starts in seconds.
qemu_ok=0
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
if [ -n "$qemu_version" ] && dpkg --compare-versions "$qemu_version" ge 1:8; then qemu_ok=1; fi
qemu_from=()
if [ $qemu_ok = 0 ] && [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
  qemu_from=(-t bookworm-backports)
  if ! grep -rqs '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' \
      > /etc/apt/sources.list.d/debian-backports.sources
  fi
fi

if [ ${#missing[@]} -gt 0 ] || [ $qemu_ok = 0 ] || [ $need_i386 = 1 ]; then
  echo "install-deps: installing ${missing[*]}$([ $qemu_ok = 1 ] || echo " qemu-user-static ${qemu_from[*]}")"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  if [ $qemu_ok = 0 ]; then
    apt-get install -y -q --no-install-recommends "${qemu_from[@]}" qemu-user-static
    # A registration with flag F keeps the interpreter it was made with open: drop it, so that
    # the next Wine run registers the new one.
    if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386; fi
  fi
fi

# Japanese locale: Wine takes its ANSI code page (932) from it.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
