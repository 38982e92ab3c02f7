# Where the score server's configuration and systemd unit go for an install under a prefix, by
# GNUInstallDirs' own rule: below the prefix, except that a /usr or / prefix keeps its
# configuration in /etc (and its units in systemd's own folder), and /opt/NAME in /etc/opt/NAME. Used when configuring (the Debian
# package's paths, under /usr) and when installing (the prefix of that install).
function(server_service_paths prefix sysconfdir systemd_units config_var units_var)
  if(IS_ABSOLUTE "${sysconfdir}")
    set(config "${sysconfdir}")
  elseif(prefix MATCHES "^/(usr/?)?$")
    set(config "/${sysconfdir}")
  elseif(prefix MATCHES "^/opt/(.+)$")
    set(config "/${sysconfdir}/opt/${CMAKE_MATCH_1}")
  else()
    set(config "${prefix}/${sysconfdir}")
  endif()
  if(prefix MATCHES "^/(usr/?)?$" AND IS_ABSOLUTE "${systemd_units}")
    set(units "${systemd_units}")
  else()
    # systemd looks below /usr/local too, and a staged prefix is the packager's to place.
    string(REGEX REPLACE "/$" "" prefix "${prefix}")
    set(units "${prefix}/lib/systemd/system")
  endif()
  set(${config_var} "${config}/lambrisk-score-server" PARENT_SCOPE)
  set(${units_var} "${units}" PARENT_SCOPE)
endfunction()
