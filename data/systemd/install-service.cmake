# Installs the service and its default file where systemd and Debian look
# for them, decided at install time: a package (prefix /usr) puts them in
# /lib/systemd/system and /etc, any other prefix under itself.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(SYSCONFDIR /etc)
    set(unitdir /lib/systemd/system)
else()
    set(SYSCONFDIR ${CMAKE_INSTALL_PREFIX}/etc)
    set(unitdir ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
endif()
set(BINDIR ${CMAKE_INSTALL_PREFIX}/bin)
configure_file(${TALLIS_DATA_DIR}/systemd/tallis-pjlink.service.in ${TALLIS_BINARY_DIR}/tallis-pjlink.service @ONLY)
configure_file(${TALLIS_DATA_DIR}/systemd/tallis-pjlink.default ${TALLIS_BINARY_DIR}/default/tallis-pjlink COPYONLY)
file(INSTALL ${TALLIS_BINARY_DIR}/tallis-pjlink.service DESTINATION ${unitdir} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(INSTALL ${TALLIS_BINARY_DIR}/default/tallis-pjlink DESTINATION ${SYSCONFDIR}/default PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
