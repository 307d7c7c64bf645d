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
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/ozzel.rc.in ${CMAKE_BINARY_DIR}/ozzel.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/ozzel.rc PROPERTIES OBJECT_DEPENDS ${OZZEL_ICO})
target_sources(ozzel PRIVATE ${CMAKE_BINARY_DIR}/ozzel.rc)
