#!/usr/bin/env bash
# Installs everything Trellan needs to build, test, fuzz and demo on Debian 12.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libcurl4-openssl-dev
  libsnmp-dev snmpd snmp tshark
  iproute2 util-linux procps xvfb xauth
)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# tshark asks whether non-root users may capture; the answer does not matter here.
echo "wireshark-common wireshark-common/install-setuid boolean false" | $SUDO debconf-set-selections
$SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
