# The release package: Vantrel-1.0-win32.zip with the i686 program, the default picture and
# the user guide. Built with `cmake --build --preset win32 --target package`.
if(NOT WIN32)
  return()
endif()

install(TARGETS Vantrel RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/resources/SG.jpg DESTINATION . OPTIONAL)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/guide/ DESTINATION guide OPTIONAL)

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
include(CPack)
