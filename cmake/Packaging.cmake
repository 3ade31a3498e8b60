# Where a Debian desktop looks for things: the desktop entry, AppStream metadata,
# the icon at each size, the manual page, and the documentation a Debian
# package carries (copyright, changelog). Compressed with gzip -n, so that the
# files do not change with the time they were built.
install(FILES assets/spawnsmith.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.example.spawnsmith.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES assets/spawnsmith.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
foreach(size 48 64 128 256)
    install(FILES assets/icons/spawnsmith-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME spawnsmith.png)
endforeach()

set(doc ${CMAKE_INSTALL_DATADIR}/doc/spawnsmith)
configure_file(packaging/copyright ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
configure_file(packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${doc})

set(compressed)
foreach(file packaging/spawnsmith.1 packaging/spawnsmith-check.1
             ${CMAKE_BINARY_DIR}/packaging/changelog)
    cmake_path(ABSOLUTE_PATH file)
    cmake_path(GET file FILENAME name)
    set(gz ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${gz} COMMAND gzip -9nc ${file} > ${gz} DEPENDS ${file} VERBATIM)
    list(APPEND compressed ${gz})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/spawnsmith.1.gz
              ${CMAKE_BINARY_DIR}/packaging/spawnsmith-check.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${doc})

# A stripped install (the .deb) also drops the compilers' notes, as Debian's
# own packages do.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program spawnsmith spawnsmith-check)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")
