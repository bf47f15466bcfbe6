# The Debian package: cpack -G DEB in a build folder (a Release build; see scripts/package-check.sh).
set(CPACK_PACKAGE_NAME trellan)
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_CONTACT "Quorvel <support@quorvel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find, configure and monitor network print servers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TRELLAN_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Help opens in the desktop's browser; bash completion and the net-snmp tools go well with it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion, snmp")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Trellan finds the print servers on a network, the small boxes that attach one
to six printers to a LAN, and configures, monitors and backs them up over
SNMPv1 and their private protocols.
.
The package holds three programs: trellan, the Qt desktop program;
trellanctl, the same operations from the command line for scripts; and
trellan-sim, a fleet of simulated print servers on loopback for training and
tests.")

include(CPack)
