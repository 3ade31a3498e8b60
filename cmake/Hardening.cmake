# Debian's hardening flags (stack protector, FORTIFY, format checks, RELRO and
# BINDNOW; PIE is the compiler's default there), as dpkg-buildflags gives them,
# for native builds on Debian. Optimisation and debug information stay with the
# build type. Left out of the sanitizer build, where FORTIFY gets in ASan's way.
if(UNIX AND NOT APPLE AND NOT CMAKE_CROSSCOMPILING AND NOT SPAWNSMITH_SANITIZE)
    find_program(SPAWNSMITH_DPKG_BUILDFLAGS dpkg-buildflags)
    if(SPAWNSMITH_DPKG_BUILDFLAGS)
        foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
            execute_process(
                COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                        ${SPAWNSMITH_DPKG_BUILDFLAGS} --get ${kind}
                WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
            separate_arguments(flags UNIX_COMMAND "${flags}")
            list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
            set(${kind} ${flags})
        endforeach()
        add_compile_options(${CPPFLAGS} ${CXXFLAGS})
        add_link_options(${LDFLAGS})
    endif()
endif()
