# Configures, builds and runs the consumer project against the staged install.
# Arguments: STAGE, SOURCE, BINARY, GENERATOR, CXX, FLAGS.
file(REMOVE_RECURSE ${BINARY})
file(GLOB_RECURSE pc_files ${STAGE}/*/kestrine.pc)
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${FLAGS}"
    -DCMAKE_PREFIX_PATH=${STAGE} -DCMAKE_BUILD_RPATH=${STAGE}/lib
  RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "building the consumer failed")
endif()
foreach(program consumer consumer_pkgconfig)
  execute_process(COMMAND ${BINARY}/${program} RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "${program} failed: ${result}")
  endif()
endforeach()
