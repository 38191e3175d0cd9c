# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Glintcaster developers
# What `cmake --install` puts where: programs in bin/, read-only data, translations and
# samples in share/glintcaster/, and the desktop integration files where the desktop looks.
include(GNUInstallDirs)

set(GLINTCASTER_APP_ID "org.glintcaster.Glintcaster")
set(_res ${CMAKE_CURRENT_SOURCE_DIR}/resources)
set(_share ${CMAKE_INSTALL_DATADIR}/glintcaster)

install(TARGETS glintcaster glintcaster-cli glintcaster-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Glyph bitmaps and icons of the preview, when the data has been generated.
foreach(_data mfont micon)
    if(EXISTS ${_res}/${_data})
        install(DIRECTORY ${_res}/${_data} DESTINATION ${_share})
    endif()
endforeach()

install(DIRECTORY ${_res}/samples DESTINATION ${_share})

# The program carries its translations as resources; the installed .qm files are for
# translators and packagers. They are built from the .ts files into a folder of their own
# so they do not collide with the catalogues compiled into the resources.
set(_qm_dir ${CMAKE_CURRENT_BINARY_DIR}/translations)
set(_qm_files "")
foreach(_lang ja zh_CN)
    set(_ts ${_res}/translations/glintcaster_${_lang}.ts)
    set(_qm ${_qm_dir}/glintcaster_${_lang}.qm)
    add_custom_command(OUTPUT ${_qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_qm_dir}
        COMMAND Qt6::lrelease -silent ${_ts} -qm ${_qm}
        DEPENDS ${_ts}
        COMMENT "Building translation glintcaster_${_lang}.qm"
        VERBATIM)
    list(APPEND _qm_files ${_qm})
endforeach()
add_custom_target(glintcaster_translations ALL DEPENDS ${_qm_files})
install(FILES ${_qm_files} DESTINATION ${_share}/translations)

# Desktop entry, AppStream metainfo, icons.
install(FILES ${_res}/desktop/${GLINTCASTER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_res}/desktop/${GLINTCASTER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_res}/icons/glintcaster.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${GLINTCASTER_APP_ID}.svg)
foreach(_size 48 128)
    install(FILES ${_res}/desktop/icons/glintcaster-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME ${GLINTCASTER_APP_ID}.png)
endforeach()

# Manual pages and shell completion.
install(FILES ${_res}/man/glintcaster-cli.1 ${_res}/man/glintcaster-sim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_res}/completion/glintcaster-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME glintcaster-cli)

# glintcaster-server: the program, its manual page, the system service and the
# configuration it reads. The unit names the installed program and configuration by their
# full paths; its home is /var/lib/glintcaster (StateDirectory).
install(TARGETS glintcaster-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_res}/man/glintcaster-server.8 DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
configure_file(${_res}/systemd/glintcaster-server.service
               ${CMAKE_CURRENT_BINARY_DIR}/systemd/glintcaster-server.service @ONLY)
set(GLINTCASTER_SYSTEMD_UNIT_DIR "lib/systemd/system" CACHE STRING
    "Where glintcaster-server.service is installed (relative to the prefix, or absolute)")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/systemd/glintcaster-server.service
        DESTINATION ${GLINTCASTER_SYSTEMD_UNIT_DIR})
install(FILES ${_res}/samples/server.ini DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/glintcaster)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/openapi.json DESTINATION ${CMAKE_INSTALL_DOCDIR})
