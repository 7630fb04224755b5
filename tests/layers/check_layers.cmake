# cmake -DCOMPILER=... -DSTANDARD=... -DPROBES=<generated calls> -DWORK=<folder> -P check_layers.cmake
# Each probe compiles, with one library's own include path and definitions, a
# source that includes a header the library may use, then one that includes a
# header it must not see; the second must fail because the header is not found.

# The compiler's messages in English, so that "not found" can be recognised.
set(ENV{LC_ALL} C)

function(compile_probe lib header includes definitions result_var errors_var)
  set(source ${WORK}/probe-${lib}.cpp)
  file(WRITE ${source} "#include \"${header}\"\n")
  list(TRANSFORM includes PREPEND -I)
  list(TRANSFORM definitions PREPEND -D)
  execute_process(COMMAND ${COMPILER} -std=${STANDARD} -fsyntax-only ${definitions} ${includes} ${source}
                  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${errors_var} "${errors}" PARENT_SCOPE)
endfunction()

function(probe lib visible hidden includes definitions)
  compile_probe(${lib} ${visible} "${includes}" "${definitions}" result errors)
  if(NOT result EQUAL 0)
    message(SEND_ERROR "${lib} does not compile ${visible}:\n${errors}")
  endif()
  compile_probe(${lib} ${hidden} "${includes}" "${definitions}" result errors)
  if(result EQUAL 0)
    message(SEND_ERROR "${lib} compiles ${hidden}, which is above it or beside it")
  elseif(NOT errors MATCHES "${hidden}: No such file or directory")
    message(SEND_ERROR "${lib} fails on ${hidden} for another reason than not finding it:\n${errors}")
  else()
    message(STATUS "${lib}: compiles ${visible}, does not find ${hidden}")
  endif()
endfunction()

include(${PROBES})
