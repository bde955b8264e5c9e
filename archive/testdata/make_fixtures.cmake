# Builds the archives the Windows tests extract, with 7-Zip on the build
# machine. Run as: cmake -DSEVENZIP=7zz -DSOURCE=<tree> -DPROGRAM=<exe> -DOUT=<dir> -P make_fixtures.cmake
# OUT/tree is the expected content: SOURCE plus an empty folder and a program
# (for the branch filters). Every archive holds all of OUT/tree.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/tree/emptydir ${OUT}/tree/bin)
file(COPY ${SOURCE}/ DESTINATION ${OUT}/tree)
file(COPY_FILE ${PROGRAM} ${OUT}/tree/bin/tool.exe)

set(variants
  "copy|-m0=Copy -mf=off -mhc=off"
  "copy_nonsolid|-m0=Copy -mf=off -ms=off -mhc=off"
  "lzma|-m0=LZMA -mf=off"
  "lzma2|-m0=LZMA2 -mf=off"
  "bcj|-m0=BCJ -m1=LZMA"
  "bcj2|-m0=BCJ2 -m1=LZMA -m2=LZMA -m3=LZMA -mb0:1 -mb0s1:2 -mb0s2:3"
  "deflate|-m0=Deflate -mf=off"
  "aes|-m0=LZMA2 -pSecret"
  "aes_header|-m0=LZMA2 -pSecret -mhe=on")
foreach(variant ${variants})
  string(REPLACE "|" ";" parts "${variant}")
  list(GET parts 0 name)
  list(GET parts 1 switches)
  separate_arguments(switch_list UNIX_COMMAND "${switches}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
                          ${SEVENZIP} a -bso0 -bsp0 ${OUT}/${name}.7z . ${switch_list}
                  WORKING_DIRECTORY ${OUT}/tree RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "7-Zip failed to build ${name}.7z")
  endif()
endforeach()
