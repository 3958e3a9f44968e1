# Run by CPack after the zip (CPACK_POST_BUILD_SCRIPTS): makes VW_Vexa-<version>-x64.msi and
# -x86.msi with wixl beside the zip, from the files CPack staged for the zip (wixl takes no
# absolute source paths: it runs in their folder).
if(NOT CPACK_VEXA_WIXL)
  message(FATAL_ERROR "wixl not found: run scripts/setup --mingw32 and configure again")
endif()
# The zip's final folder (CPACK_PACKAGE_FILES still name its place in CPack's own tree).
set(output_dir ${CPACK_PACKAGE_DIRECTORY})
set(staged ${CPACK_TEMPORARY_DIRECTORY})
if(NOT EXISTS ${staged}/x64/VW_Vexa.dll)
  message(FATAL_ERROR "No staged files of the zip in ${staged}")
endif()
foreach(arch x64 x86)
  set(msi ${output_dir}/${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${arch}.msi)
  execute_process(
    COMMAND ${CPACK_VEXA_WIXL} -a ${arch} -D Version=${CPACK_PACKAGE_VERSION}
            -o ${msi} ${CPACK_VEXA_WXS_DIR}/VW_Vexa-${arch}.wxs
    WORKING_DIRECTORY ${staged}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT EXISTS ${msi})
    message(FATAL_ERROR "wixl failed on the ${arch} package:\n${output}")
  endif()
  message(STATUS "${msi} made")
endforeach()
