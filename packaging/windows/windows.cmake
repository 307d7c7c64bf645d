# The Windows program's version, icon and resources (the installer is made by scripts/build-windows).
target_compile_definitions(ozzel PRIVATE OZZEL_VERSION="${PROJECT_VERSION}")
find_program(OZZEL_CONVERT convert)
if(NOT OZZEL_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert is needed to make the program's icon (scripts/deps installs it)")
endif()
set(OZZEL_ICO ${CMAKE_BINARY_DIR}/ozzel.ico)
set(icon_src ${CMAKE_SOURCE_DIR}/resources/data)
# The window icon's picture with its mask (white = opaque) as the alpha channel, at the sizes Windows asks for.
add_custom_command(OUTPUT ${OZZEL_ICO}
  COMMAND ${OZZEL_CONVERT} ${icon_src}/icon.bmp ${icon_src}/icon_mask.bmp -alpha off -compose CopyOpacity -composite
          -define icon:auto-resize=48,32,16 ${OZZEL_ICO}
  DEPENDS ${icon_src}/icon.bmp ${icon_src}/icon_mask.bmp VERBATIM)
set(OZZEL_MANIFEST ${CMAKE_BINARY_DIR}/ozzel.manifest)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/ozzel.manifest ${OZZEL_MANIFEST} @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/ozzel.rc.in ${CMAKE_BINARY_DIR}/ozzel.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/ozzel.rc PROPERTIES OBJECT_DEPENDS "${OZZEL_ICO};${OZZEL_MANIFEST}")
target_sources(ozzel PRIVATE ${CMAKE_BINARY_DIR}/ozzel.rc)
# The text engine takes its faces from a fonts folder beside the program: the build's programs (the
# simulator, the tests and benchmarks under wine) get the same files the installer ships.
foreach(dir ${CMAKE_BINARY_DIR}/fonts ${CMAKE_BINARY_DIR}/tests/fonts ${CMAKE_BINARY_DIR}/bench/fonts)
  file(COPY /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
            /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
            /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
       DESTINATION ${dir})
endforeach()
