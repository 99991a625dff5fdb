# Makes the MSI with wixl so that one commit gives the same bytes wherever and whenever it is
# built, as the reproducible-builds practice asks: the files' times and the package's own from
# SOURCE_DATE_EPOCH (default: the time of the source's last commit), and the package and product
# codes from the package's content (the same bytes keep one package code, other bytes get another;
# the upgrade code stays fixed in the source).
#   cmake -DWIXL=... -DMSIBUILD=... -DFAKETIME=... -DSOURCE_DIR=... -DSTAGE=DIR -DSTAGE_NAME=...
#         -DMIGRATION=FILE -DWXS=FILE -DVERSION=... -DDESCRIPTION=... -DMANUFACTURER=...
#         -DOUTPUT=FILE -P MakeMsi.cmake      (run in the folder of the .wxs)
cmake_minimum_required(VERSION 3.25)
set(upgrade_code 5d3c1a2e-7b4f-4e8a-9c61-2f0b8e4d7a13)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct OUTPUT_VARIABLE epoch
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc ERROR_QUIET)
    if(NOT rc EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
        set(epoch 315532800) # no commit to take it from: 1980-01-01, the cabinet's first day
    endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a whole number of seconds, not '${epoch}'")
endif()

# The content: every staged file by its path, the custom action, the source and the version.
file(GLOB_RECURSE staged LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT staged)
set(content "${VERSION}\n")
foreach(file IN LISTS staged)
    file(SHA256 ${STAGE}/${file} digest)
    string(APPEND content "${file} ${digest}\n")
endforeach()
foreach(file IN ITEMS ${MIGRATION} ${WXS})
    file(SHA256 ${file} digest)
    get_filename_component(name ${file} NAME)
    string(APPEND content "${name} ${digest}\n")
endforeach()
string(SHA256 content_digest "${content}")
string(UUID package_code NAMESPACE ${upgrade_code} NAME "package ${content_digest}" TYPE SHA1 UPPER)
string(UUID product_code NAMESPACE ${upgrade_code} NAME "product ${content_digest}" TYPE SHA1 UPPER)

# The cabinet keeps each file's time; the package's summary keeps the time wixl ran at.
list(TRANSFORM staged PREPEND ${STAGE}/)
execute_process(COMMAND touch -h -d @${epoch} ${staged} ${MIGRATION} COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
string(TIMESTAMP frozen "%Y-%m-%d %H:%M:%S" UTC)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${FAKETIME} -f "${frozen}"
                        ${WIXL} --arch x64 -D StageDir=${STAGE_NAME} -D Version=${VERSION} -D MigrationDll=${MIGRATION}
                        -D ProductCode=${product_code} -D PackageCode=${package_code} -o ${OUTPUT} ${WXS}
                COMMAND_ERROR_IS_FATAL ANY)
# wixl draws the package code at random whatever the source says; msibuild sets it in the summary
# (with the summary's other texts as wixl wrote them).
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${FAKETIME} -f "${frozen}"
                        ${MSIBUILD} ${OUTPUT} -s "${DESCRIPTION}" "${MANUFACTURER}" "x64;1033" "{${package_code}}"
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "${OUTPUT}: package code ${package_code}, dated ${frozen} UTC")
