# Warnings are errors on the project's own code.
function(spawnsmith_strict target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
        # GCC 12 warns falsely on std::string assignments when optimising (GCC bug 105651).
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
            target_compile_options(${target} PRIVATE -Wno-restrict)
        endif()
    endif()
endfunction()

# The script and catalogue libraries are plain C++. Refuse to configure if
# anything ever makes them (or what they link) depend on Qt.
function(spawnsmith_forbid_qt)
    foreach(target IN LISTS ARGN)
        foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES INCLUDE_DIRECTORIES)
            get_target_property(values ${target} ${property})
            if(values AND "${values}" MATCHES "Qt[0-9]*::|[Qq]t[56]")
                message(FATAL_ERROR "${target} must not depend on Qt (${property}: ${values})")
            endif()
        endforeach()
    endforeach()
    # Checked again once the whole project is configured, for links added later.
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _spawnsmith_check_no_qt ${ARGN})
endfunction()

function(_spawnsmith_check_no_qt)
    foreach(target IN LISTS ARGN)
        get_target_property(values ${target} LINK_LIBRARIES)
        if(values AND "${values}" MATCHES "Qt[0-9]*::|[Qq]t[56]")
            message(FATAL_ERROR "${target} must not link Qt: ${values}")
        endif()
    endforeach()
endfunction()
