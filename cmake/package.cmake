# The release package: Vantrel-1.0-win32.zip with the i686 program, the default picture and
# the user guide. Built with `cmake --build --preset win32 --target package`.
#
#   Vantrel.exe       the program (stripped; it needs no DLL beside it)
#   SG.jpg            the picture the cover shows; the user may replace it
#   guide/            the user guide: index.html (open it in a browser), README.md, images/
#
# The picture and the guide are required: a package without them fails to build rather than
# ship incomplete.
if(NOT WIN32)
  return()
endif()

install(TARGETS Vantrel RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/resources/SG.jpg DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/guide/ DESTINATION guide
        FILES_MATCHING PATTERN "*.md" PATTERN "*.html" PATTERN "*.png")

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(VANTREL_PACKAGE_ARCH win32)
else()
  set(VANTREL_PACKAGE_ARCH win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Vantrel-${PROJECT_VERSION}-${VANTREL_PACKAGE_ARCH}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The debug sections of the build stay out of the package.
set(CPACK_STRIP_FILES ON)
include(CPack)
