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
ninja -C "$build" -j2 gui_test_main_window_commands gui_test_configuration_sheet gui_test_port_pages_tabs gui_test_backup_dialogs trellan-sim
ninja -C "$build" -j2 gui_test_status_sheet trellanctl
ninja -C "$build" -j2 gui_test_wireless_tab
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
# The port and protocol tabs again, from units that show every control they have.
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_port_pages_tabs" screenshots
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_status_sheet" screenshots
# The Wireless page of a unit whose channels follow its country, and the Wireless Security dialog.
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_wireless_tab" screenshots
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_backup_dialogs" screenshots
ninja -C "$build" -j2 gui_test_address_assignment_dialogs
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
  TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
  "$build/bin/gui_test_address_assignment_dialogs" screenshots
ls "$root/docs/screenshots"
