#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: prints nothing and touches nothing when all are present.
set -euo pipefail

native_packages=(cmake g++ clang-14 libclang-rt-14-dev googletest srecord binutils
                 python3 xvfb x11-utils xdotool imagemagick icoutils fonts-ipafont-gothic
                 mingw-w64 wine wine64 tmux)
i386_packages=(wine32:i386)

missing=()
for p in "${native_packages[@]}" "${i386_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages (${missing[*]}); run as root" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
