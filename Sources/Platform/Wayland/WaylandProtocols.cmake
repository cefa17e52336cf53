# Client code for the Wayland protocols the rail speaks, generated at build
# time from the protocol files Debian installs: wayland-protocols for the
# stable and staging ones, and the wlr layer shell from the Rust crate's
# sources (librust-wayland-protocols-dev), the one Debian package that ships it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND IMPORTED_TARGET wayland-client wayland-cursor)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
file(GLOB PENDRA_WLR_PROTOCOLS_DIRS LIST_DIRECTORIES true
  /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable)
list(SORT PENDRA_WLR_PROTOCOLS_DIRS ORDER DESCENDING)
list(GET PENDRA_WLR_PROTOCOLS_DIRS 0 PENDRA_WLR_PROTOCOLS_DIR)

set(PENDRA_WAYLAND_FOUND FALSE)
if(WAYLAND_FOUND AND WAYLAND_PROTOCOLS_DIR AND WAYLAND_SCANNER
   AND EXISTS "${PENDRA_WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml")
  set(PENDRA_WAYLAND_FOUND TRUE)
endif()

# Generates the client header and glue code of one protocol file into
# <binary dir>/wayland and adds the code to the given list.
function(pendra_wayland_protocol sources xml)
  get_filename_component(name ${xml} NAME_WE)
  set(out ${CMAKE_BINARY_DIR}/wayland)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(OUTPUT ${out}/${name}-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client-protocol.h
    DEPENDS ${xml} VERBATIM)
  add_custom_command(OUTPUT ${out}/${name}-protocol.c
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
    DEPENDS ${xml} VERBATIM)
  set(${sources} ${${sources}} ${out}/${name}-client-protocol.h ${out}/${name}-protocol.c PARENT_SCOPE)
endfunction()
