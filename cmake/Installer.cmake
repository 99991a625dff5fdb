# The per-user MSI (`msi` target): the staged add-in folder into
#   %APPDATA%\Autodesk\FusionAddins\TrelvikDizivoro360\
# the folder the host documents for add-ins installed other than from its store, with no
# administrator rights. A fixed upgrade code makes a newer version replace an older one in place.
# The launch record is not an installed file, so an upgrade keeps it byte for byte and an
# uninstall leaves it (and so its folder); every other folder the MSI makes goes at uninstall
# when empty. Versions before this one installed into the host's developer folder
# (...\Autodesk Fusion 360\API\AddIns\TrelvikDizivoro360\): an upgrade removes that copy (the
# major upgrade) and a custom action (tools/installer) moves its launch record into the new folder.

# The custom action, carried in the MSI only.
add_library(record_migration MODULE ${PROJECT_SOURCE_DIR}/tools/installer/RecordMigration.cpp)
set_target_properties(record_migration PROPERTIES PREFIX "" OUTPUT_NAME TrelvikRecordMigration)
target_link_libraries(record_migration PRIVATE trelvik_warnings)
if(TRELVIK_MSVC_ABI)
    # Nothing of a C or C++ run-time: kernel32 alone, no entry point, so no stack cookie either.
    target_compile_options(record_migration PRIVATE -fno-stack-protector)
    target_link_libraries(record_migration PRIVATE trelvik_msvc_abi_system)
    target_link_options(record_migration PRIVATE -Wl,/noentry)
elseif(MSVC)
    target_link_options(record_migration PRIVATE /NOENTRY)
else()
    target_link_options(record_migration PRIVATE -static-libgcc -static-libstdc++)
endif()

set(msi_description "Trelvik: Fusion 360 add-in for newcomers")
set(msi_stage ${PROJECT_BINARY_DIR}/package/msi-stage) # wixl reads sources relative to the .wxs
set(msi_file ${PROJECT_BINARY_DIR}/package/${package_name}.msi)
set(msi_source ${PROJECT_BINARY_DIR}/package/TrelvikDizivoro360.wxs)

# One component per folder, each with a per-user registry value as its key path (files under
# the user's profile cannot be one) and the folder removed again on uninstall.
set(registry_key "Software\\Morvane Sytems\\TrelvikDizivoro360")
function(installer_component out id folder files)
    set(xml "<Component Id=\"${id}\" Guid=\"*\">\n")
    string(APPEND xml "  <RegistryValue Root=\"HKCU\" Key=\"${registry_key}\" Name=\"${id}\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>\n")
    set(index 0)
    foreach(file IN LISTS files)
        math(EXPR index "${index} + 1")
        string(APPEND xml "  <File Id=\"${id}_${index}\" Source=\"$(var.StageDir)/${folder}${file}\"/>\n")
    endforeach()
    string(APPEND xml "  <RemoveFolder Id=\"${id}_Remove\" On=\"uninstall\"/>\n</Component>\n")
    set(${out} "${xml}" PARENT_SCOPE)
endfunction()

