# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Glintcaster developers
# What `cmake --install` puts where: programs in bin/, read-only data, translations and
# samples in share/glintcaster/, and the desktop integration files where the desktop looks.
include(GNUInstallDirs)

set(GLINTCASTER_APP_ID "org.glintcaster.glintcaster")
set(_res ${CMAKE_CURRENT_SOURCE_DIR}/resources)
set(_share ${CMAKE_INSTALL_DATADIR}/glintcaster)

install(TARGETS glintcaster glintcaster-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS glintcaster-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT glintcaster-sim)

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
# Manual pages go compressed (gzip -n, so the same page gives the same bytes), as Debian
# and the man command expect. Each names the package that carries it.
set(_man_out ${CMAKE_CURRENT_BINARY_DIR}/man)
set(GLINTCASTER_MAN_PAGES
    "glintcaster.1:glintcaster" "glintcaster-cli.1:glintcaster" "glintcaster-sim.1:glintcaster-sim")
if(EXISTS ${_res}/man/glintcaster-server.8)
    list(APPEND GLINTCASTER_MAN_PAGES "glintcaster-server.8:glintcaster-server")
endif()
set(_man_gz "")
foreach(_entry IN LISTS GLINTCASTER_MAN_PAGES)
    string(REPLACE ":" ";" _entry "${_entry}")
    list(GET _entry 0 _page)
    list(GET _entry 1 _component)
    string(REGEX REPLACE "^.*\\.([0-9])$" "\\1" _section "${_page}")
    add_custom_command(OUTPUT ${_man_out}/${_page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_man_out}
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${_res}/man/${_page} ${_man_out}/${_page}.gz
        DEPENDS ${_res}/man/${_page}
        VERBATIM)
    list(APPEND _man_gz ${_man_out}/${_page}.gz)
    if(NOT _component STREQUAL "glintcaster-server" OR TARGET glintcaster-server)
        install(FILES ${_man_out}/${_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${_section}
                COMPONENT ${_component})
    endif()
endforeach()
add_custom_target(glintcaster_man_pages ALL DEPENDS ${_man_gz})
install(FILES ${_res}/completion/glintcaster-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME glintcaster-cli)

# glintcaster-server: the program, the system service and the
# configuration it reads. The unit names the installed program and configuration by their
# full paths; its home is /var/lib/glintcaster (StateDirectory). Its manual page goes with
# the others above.
install(TARGETS glintcaster-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT glintcaster-server)
configure_file(${_res}/systemd/glintcaster-server.service
               ${CMAKE_CURRENT_BINARY_DIR}/systemd/glintcaster-server.service @ONLY)
set(GLINTCASTER_SYSTEMD_UNIT_DIR "lib/systemd/system" CACHE STRING
    "Where glintcaster-server.service is installed (relative to the prefix, or absolute)")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/systemd/glintcaster-server.service
        DESTINATION ${GLINTCASTER_SYSTEMD_UNIT_DIR} COMPONENT glintcaster-server)
# The configuration is optional: an example and the API description go with the package's
# documentation; the unit reads its options from /etc/default/glintcaster-server.
install(FILES ${_res}/samples/server.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glintcaster-server/examples COMPONENT glintcaster-server)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/openapi.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glintcaster-server COMPONENT glintcaster-server)
