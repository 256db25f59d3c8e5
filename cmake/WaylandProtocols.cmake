# Wayland client code generated from protocol XML files at build time.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET GLOBAL wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)

# Client code for a protocol XML file: its header and its interface tables.
function(tavelin_wayland_protocol target xml)
  get_filename_component(name ${xml} NAME_WE)
  set(header ${CMAKE_CURRENT_BINARY_DIR}/${name}-client-protocol.h)
  set(code ${CMAKE_CURRENT_BINARY_DIR}/${name}-protocol.c)
  add_custom_command(OUTPUT ${header} COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
                     DEPENDS ${xml} VERBATIM)
  add_custom_command(OUTPUT ${code} COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
                     DEPENDS ${xml} VERBATIM)
  target_sources(${target} PRIVATE ${header} ${code})
endfunction()

