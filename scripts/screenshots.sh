#!/bin/sh
# Renders the main window offscreen with the demonstration fleet of trellan-sim found on loopback
# (first start with fresh settings, details, view by printer, multi-select) and every page of the
# configuration sheet of a simulated unit into docs/screenshots/.
# Usage: scripts/screenshots.sh [build-dir]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/screenshots}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C "$build" -j2 gui_test_main_window_commands gui_test_configuration_sheet trellan-sim
mkdir -p "$root/docs/screenshots"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_main_window_commands" screenshots
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_configuration_sheet" screenshots
ninja -C "$build" -j2 gui_test_shell_dialogs
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_shell_dialogs" screenshots
ls "$root/docs/screenshots"
