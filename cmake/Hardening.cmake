# The hardening flags Debian builds its packages with, asked of dpkg-buildflags
# so that they follow Debian's defaults: stack protector, _FORTIFY_SOURCE,
# format checks, and full RELRO with bind-now (hardening=+all adds bindnow;
# PIE is the compiler's default there). Only the optimisation and debug flags
# are left out: the build type sets those. Nothing here touches floating-point
# code generation; -ffp-contract=off stays. Included before the targets exist.
#
# On by default except in the sanitizer build and in Debug (_FORTIFY_SOURCE
# needs optimisation). ORVANE_HARDENED tells the package check what to expect.
set(hardening_default ON)
if(ORVANE_SANITIZE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(hardening_default OFF)
endif()
option(ORVANE_HARDENING "Build with Debian's hardening flags (from dpkg-buildflags)"
       ${hardening_default})

set(ORVANE_HARDENED OFF)
if(ORVANE_HARDENING)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags not found (Debian's dpkg-dev has it): building without "
                    "hardening flags")
  else()
    foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
      separate_arguments(flags UNIX_COMMAND "${flags}")
      list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*)$")
      set(hardening_${kind} ${flags})
    endforeach()
    add_compile_options(${hardening_CPPFLAGS} ${hardening_CXXFLAGS})
    add_link_options(${hardening_LDFLAGS})
    set(ORVANE_HARDENED ON)
    list(JOIN hardening_CPPFLAGS " " shown_cpp)
    list(JOIN hardening_CXXFLAGS " " shown_cxx)
    list(JOIN hardening_LDFLAGS " " shown_ld)
    message(STATUS "Hardening: ${shown_cpp} ${shown_cxx} ${shown_ld}")
  endif()
endif()
