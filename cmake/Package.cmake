# The add-in package: a folder laid out as the host expects an add-in,
#   TrelvikDizivoro360/  library, TrelvikDizivoro360.manifest, resources/<icon folders>
# installed by `cmake --install` and zipped by CPack. The Windows build's ZIP is the deliverable.

configure_file(${PROJECT_SOURCE_DIR}/src/TrelvikDizivoro360.manifest.in
               ${PROJECT_BINARY_DIR}/package/TrelvikDizivoro360.manifest @ONLY)

set(addin_folder TrelvikDizivoro360)
install(TARGETS TrelvikDizivoro360 LIBRARY DESTINATION ${addin_folder} RUNTIME DESTINATION ${addin_folder})
install(FILES ${PROJECT_BINARY_DIR}/package/TrelvikDizivoro360.manifest DESTINATION ${addin_folder})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${addin_folder}/resources
        FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TrelvikDizivoro360)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
    set(CPACK_SYSTEM_NAME windows-x64)
else()
    set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
# The ZIP holds the add-in folder itself at its top.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
