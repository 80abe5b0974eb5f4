# cpack's package step (the External generator): the staged files become a
# ZIP that the same commit rebuilds byte for byte, in any build folder, at any
# time. CPack's own ZIP generator records each file's access and change
# times, and binutils' strip stamps the header of the PE file it rewrites
# with the current time; here the programs are stripped with that stamp kept
# at 0 (as the linker left it), every file is dated at the commit's time, and
# the entries go in a fixed order with no extra attributes.
set(stage "${CPACK_TEMPORARY_DIRECTORY}")
set(zip "${stage}/${CPACK_PACKAGE_FILE_NAME}.zip")
file(REMOVE "${zip}")

file(GLOB programs RELATIVE "${stage}" "${stage}/*.dll" "${stage}/*.exe" "${stage}/*.so" "${stage}/marlowick-explain"
     "${stage}/quelvin-host")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env SOURCE_DATE_EPOCH=0 "${CPACK_MARLOWICK_STRIP}" --strip-unneeded
                          "${stage}/${program}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(GLOB entries RELATIVE "${stage}" "${stage}/*")
list(SORT entries)
foreach(entry IN LISTS entries)
  execute_process(COMMAND touch -d "@${CPACK_MARLOWICK_SOURCE_DATE_EPOCH}" "${stage}/${entry}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC zip -X -q "${zip}" ${entries}
                WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES "${zip}")
