# Where the notification service's autostart entry and user unit are installed,
# chosen at install time, when the prefix (cmake --install --prefix) is known.
#
# - A prefix under $HOME (say ~/.local) is a per-user install: the entry goes to
#   $XDG_CONFIG_HOME/autostart and the unit to $XDG_DATA_HOME/systemd/user, the
#   user's own folders that desktops and the user manager read (neither reads
#   <prefix>/etc/xdg or ~/.local/lib/systemd).
# - Any other prefix, and every install staged with DESTDIR (a package), is a
#   system install: the entry goes to /etc/xdg/autostart and the unit to
#   <prefix>/lib/systemd/user.
# A non-empty `autostart` or `units` given by the caller wins; a relative one is
# taken under the prefix.
function(natalo_service_install_places prefix autostart units out_autostart out_units)
  set(home "$ENV{HOME}")
  string(REGEX REPLACE "/+$" "" home "${home}")
  set(per_user OFF)
  if("$ENV{DESTDIR}" STREQUAL "" AND IS_ABSOLUTE "${home}" AND NOT home STREQUAL "")
    string(FIND "${prefix}/" "${home}/" at)
    if(at EQUAL 0)
      set(per_user ON)
    endif()
  endif()
  if(per_user)
    # The XDG rules ignore a relative folder.
    set(config "$ENV{XDG_CONFIG_HOME}")
    if(NOT IS_ABSOLUTE "${config}")
      set(config "${home}/.config")
    endif()
    set(data "$ENV{XDG_DATA_HOME}")
    if(NOT IS_ABSOLUTE "${data}")
      set(data "${home}/.local/share")
    endif()
    set(default_autostart "${config}/autostart")
    set(default_units "${data}/systemd/user")
  else()
    set(default_autostart "/etc/xdg/autostart")
    set(default_units "${prefix}/lib/systemd/user")
  endif()
  foreach(kind autostart units)
    set(chosen "${${kind}}")
    if(chosen STREQUAL "")
      set(chosen "${default_${kind}}")
    elseif(NOT IS_ABSOLUTE "${chosen}")
      set(chosen "${prefix}/${chosen}")
    endif()
    set(${out_${kind}} "${chosen}" PARENT_SCOPE)
  endforeach()
endfunction()
