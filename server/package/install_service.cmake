# Installs the score server's configuration and systemd unit; run by the install script, where
# CMAKE_INSTALL_PREFIX is the prefix of this install (cpack's /usr for the package, or what
# `cmake --install --prefix` was given), which the folders depend on. The caller sets
# SERVER_PACKAGE (this folder), SERVER_SBINDIR, SERVER_SYSCONFDIR, SERVER_SYSTEMD_UNITS and
# SERVER_BINARY_DIR.
include("${SERVER_PACKAGE}/service_paths.cmake")
server_service_paths("${CMAKE_INSTALL_PREFIX}" "${SERVER_SYSCONFDIR}" "${SERVER_SYSTEMD_UNITS}"
  SERVER_CONFIG_DIR units)
if(IS_ABSOLUTE "${SERVER_SBINDIR}")
  set(SERVER_SBIN_DIR "${SERVER_SBINDIR}")
else()
  set(SERVER_SBIN_DIR "${CMAKE_INSTALL_PREFIX}/${SERVER_SBINDIR}")
endif()
file(READ "${SERVER_PACKAGE}/lambrisk-score-server.service.in" unit)
string(CONFIGURE "${unit}" unit @ONLY)
file(WRITE "${SERVER_BINARY_DIR}/lambrisk-score-server.service" "${unit}")
# file(INSTALL) puts DESTDIR (cpack's staging folder) before these itself.
file(INSTALL "${SERVER_BINARY_DIR}/lambrisk-score-server.service" DESTINATION "${units}")
# The configuration may hold the database's password: root's alone (the unit hands the service a
# copy as a credential).
file(INSTALL "${SERVER_PACKAGE}/score_server.conf" DESTINATION "${SERVER_CONFIG_DIR}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ)
