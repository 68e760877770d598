#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tavrin need.
# Skips apt-get when everything is already there.
set -euo pipefail

packages=(cmake g++ make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev libtomlplusplus-dev libsystemd-dev libcli11-dev nlohmann-json3-dev libcairo2-dev libpango1.0-dev libgdk-pixbuf-2.0-dev fonts-dejavu-core libx11-dev libmosquitto-dev mosquitto mosquitto-clients openssl xvfb python3-jsonschema)
SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO=sudo
if [[ "${TAVRIN_WINDOWS:-1}" == 1 ]]; then
  packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 wine64 wine32:i386)
  # 32-bit Windows programs (the product's home) run under the i386 Wine.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then $SUDO dpkg --add-architecture i386; fi
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
