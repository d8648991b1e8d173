# What `cmake --install` and `cpack` deliver besides the targets: the public
# headers, a CMake package and a pkg-config file for hosts that link the
# dialog library, the manual page of mpa-settings, and a Debian package.
#
#   <prefix>/bin/mpa-settings
#   <prefix>/<libdir>/veltrano-mpa/    libvl_gui_mpa.so.<version>, .so.<major>,
#                                      .so, the companion modules, the .qm files
#   <prefix>/<libdir>/cmake/VeltranoMpa/, <prefix>/<libdir>/pkgconfig/
#   <prefix>/include/veltrano/
#   <prefix>/share/man/man1/, <prefix>/share/doc/veltrano-mpa/
include(CMakePackageConfigHelpers)

set(VL_PACKAGE_NAME veltrano-mpa)
set(VL_PACKAGE_CONTACT "Veltrano developers <mpa@veltrano.example>")
set(VL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VL_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)
set(VL_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/VeltranoMpa)
set(VL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VL_PACKAGE_NAME})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/veltrano DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# CMake package: the exported target and its version (same major version).
install(EXPORT VeltranoMpaTargets NAMESPACE VeltranoMpa:: DESTINATION ${VL_CMAKE_PACKAGE_DIR})
configure_package_config_file(${VL_PACKAGING_DIR}/VeltranoMpaConfig.cmake.in
    ${VL_PACKAGING_BINARY_DIR}/VeltranoMpaConfig.cmake
    INSTALL_DESTINATION ${VL_CMAKE_PACKAGE_DIR}
    PATH_VARS VL_PRIVATE_LIBDIR)
write_basic_package_version_file(${VL_PACKAGING_BINARY_DIR}/VeltranoMpaConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${VL_PACKAGING_BINARY_DIR}/VeltranoMpaConfig.cmake
    ${VL_PACKAGING_BINARY_DIR}/VeltranoMpaConfigVersion.cmake
    DESTINATION ${VL_CMAKE_PACKAGE_DIR})

# pkg-config file, written when installing: it names the prefix installed
# into (cmake --install --prefix, or the package's /usr), not the one
# configured.
install(CODE "
    set(VL_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(VL_PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(VL_PC_PRIVATE_LIBDIR \"${VL_PRIVATE_LIBDIR}\")
    set(VL_PC_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
    set(VL_PC_VERSION \"${PROJECT_VERSION}\")
    configure_file(\"${VL_PACKAGING_DIR}/veltrano-mpa.pc.in\" \"${VL_PACKAGING_BINARY_DIR}/veltrano-mpa.pc\" @ONLY)
")
install(FILES ${VL_PACKAGING_BINARY_DIR}/veltrano-mpa.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Documentation files of a Debian package: copyright, and the changelog and
# the manual page compressed as Debian wants them (gzip -9n).
configure_file(${VL_PACKAGING_DIR}/changelog.in ${VL_PACKAGING_BINARY_DIR}/changelog @ONLY)
set(VL_PACKAGING_OUTPUTS ${VL_PACKAGING_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${VL_PACKAGING_BINARY_DIR}/changelog.gz
    COMMAND gzip -9nc changelog > changelog.gz
    DEPENDS ${VL_PACKAGING_BINARY_DIR}/changelog
    WORKING_DIRECTORY ${VL_PACKAGING_BINARY_DIR}
    COMMENT "Compressing the package changelog")
install(FILES ${VL_PACKAGING_DIR}/copyright ${VL_PACKAGING_BINARY_DIR}/changelog.gz DESTINATION ${VL_DOC_DIR})
# Lintian's overrides, each with its reason (packaging/lintian-overrides.in).
configure_file(${VL_PACKAGING_DIR}/lintian-overrides.in ${VL_PACKAGING_BINARY_DIR}/lintian-overrides @ONLY)
install(FILES ${VL_PACKAGING_BINARY_DIR}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${VL_PACKAGE_NAME})

# The manual page of mpa-settings is its --help text. The program is run by
# name through PATH, so the page shows no directory of the build tree.
find_program(VL_HELP2MAN help2man)
if(VL_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
    set(VL_MANPAGE ${VL_PACKAGING_BINARY_DIR}/mpa-settings.1)
    add_custom_command(OUTPUT ${VL_MANPAGE}.gz
        COMMAND ${CMAKE_COMMAND} -E env "PATH=$<TARGET_FILE_DIR:mpa-settings>:$ENV{PATH}"
            ${VL_HELP2MAN} --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
            "--name=show the MPEG-1/2 audio encoder settings dialog" --output=${VL_MANPAGE} mpa-settings
        COMMAND gzip -9nf ${VL_MANPAGE}
        DEPENDS mpa-settings
        COMMENT "Writing the manual page of mpa-settings")
    list(APPEND VL_PACKAGING_OUTPUTS ${VL_MANPAGE}.gz)
    install(FILES ${VL_MANPAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(STATUS "help2man not found: mpa-settings is installed without a manual page")
endif()
add_custom_target(vl_packaging_files ALL DEPENDS ${VL_PACKAGING_OUTPUTS})

# Debian package (cpack -G DEB in the build directory): dependencies from
# dpkg-shlibdeps, stripped binaries, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VL_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VL_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MPEG-1/2 audio encoder settings dialog (Layers I and II)")
# Lines of the extended description stay under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A Qt Widgets dialog in which a host program edits the settings of an"
    "MPEG-1/2 audio encoder (Layers I and II): audio type presets, layer,"
    "channel mode, bitrate, psychoacoustic model, emphasis and the header bits,"
    "each change checked by the encoder's rules at once. Hosts call the one C"
    "function showMPAEncoderPages of libvl_gui_mpa.so, which loads its companion"
    "modules (settings files, settings check, MPEG file import, German and"
    "Japanese messages) from its private directory."
    ""
    "The package holds the library and its modules, the C headers, a CMake"
    "package and a pkg-config file for hosts, and mpa-settings, a command-line"
    "host that shows the dialog and prints the result.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolkit's platform plugins (xcb, offscreen) are loaded at run time, so
# no link records them.
if(VL_QT_MAJOR EQUAL 6)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-qpa-plugins)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
