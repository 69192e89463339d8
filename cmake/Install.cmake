# What `cmake --install` lays out and what `cpack -G DEB` packs:
#   bin/quillpost                            the command the user runs
#   libexec/quillpost/quillpost-app          the full program it starts
#   share/quillpost/                         resources
#   share/applications/<id>.desktop          menu entry, login redirect handler
#   share/icons/hicolor/{scalable,NxN}/apps/<id>.{svg,png}
#   share/metainfo/<id>.metainfo.xml         software-centre description
# Both executables find share/quillpost from their own location (Paths), so
# the tree works under any prefix and from any working folder.

set(QP_PACKAGING_DIR "${CMAKE_BINARY_DIR}/packaging")
set(QP_ICON_DIR "${QP_PACKAGING_DIR}/icons")

if(TARGET quillpost)
  install(TARGETS quillpost RUNTIME DESTINATION bin)
endif()
if(TARGET quillpost-app)
  install(TARGETS quillpost-app RUNTIME DESTINATION libexec/quillpost)
endif()
install(DIRECTORY "${PROJECT_SOURCE_DIR}/resources/" DESTINATION share/quillpost)

configure_file("${PROJECT_SOURCE_DIR}/packaging/quillpost.desktop.in"
               "${QP_PACKAGING_DIR}/${QP_APP_ID}.desktop" @ONLY)
configure_file("${PROJECT_SOURCE_DIR}/packaging/quillpost.metainfo.xml.in"
               "${QP_PACKAGING_DIR}/${QP_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${QP_PACKAGING_DIR}/${QP_APP_ID}.desktop" DESTINATION share/applications)
install(FILES "${QP_PACKAGING_DIR}/${QP_APP_ID}.metainfo.xml" DESTINATION share/metainfo)

# The icon is drawn by our art generator at build time.
if(TARGET theme-art)
  set(icon_files "${QP_ICON_DIR}/scalable/apps/${QP_APP_ID}.svg")
  foreach(side 48 128 256)
    list(APPEND icon_files "${QP_ICON_DIR}/${side}x${side}/apps/${QP_APP_ID}.png")
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:theme-art> --icon "${QP_ICON_DIR}" "${QP_APP_ID}"
    DEPENDS theme-art
    COMMENT "Drawing the application icon")
  add_custom_target(quillpost-icon ALL DEPENDS ${icon_files})
  install(DIRECTORY "${QP_ICON_DIR}/" DESTINATION share/icons/hicolor)
endif()

# The Debian package: quillpost_<version>_<arch>.deb, its Depends worked out
# from the executables' shared libraries.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quillpost")
set(CPACK_PACKAGE_VENDOR "The Quillpost developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "Quillpost lays a whole photo, uncropped, into a square \
decorated by a theme and renders a 612 x 612 picture for square-format photo sharing.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quillpost developers <quillpost@localhost>")
# What the program loads or runs by name, which the shared-library scan
# cannot see: the fonts the themes and screens draw with, the desktop's URL
# opener, and the libraries opened when a photo first needs them (HEIC,
# colour profiles).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation2, fonts-noto-core, xdg-utils, \
libheif1, liblcms2-2")
include(CPack)
