# Installing and packaging: the version shown by the programs, desktop entry, icons, AppStream data,
# manual pages, and the Debian package (CPack; `scripts/package` builds it).
set(OZZEL_RELEASE_DATE 2026-12-07)  # of PROJECT_VERSION, for the manual pages, AppStream and changelog
set(OZZEL_APPSTREAM_ID io.github.ozzel.ozzel)
set(OZZEL_HOMEPAGE https://github.com/ozzel/ozzel)
set(OZZEL_SCREENSHOTS ${OZZEL_HOMEPAGE}/raw/main/packaging/screenshots)  # made by scripts/screenshots
set(OZZEL_MAINTAINER "Ozzel developers <maintainers@users.noreply.c-seed-b6bc2ef1.example>")

set(pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg_out})

foreach(t ozzel datagen)
  if(TARGET ${t})
    target_compile_definitions(${t} PRIVATE OZZEL_VERSION="${PROJECT_VERSION}")
  endif()
endforeach()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The game, its launcher and the generator the launcher runs go where a system keeps its games (/usr/games).
foreach(t ozzel datagen)
  if(TARGET ${t})
    install(TARGETS ${t} RUNTIME DESTINATION games)
    target_link_options(${t} PRIVATE -Wl,-z,now)
  endif()
endforeach()
install(PROGRAMS ${pkg_src}/ozzel-start DESTINATION games)
# datagen's Festival (a forked copy of its loaded voice per line) is no command of its own: it goes where
# datagen looks for it, lib/ozzel beside the games folder.
if(TARGET datagen-festival)
  install(TARGETS datagen-festival RUNTIME DESTINATION lib/ozzel)
  target_link_options(datagen-festival PRIVATE -Wl,-z,now)
endif()
install(FILES ${pkg_src}/ozzel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The icon at each size the menus ask for: the program's own at 32 pixels, drawn afresh at the others.
find_package(PNG QUIET)
if(TARGET ozzel_resgen_lib AND PNG_FOUND)
  add_executable(ozzel-icon ${pkg_src}/icon.cpp)
  target_link_libraries(ozzel-icon PRIVATE ozzel_resgen_lib ozzel_resources PNG::PNG)
  set(icon_files)
  foreach(size 32 48 64 128 256)
    set(png ${pkg_out}/icons/${size}x${size}/ozzel.png)
    add_custom_command(OUTPUT ${png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg_out}/icons/${size}x${size}
                       COMMAND ozzel-icon ${size} ${png}
                       DEPENDS ozzel-icon ${CMAKE_SOURCE_DIR}/resources/data/icon.bmp
                               ${CMAKE_SOURCE_DIR}/resources/data/icon_mask.bmp
                       COMMENT "Drawing the ${size}-pixel desktop icon")
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    list(APPEND icon_files ${png})
  endforeach()
  add_custom_target(ozzel_icons ALL DEPENDS ${icon_files})
else()
  message(STATUS "Desktop icons are not drawn (needs tools/resgen and libpng-dev)")
endif()

# AppStream data, manual pages and the changelog carry the version and date from here.
execute_process(COMMAND date -R -u -d "${OZZEL_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE OZZEL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${pkg_src}/ozzel.metainfo.xml.in ${pkg_out}/${OZZEL_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${pkg_out}/${OZZEL_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog go in compressed, without timestamps (the package stays reproducible).
set(gz_files)
function(ozzel_gzip template out)
  configure_file(${template} ${pkg_out}/${out} @ONLY)
  add_custom_command(OUTPUT ${pkg_out}/${out}.gz
                     COMMAND gzip -9nf -k ${pkg_out}/${out}
                     DEPENDS ${pkg_out}/${out}
                     COMMENT "Compressing ${out}")
  set(gz_files ${gz_files} ${pkg_out}/${out}.gz PARENT_SCOPE)
endfunction()
ozzel_gzip(${pkg_src}/ozzel.6.in ozzel.6)
ozzel_gzip(${pkg_src}/datagen.1.in datagen.1)
ozzel_gzip(${pkg_src}/changelog.in changelog)
add_custom_target(ozzel_docs ALL DEPENDS ${gz_files})
install(FILES ${pkg_out}/ozzel.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${pkg_out}/datagen.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
file(CREATE_LINK ozzel.6.gz ${pkg_out}/ozzel-start.6.gz SYMBOLIC)
install(FILES ${pkg_out}/ozzel-start.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${pkg_out}/changelog.gz ${pkg_src}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. Libraries come from the binaries (dpkg-shlibdeps); what they only open at run time
# is named here: the fonts, the General MIDI sound font and the voices datagen captions and speaks the
# demo medium with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ozzel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${OZZEL_MAINTAINER})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${OZZEL_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation2, fonts-dejavu-core, timgm6mb-soundfont | fluid-soundfont-gm, espeak-ng-data, festival, festival-czech, festvox-czech-dita, festvox-us-slt-hts")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spoken animal quiz for pre-school children")
# The extended description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A talking examiner introduces the game, the child picks one of four animal
scenes (home, farm, forest and safari animals), a voice asks for an animal
and the child clicks it in the picture. Right answers are praised, the
score stays on screen, and the child ends the game with the door button.
.
The game is the animal quiz of the Bimbalo suite of children's programs. It
plays the suite's data medium; for a user without one, the desktop launcher
builds a demo medium with Czech speech (or another language chosen from the
locale) on its first start.")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
