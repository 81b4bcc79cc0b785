# What `scripts/corvex package` installs and packs: the programs, the sample card, the menu entry
# with its icon and launcher, the FlightGear protocol file and map, and the runner's manual page, as a Debian package made by CPack.
include(GNUInstallDirs)
install(TARGETS corvex-ems-run RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET corvex-ems-sim)
  install(TARGETS corvex-ems-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/corvex-ems-sim-menu DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/corvex-ems-sim.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/package/corvex-ems-sim.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
endif()
# The sample card's own files, named one by one: what runs and tests write into SDCARD/
# (DATALOG.CSV, CORVEX.EMS, FLIGHTS.CSV) stays out of the package.
install(FILES ${PROJECT_SOURCE_DIR}/SDCARD/SPLASH.MIF DESTINATION ${CMAKE_INSTALL_DATADIR}/corvex-ems-sim/SDCARD)
install(FILES ${PROJECT_SOURCE_DIR}/SDCARD/CHECKLST/BEFSTART.ECL ${PROJECT_SOURCE_DIR}/SDCARD/CHECKLST/BEFTO.ECL
  ${PROJECT_SOURCE_DIR}/SDCARD/CHECKLST/CRUISE.ECL ${PROJECT_SOURCE_DIR}/SDCARD/CHECKLST/ENGFAIL.ECL
  ${PROJECT_SOURCE_DIR}/SDCARD/CHECKLST/RUNUP.ECL
  DESTINATION ${CMAKE_INSTALL_DATADIR}/corvex-ems-sim/SDCARD/CHECKLST)
install(FILES ${PROJECT_SOURCE_DIR}/SDCARD/INFOPAGE/ENGLIMIT.MIF ${PROJECT_SOURCE_DIR}/SDCARD/INFOPAGE/FUELPLAN.MIF
  DESTINATION ${CMAKE_INSTALL_DATADIR}/corvex-ems-sim/SDCARD/INFOPAGE)
# The user's guide with its pictures, which Help > User's Guide opens.
install(FILES ${PROJECT_SOURCE_DIR}/docs/USER_GUIDE.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvex-ems-sim)
file(GLOB CORVEX_GUIDE_PICTURES ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${CORVEX_GUIDE_PICTURES} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvex-ems-sim)
# FlightGear's protocol file (to be copied into its Protocol folder), the c172p map and engine set-up.
install(FILES ${PROJECT_SOURCE_DIR}/data/flightgear/corvex-ems.xml ${PROJECT_SOURCE_DIR}/data/flightgear/c172p.map
  ${PROJECT_SOURCE_DIR}/data/flightgear/c172p.scn
  DESTINATION ${CMAKE_INSTALL_DATADIR}/corvex-ems-sim/flightgear)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/corvex-ems-run.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvex-ems-sim)
set(CPACK_PACKAGE_VENDOR "Corvex")
set(CPACK_PACKAGE_CONTACT "Corvex simulator developers <sim@corvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Engine-monitoring instrument simulator")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them: the X11 platform and software OpenGL.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libgl1-mesa-dri")
include(CPack)
