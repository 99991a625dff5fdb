cmake_minimum_required(VERSION 3.25)
# Signs one file in place with osslsigncode (Authenticode).
#   cmake -DTOOL=osslsigncode -DCERT=cert.p12 -DFILE=... -P Sign.cmake
# The certificate's password comes from TRELVIK_SIGNING_PASSWORD in the environment. It reaches
# osslsigncode through a file in a folder only we can read, never on a command line (where any
# process on the machine could see it).

if(NOT DEFINED ENV{TRELVIK_SIGNING_PASSWORD})
    message(FATAL_ERROR "signing ${FILE}: set TRELVIK_SIGNING_PASSWORD to the password of ${CERT}")
endif()
string(RANDOM LENGTH 12 suffix)
set(private "${FILE}.${suffix}.signing")
file(MAKE_DIRECTORY "${private}")
file(CHMOD "${private}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(WRITE "${private}/password" "$ENV{TRELVIK_SIGNING_PASSWORD}")
execute_process(COMMAND ${TOOL} sign -pkcs12 ${CERT} -readpass ${private}/password -n TrelvikDizivoro360
                        -in ${FILE} -out ${private}/signed
                RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(rc EQUAL 0)
    file(RENAME "${private}/signed" "${FILE}")
endif()
file(REMOVE_RECURSE "${private}")
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "signing ${FILE} failed: ${output}")
endif()
message(STATUS "signed ${FILE}")
