# Installation: the game (launcher, executable, data, desktop entry, icon), the library as a CMake
# package with a pkg-config file, and a Debian package through CPack.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The launcher finds the game and its data relative to itself, so any prefix works.
file(RELATIVE_PATH ZQ_BIN_TO_SHARE /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_DATADIR}/zq2)
file(RELATIVE_PATH ZQ_BIN_TO_GAME /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBEXECDIR}/zq2/zq2)

if(TARGET zq2)
  install(TARGETS zq2 RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zq2 COMPONENT game)
  configure_file(dist/zq2.in ${CMAKE_BINARY_DIR}/dist/zq2 @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/zq2 DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
  install(DIRECTORY ${ZQ_RUN_DIR}/bmp ${ZQ_RUN_DIR}/wav DESTINATION ${CMAKE_INSTALL_DATADIR}/zq2 COMPONENT game)
  install(FILES dist/zq2.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
  install(FILES ${ZQ_RUN_DIR}/share/zq2.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps
          COMPONENT game OPTIONAL)
endif()

set(vt_libs vt_midi vt_debug vt_support zq_platform_audio zq_platform_core)
foreach(lib ${vt_libs})
  target_include_directories(${lib} INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel/library/midi>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel/library/debug>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vantrel/library/support>)
endforeach()
install(TARGETS ${vt_libs} EXPORT VantrelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library)
foreach(dir library/support library/debug library/midi platform/core platform/audio)
  install(DIRECTORY ${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/${dir}
          COMPONENT library FILES_MATCHING PATTERN "*.h")
endforeach()
install(EXPORT VantrelTargets NAMESPACE Vantrel:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel
        COMPONENT library)
configure_package_config_file(dist/VantrelConfig.cmake.in ${CMAKE_BINARY_DIR}/dist/VantrelConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/dist/VantrelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/dist/VantrelConfig.cmake ${CMAKE_BINARY_DIR}/dist/VantrelConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel COMPONENT library)
configure_file(dist/vantrel.pc.in ${CMAKE_BINARY_DIR}/dist/vantrel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/vantrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zq2)
set(CPACK_PACKAGE_CONTACT "ZQ-2 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZQ-2 arcade shooter and the Vantrel game library")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libsdl2-ttf-2.0-0, libfluidsynth3, fonts-vlgothic, fonts-dejavu-core, timgm6mb-soundfont | fluid-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
