# Builds the web media archives the extraction worker tests unpack, with
# 7-Zip on the build machine. Run as:
#   cmake -DSEVENZIP=7zz -DOUT=<dir> -P make_media_fixtures.cmake
# OUT/block/ is the expected content; OUT/block.7zip holds it as "block\...",
# the layout of a web media archive (its own name as the top folder).
file(REMOVE_RECURSE ${OUT})
file(WRITE ${OUT}/block/readme.txt "placed twice\n")
file(WRITE ${OUT}/block/sub/notes.txt "placed once\n")
file(WRITE ${OUT}/block/sub/left.txt "moved with the folder\n")
file(WRITE ${OUT}/block/日本.txt "a name outside most code pages\n")
file(WRITE ${OUT}/block/data/top.bin "moved with the folder too\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
                        ${SEVENZIP} a -t7z -bso0 -bsp0 ${OUT}/block.7zip block
                WORKING_DIRECTORY ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "7-Zip failed to build block.7zip")
endif()
