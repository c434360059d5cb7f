# Install rules: `cmake --install out --prefix PREFIX` gives a program that
# finds its parts from where it was installed (see platform/ProgramLayout.h),
# with a menu entry, an icon, a file type for assembler sources and manual
# pages. The Debian package is built from the same rules (cmake/Package.cmake).

foreach(program torvane torvane-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${TORVANE_INSTALL_BINDIR})
  endif()
endforeach()
# The bridge, the resource library and the assembler front ends are the
# program's own parts, not commands for the user's PATH.
foreach(part Pelorin Quendal asemw avrasm32)
  if(TARGET ${part})
    install(TARGETS ${part} RUNTIME DESTINATION ${TORVANE_INSTALL_LIBDIR} LIBRARY DESTINATION ${TORVANE_INSTALL_LIBDIR})
  endif()
endforeach()

set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${generated})
install(FILES ${packaging}/torvane.desktop DESTINATION share/applications)
install(FILES ${packaging}/torvane-mime.xml DESTINATION share/mime/packages RENAME torvane.xml)
install(FILES ${packaging}/torvane.svg DESTINATION share/icons/hicolor/scalable/apps)

# Bitmap icons for the sizes menus and panels ask for, drawn from the SVG.
find_program(TORVANE_RSVG_CONVERT rsvg-convert)
set(icon_outputs)
if(TORVANE_RSVG_CONVERT)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${generated}/icons/${size}x${size}/torvane.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/icons/${size}x${size}
      COMMAND ${TORVANE_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${packaging}/torvane.svg
      DEPENDS ${packaging}/torvane.svg
      VERBATIM)
    list(APPEND icon_outputs ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert not found (package librsvg2-bin): only the scalable icon is installed")
endif()

# Manual pages and the change log, compressed without a time stamp so that
# the same sources give the same package.
find_program(TORVANE_GZIP gzip REQUIRED)
set(doc_outputs)
function(_torvane_gzipped template output)
  configure_file(${template} ${generated}/${output} @ONLY)
  add_custom_command(
    OUTPUT ${generated}/${output}.gz
    COMMAND ${TORVANE_GZIP} -n -9 -c ${generated}/${output} > ${generated}/${output}.gz
    DEPENDS ${generated}/${output}
    VERBATIM)
  set(doc_outputs ${doc_outputs} ${generated}/${output}.gz PARENT_SCOPE)
endfunction()
_torvane_gzipped(${packaging}/torvane-cli.1 torvane-cli.1)
_torvane_gzipped(${packaging}/torvane.1 torvane.1)
_torvane_gzipped(${packaging}/changelog.in changelog)
add_custom_target(torvane_packaging_files ALL DEPENDS ${icon_outputs} ${doc_outputs})

install(FILES ${generated}/torvane-cli.1.gz ${generated}/torvane.1.gz DESTINATION share/man/man1)
install(FILES ${packaging}/copyright ${generated}/changelog.gz DESTINATION share/doc/torvane)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