# The parents the MSI makes, each removed at uninstall when empty (%APPDATA%\Autodesk is shared
# with the host, which keeps its own files there; an empty one was made by us).
installer_component(autodesk_component AutodeskFolder "" "")
installer_component(addins_component FusionAddinsFolder "" "")
installer_component(main_component AddinFiles "" "${TRELVIK_ADDIN_FILE_NAME};TrelvikDizivoro360.manifest;TrelvikDizivoro360.html")
set(resources_xml "")
set(component_refs "<ComponentRef Id=\"AutodeskFolder\"/><ComponentRef Id=\"FusionAddinsFolder\"/><ComponentRef Id=\"AddinFiles\"/>")
foreach(folder Eshop Eshop/LessTen Trelvik Trelvik/LessTen)
    file(GLOB icons RELATIVE ${PROJECT_SOURCE_DIR}/resources/${folder} ${PROJECT_SOURCE_DIR}/resources/${folder}/*.png
         ${PROJECT_SOURCE_DIR}/resources/${folder}/*.svg)
    list(SORT icons)
    string(REPLACE "/" "" id "Icons${folder}")
    installer_component(component ${id} "resources/${folder}/" "${icons}")
    string(APPEND component_refs "<ComponentRef Id=\"${id}\"/>")
    set(components_${id} "${component}")
endforeach()
# resources/Eshop[/LessTen] and resources/Trelvik[/LessTen] as nested folders.
set(resources_xml "<Directory Id=\"ResourcesDir\" Name=\"resources\">\n")
foreach(name Eshop Trelvik)
    string(APPEND resources_xml "<Directory Id=\"${name}Dir\" Name=\"${name}\">\n${components_Icons${name}}"
                                "<Directory Id=\"${name}LessTenDir\" Name=\"LessTen\">\n${components_Icons${name}LessTen}"
                                "</Directory>\n</Directory>\n")
endforeach()
string(APPEND resources_xml "</Directory>\n")

string(CONCAT msi_xml [=[<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="$(var.ProductCode)" Name="TrelvikDizivoro360" Language="1033" Version="$(var.Version)" Manufacturer="Morvane Sytems"
           UpgradeCode="5d3c1a2e-7b4f-4e8a-9c61-2f0b8e4d7a13">
    <Package Id="$(var.PackageCode)" InstallerVersion="500" Compressed="yes" InstallScope="perUser"
             Description="]=] "${msi_description}" [=["/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of TrelvikDizivoro360 is already installed."/>
    <Media Id="1" Cabinet="addin.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="AppDataFolder">
        <Directory Id="AutodeskDir" Name="Autodesk">
]=] "${autodesk_component}" [=[
          <Directory Id="FusionAddinsDir" Name="FusionAddins">
]=] "${addins_component}" [=[
            <Directory Id="INSTALLDIR" Name="TrelvikDizivoro360">
]=] "${main_component}${resources_xml}" [=[
            </Directory>
          </Directory>
        </Directory>
      </Directory>
    </Directory>
    <Binary Id="RecordMigration" SourceFile="$(var.MigrationDll)"/>
    <CustomAction Id="MigrateLaunchRecord" BinaryKey="RecordMigration" DllEntry="MigrateLaunchRecord"
                  Execute="immediate" Return="ignore"/>
    <InstallExecuteSequence>
      <!-- After the older product is removed (RemoveExistingProducts, before InstallInitialize). -->
      <Custom Action="MigrateLaunchRecord" After="InstallInitialize">NOT Installed</Custom>
    </InstallExecuteSequence>
    <Feature Id="AddIn" Level="1">]=] "${component_refs}" [=[</Feature>
  </Product>
</Wix>
]=])
file(GENERATE OUTPUT ${msi_source} CONTENT "${msi_xml}")

# wixl reads every source relative to the .wxs: the custom action's DLL goes beside the stage.
set(msi_commands
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${msi_stage}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${msi_stage} --config $<CONFIG>
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:record_migration> ${PROJECT_BINARY_DIR}/package/msi-action.dll)
if(WIXL)
    # Reproducible (cmake/MakeMsi.cmake): times from the source, codes from the content.
    find_program(FAKETIME faketime REQUIRED)
    find_program(MSIBUILD msibuild REQUIRED)
    list(APPEND msi_commands
         COMMAND ${CMAKE_COMMAND} -DWIXL=${WIXL} -DMSIBUILD=${MSIBUILD} -DFAKETIME=${FAKETIME}
                 -DSOURCE_DIR=${PROJECT_SOURCE_DIR} "-DDESCRIPTION=${msi_description}" "-DMANUFACTURER=Morvane Sytems"
                 -DSTAGE=${msi_stage}/TrelvikDizivoro360 -DSTAGE_NAME=msi-stage/TrelvikDizivoro360
                 -DMIGRATION=msi-action.dll -DWXS=${msi_source} -DVERSION=${TRELVIK_VERSION} -DOUTPUT=${msi_file}
                 -P ${PROJECT_SOURCE_DIR}/cmake/MakeMsi.cmake)
else()
    # The WiX Toolset on Windows: a new product and package code at every build.
    list(APPEND msi_commands
         COMMAND ${WIX_CANDLE} -nologo -arch x64 -dStageDir=msi-stage/TrelvikDizivoro360 -dVersion=${TRELVIK_VERSION}
                 -dMigrationDll=msi-action.dll -dProductCode=* -dPackageCode=*
                 -out TrelvikDizivoro360.wixobj ${msi_source}
         COMMAND ${WIX_LIGHT} -nologo -sval -out ${msi_file} TrelvikDizivoro360.wixobj)
endif()
if(NOT TRELVIK_SIGNING_CERT STREQUAL "")
    list(APPEND msi_commands COMMAND ${sign_command} -DFILE=${msi_file} -P ${PROJECT_SOURCE_DIR}/cmake/Sign.cmake)
endif()
add_custom_target(msi ${msi_commands}
                  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/package
                  BYPRODUCTS ${msi_file}
                  COMMENT "Per-user installer ${package_name}.msi"
                  VERBATIM)
add_dependencies(msi ${TRELVIK_ADDIN_TARGET} record_migration)
