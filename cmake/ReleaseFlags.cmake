# Flags for binaries that leave the build machine.
#
# ORVEX_HARDENING: Debian's hardening flags (those dpkg-buildflags gives with
# hardening=+all: stack protector, fortified calls, control-flow protection,
# PIE, read-only relocations bound at start); for Windows the stack protector
# and fortified calls of MinGW-w64 (its libssp, linked statically), and the
# PE flags for address randomisation with high entropy and no-execute data,
# which the linker sets by default today and which are asked for here so that
# they stay.
#
# ORVEX_REPRODUCIBLE: the same sources give the same bytes wherever they are
# built: the source and build folders are mapped out of file names and debug
# information, and PE files carry no link time.
option(ORVEX_HARDENING "Build with the distribution's hardening flags" OFF)
option(ORVEX_REPRODUCIBLE "Leave build folders and link times out of the binaries" OFF)

if(ORVEX_HARDENING)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  # Fortified calls need the optimiser; the preset's build types all have it.
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  if(WIN32)
    add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
  else()
    add_compile_options(-fcf-protection)
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
  endif()
endif()

if(ORVEX_REPRODUCIBLE)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
  if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endif()
