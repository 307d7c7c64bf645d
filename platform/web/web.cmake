# The browser's program (emscripten): the page's backend and sound, and ozzel.js + ozzel.wasm + ozzel.data.
ozzel_library(plat_web
  SOURCES platform/web/web_backend.cpp platform/web/web_audio.cpp platform/web/web_capture.cpp
  LINK plat_ui plat_audio plat_scale plat_headless)
add_executable(ozzel app/main_web.cpp)
target_link_libraries(ozzel PRIVATE ozzel_main plat_web)
# Modal boxes run their own loops inside input handlers: ASYNCIFY lets a wait give the page its turn.
# No threads (they would need cross-origin isolation headers a plain static host does not send). The
# program's pictures and cursors come packed beside it.
target_link_options(ozzel PRIVATE
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=262144 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web -sFORCE_FILESYSTEM=1 -sDYNAMIC_EXECUTION=0
  -sEXIT_RUNTIME=1 "-sEXPORTED_RUNTIME_METHODS=['FS','ENV','addRunDependency','removeRunDependency']"
  --preload-file ${CMAKE_SOURCE_DIR}/resources/data@/resources)
set_property(TARGET ozzel APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/resources/data)
