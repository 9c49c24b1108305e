# Debian's hardening flags, as dpkg-buildflags gives them with
# hardening=+all (fortified functions, stack protector, read-only relocations
# and immediate binding, PIE), for the build a .deb is made from:
# -DQEL_DEB_HARDENING=ON. Off by default, so that a user's own build keeps
# the flags of its build type alone. The build type still chooses the
# optimisation and the debugging information: dpkg's -O2 and -g are left out.
option(QEL_DEB_HARDENING "Build with Debian's hardening flags (for the .deb)" OFF)
if(QEL_DEB_HARDENING)
  # _FORTIFY_SOURCE needs an optimising build (glibc warns without one).
  if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    message(FATAL_ERROR "QEL_DEB_HARDENING needs an optimised build type, "
            "not Debug: the fortified functions need -O")
  endif()
  find_program(QEL_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${QEL_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*)$")
    set(QEL_DEB_${kind} ${flags})
  endforeach()
  message(STATUS "Debian's hardening flags: ${QEL_DEB_CPPFLAGS} ${QEL_DEB_CXXFLAGS} "
          "${QEL_DEB_LDFLAGS}")
  add_compile_options(${QEL_DEB_CPPFLAGS}
                      "$<$<COMPILE_LANGUAGE:C>:${QEL_DEB_CFLAGS}>"
                      "$<$<COMPILE_LANGUAGE:CXX>:${QEL_DEB_CXXFLAGS}>")
  add_link_options(${QEL_DEB_LDFLAGS})
  # Position-independent executables, asked for rather than left to the
  # compiler's default.
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
