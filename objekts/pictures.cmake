# Draws the library's pictures into build/bin/objekts/<TYPE>/ with the picture
# tool (tools/objpics, no Qt), from the sizes and pins of the definition files,
# and the parameter dialogs' background pictures into build/bin/dialogs/ from
# the sources objekts/<TYPE>/<TYPE>.dlg and the dialog family table.
find_package(Freetype REQUIRED)
find_path(V7300_FONT_DIR DejaVuSans.ttf PATHS /usr/share/fonts/truetype/dejavu REQUIRED)
file(GLOB _objpics_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/objpics/*.cpp)
add_executable(v7300_objpics ${_objpics_srcs})
target_link_libraries(v7300_objpics PRIVATE v7300_model v7300_core Freetype::Freetype)
target_compile_definitions(v7300_objpics PRIVATE OBJPICS_FONT_DIR="${V7300_FONT_DIR}")
set_target_properties(v7300_objpics PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
file(GLOB_RECURSE _objpics_defs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.obj ${CMAKE_CURRENT_SOURCE_DIR}/*.dlg)
set(_objpics_stamp ${CMAKE_BINARY_DIR}/objpics.stamp)
add_custom_command(OUTPUT ${_objpics_stamp}
  COMMAND v7300_objpics ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/bin/objekts ${CMAKE_BINARY_DIR}/bin/dialogs
  COMMAND ${CMAKE_COMMAND} -E touch ${_objpics_stamp}
  DEPENDS v7300_objpics ${_objpics_defs}
  COMMENT "Drawing the component and dialog pictures" VERBATIM)
add_custom_target(v7300_objekt_pictures ALL DEPENDS ${_objpics_stamp})
add_dependencies(v7300_objekts v7300_objekt_pictures)
