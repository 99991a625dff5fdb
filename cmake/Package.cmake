# The add-in package: a folder laid out as the host expects an add-in,
#   TrelvikDizivoro360/  library, TrelvikDizivoro360.manifest, TrelvikDizivoro360.html (the help page
#                        the manifest names), resources/<icon folders: 16x16 and 32x32 as SVG and PNG>
# installed by `cmake --install`, zipped by CPack, and (Windows) put into a per-user MSI by the
# `msi` target. Packages of the simulated-host build say "simhost" in their name: the host
# cannot load that DLL, so nobody should hand it to users.

configure_file(${PROJECT_SOURCE_DIR}/src/TrelvikDizivoro360.manifest.in
               ${PROJECT_BINARY_DIR}/package/TrelvikDizivoro360.manifest @ONLY)

set(addin_folder TrelvikDizivoro360)
install(PROGRAMS ${TRELVIK_ADDIN_FILE} DESTINATION ${addin_folder})
install(FILES ${PROJECT_BINARY_DIR}/package/TrelvikDizivoro360.manifest ${PROJECT_SOURCE_DIR}/src/TrelvikDizivoro360.html
        DESTINATION ${addin_folder})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${addin_folder}/resources
        FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")

# Optional Authenticode signing: the DLL as it is installed (so before any package is made).
set(TRELVIK_SIGNING_CERT "" CACHE FILEPATH
    "PKCS#12 certificate to sign the DLL and the MSI with (password: TRELVIK_SIGNING_PASSWORD in the environment)")
if(NOT TRELVIK_SIGNING_CERT STREQUAL "")
    find_program(OSSLSIGNCODE osslsigncode REQUIRED)
    set(sign_command ${CMAKE_COMMAND} -DTOOL=${OSSLSIGNCODE} -DCERT=${TRELVIK_SIGNING_CERT})
    install(CODE "execute_process(COMMAND ${CMAKE_COMMAND} -DTOOL=${OSSLSIGNCODE} -DCERT=${TRELVIK_SIGNING_CERT}
                      \"-DFILE=\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${addin_folder}/${TRELVIK_ADDIN_FILE_NAME}\"
                      -P ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake COMMAND_ERROR_IS_FATAL ANY)")
endif()

set(package_name TrelvikDizivoro360-${TRELVIK_VERSION})
if(TRELVIK_SIMULATED_HOST)
    string(APPEND package_name -simhost)
endif()
if(NOT WIN32)
    string(APPEND package_name -${CMAKE_SYSTEM_NAME})
endif()
string(APPEND package_name -x64)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TrelvikDizivoro360)
set(CPACK_PACKAGE_VERSION ${TRELVIK_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${package_name})
# The ZIP holds the add-in folder itself at its top.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)

if(WIN32)
    # wixl (msitools) where we build; on a Windows machine the WiX Toolset 3 reads the same source.
    find_program(WIXL wixl)
    find_program(WIX_CANDLE candle)
    find_program(WIX_LIGHT light)
    if(WIXL OR (WIX_CANDLE AND WIX_LIGHT))
        include(${PROJECT_SOURCE_DIR}/cmake/Installer.cmake)
    else()
        message(STATUS "Neither wixl (Debian: wixl) nor the WiX Toolset found: no msi target")
    endif()
endif()
