# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Glintcaster developers
# Debian packages with CPack's DEB generator, one per component: glintcaster (the window,
# the command line and their data), glintcaster-sim (the substitute projector) and, when
# it is built, glintcaster-server. scripts/package runs it from a Release build.
include(GNUInstallDirs)

set(GLINTCASTER_MAINTAINER_MAIL "glintcaster@packages.debian.invalid"
    CACHE STRING "Mail address in the packages' Maintainer field and changelog")
set(_deb_res ${CMAKE_CURRENT_SOURCE_DIR}/resources/debian)
set(_deb_out ${CMAKE_CURRENT_BINARY_DIR}/debian)

set(GLINTCASTER_PACKAGES glintcaster glintcaster-sim)
if(TARGET glintcaster-server)
    list(APPEND GLINTCASTER_PACKAGES glintcaster-server)
endif()

# Every package carries the copyright file and the compressed changelog Debian policy asks
# for. The changelog is made at build time (gzip -9n: no name, no time stamp, so the same
# sources give the same package).
set(GLINTCASTER_DEBIAN_VERSION ${PROJECT_VERSION}-${GLINTCASTER_DEBIAN_REVISION})
configure_file(${_deb_res}/changelog.in ${_deb_out}/changelog @ONLY)
add_custom_command(OUTPUT ${_deb_out}/changelog.Debian.gz
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${_deb_out}/changelog ${_deb_out}/changelog.Debian.gz
    DEPENDS ${_deb_out}/changelog
    VERBATIM)
add_custom_target(glintcaster_debian_changelog ALL DEPENDS ${_deb_out}/changelog.Debian.gz)
# Each package's lintian overrides: resources/debian/lintian-overrides with the package
# name filled in, every override justified in a comment beside it.
foreach(_pkg IN LISTS GLINTCASTER_PACKAGES)
    install(FILES ${_deb_res}/copyright ${_deb_out}/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_pkg} COMPONENT ${_pkg})
    set(GLINTCASTER_PACKAGE ${_pkg})
    configure_file(${_deb_res}/lintian-overrides.in ${_deb_out}/overrides/${_pkg} @ONLY)
    install(FILES ${_deb_out}/overrides/${_pkg}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT ${_pkg})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glintcaster)
set(CPACK_PACKAGE_VENDOR "The Glintcaster developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# A Debian revision of its own: the packages are made from the upstream sources, so their
# changelog is changelog.Debian.gz.
set(GLINTCASTER_DEBIAN_REVISION 1)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${GLINTCASTER_DEBIAN_REVISION})
set(CPACK_PACKAGE_CONTACT "The Glintcaster developers <${GLINTCASTER_MAINTAINER_MAIL}>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${GLINTCASTER_PACKAGES})
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")

set(CPACK_DEBIAN_GLINTCASTER_PACKAGE_NAME glintcaster)
set(CPACK_DEBIAN_GLINTCASTER_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_GLINTCASTER_DESCRIPTION
"show short coloured text messages on network projectors
Glintcaster puts short text messages on the screens of network projectors:
a notice for a lecture hall, a reminder in a meeting room, an alert in every
classroom at once. It composes a coloured title and a message of several
pages, previews it as the projector draws it, plays its alarm tune, finds
projectors on the local network and keeps them with their passwords.
.
The package holds the desktop program and glintcaster-cli, the same
operations for scripts and sends to many projectors at once.")

set(CPACK_DEBIAN_GLINTCASTER-SIM_PACKAGE_NAME glintcaster-sim)
set(CPACK_DEBIAN_GLINTCASTER-SIM_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_GLINTCASTER-SIM_DESCRIPTION
"substitute network projector for training with Glintcaster
glintcaster-sim answers the projector command protocol and discovery
searches, keeps message slots and reports status, so that Glintcaster can be
tried, taught and tested without a projector. Several can run at once on
different loopback addresses.")

if(TARGET glintcaster-server)
    set(CPACK_DEBIAN_GLINTCASTER-SERVER_PACKAGE_NAME glintcaster-server)
    set(CPACK_DEBIAN_GLINTCASTER-SERVER_PACKAGE_SECTION net)
    # The service runs as a system user of its own, made by the maintainer scripts.
    set(CPACK_DEBIAN_GLINTCASTER-SERVER_PACKAGE_DEPENDS "adduser")
    # dpkg knows maintainer scripts by their plain names.
    foreach(_script postinst postrm)
        configure_file(${_deb_res}/glintcaster-server.${_script}
                       ${_deb_out}/glintcaster-server/${_script} COPYONLY)
    endforeach()
    set(CPACK_DEBIAN_GLINTCASTER-SERVER_PACKAGE_CONTROL_EXTRA
        ${_deb_out}/glintcaster-server/postinst ${_deb_out}/glintcaster-server/postrm)
    set(CPACK_COMPONENT_GLINTCASTER-SERVER_DESCRIPTION
"HTTP service and CAP alerts for Glintcaster projector fleets
glintcaster-server offers Glintcaster's operations over HTTP with bearer
tokens, so that alert systems, building management and control panels can
put a notice on every projector of a group. It accepts alerts in the OASIS
Common Alerting Protocol 1.2 and records every action in the activity log.
.
The systemd unit is installed but not enabled; enable it with
systemctl enable --now glintcaster-server.")
endif()

include(CPack)
