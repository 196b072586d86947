# Signing the Windows programs (orvex.scr, the setup program and the
# uninstaller it writes) with the maker's certificate, when one is given:
#
#   -DORVEX_SIGN_PKCS12=cert.p12 [-DORVEX_SIGN_PASSWORD_FILE=pass.txt]
#   [-DORVEX_SIGN_TIMESTAMP_URL=http://timestamp.example]
#
# Without a certificate nothing is signed. ORVEX_SIGN_COMMAND is the command
# that signs the file named after it in place (empty when unsigned).
set(ORVEX_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file with the certificate and key to sign the Windows programs (empty: unsigned)")
set(ORVEX_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the PKCS#12 file's password (empty: none)")
set(ORVEX_SIGN_TIMESTAMP_URL "" CACHE STRING "Time-stamping server for the signatures (empty: no time stamp)")

find_program(OSSLSIGNCODE osslsigncode)
set(ORVEX_SIGN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/sign-pe.sh)
set(ORVEX_SIGN_COMMAND "")
if(ORVEX_SIGN_PKCS12)
  if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "ORVEX_SIGN_PKCS12 is set, but osslsigncode (Debian package osslsigncode) is missing")
  endif()
  set(ORVEX_SIGN_COMMAND sh ${ORVEX_SIGN_SCRIPT} ${OSSLSIGNCODE} ${ORVEX_SIGN_PKCS12} "${ORVEX_SIGN_PASSWORD_FILE}"
    "${ORVEX_SIGN_TIMESTAMP_URL}")
endif()

# Signs the target's program once it is linked.
function(orvex_sign_program target)
  if(ORVEX_SIGN_COMMAND)
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${ORVEX_SIGN_COMMAND} $<TARGET_FILE:${target}> VERBATIM)
  endif()
endfunction()
