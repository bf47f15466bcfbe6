#!/bin/sh
# Renders the program's windows offscreen into docs/screenshots/: the main window with the
# demonstration fleet of trellan-sim found on loopback (first start with fresh settings, details,
# view by printer, multi-select), every page of the configuration and status sheets of simulated
# units, and the program's dialogs. Each GUI test below draws its own pictures when given
# "screenshots".
# Usage: scripts/screenshots.sh [build-dir]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/screenshots}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# gui_test_port_pages_tabs shows the port and protocol tabs again, from units that have every control;
# gui_test_wireless_tab a unit whose channels follow its country, and the Wireless Security dialog.
tests="gui_test_main_window_commands gui_test_configuration_sheet gui_test_port_pages_tabs gui_test_status_sheet
  gui_test_wireless_tab gui_test_backup_dialogs gui_test_address_assignment_dialogs gui_test_shell_dialogs
  gui_test_wizard_sheet gui_test_multi_config"
# shellcheck disable=SC2086  # the list is split into targets on purpose
ninja -C "$build" -j2 $tests trellan-sim trellanctl
mkdir -p "$root/docs/screenshots"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for test in $tests; do
  HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
    TRELLAN_LOOPBACK_ONLY=1 TRELLAN_BROADCAST_ADDR=127.255.255.255 TRELLAN_MULTICAST_IF=127.0.0.1 \
    TRELLAN_BIN_DIR="$build/bin" TRELLAN_SCREENSHOT_DIR="$root/docs/screenshots" \
    "$build/bin/$test" screenshots
done
ls "$root/docs/screenshots"
