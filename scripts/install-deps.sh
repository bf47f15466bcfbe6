#!/usr/bin/env bash
# Installs everything Trellan needs to build, test, fuzz, package and demo on Debian 12.
# Quiet when all goes well; on a failure it prints apt's full output, so the cause is visible.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libcurl4-openssl-dev
  libsnmp-dev snmpd snmp snmpsim tshark vsftpd
  iproute2 util-linux procps xvfb xauth
  desktop-file-utils appstream lintian dpkg-dev man-db groff-base debootstrap
)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
. "$(dirname "$0")/run-logged.sh"

# Nothing to do, and no network needed, when every package is installed already.
installed=$(dpkg-query -W -f='${db:Status-Status}\n' "${packages[@]}" 2>/dev/null | grep -cx installed || true)
[ "$installed" -eq "${#packages[@]}" ] && exit 0

run_logged "apt-get update" $SUDO apt-get update
# tshark asks whether non-root users may capture; the answer does not matter here.
echo "wireshark-common wireshark-common/install-setuid boolean false" | $SUDO debconf-set-selections
run_logged "apt-get install" $SUDO apt-get install -y --no-install-recommends "${packages[@]}"
