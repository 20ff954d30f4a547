# cmake -DDIR=... -DBIN=... -DDOOR=run-tests.cmd -DZIP=out.zip -P pack.cmake
# Packs the files DIR/files.txt names, DIR/tests.txt and the door script
# into one folder Quillan-tests-win32 inside ZIP. A file in a subfolder of
# BIN keeps that subfolder (a planted DLL a test puts in place itself must
# not stand beside every test program). The door gets CR LF line
# ends, which cmd.exe needs for its labels and blocks.
cmake_minimum_required(VERSION 3.20)
set(stage ${DIR}/stage)
set(folder ${stage}/Quillan-tests-win32)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${folder})

file(STRINGS ${DIR}/files.txt files)
list(REMOVE_DUPLICATES files)
list(REMOVE_ITEM files "")
foreach(file ${files})
  file(RELATIVE_PATH inside ${BIN} ${file})
  get_filename_component(subfolder ${inside} DIRECTORY)
  if(subfolder STREQUAL "" OR inside MATCHES "^\\.\\.")
    file(COPY ${file} DESTINATION ${folder})
  else()
    file(COPY ${file} DESTINATION ${folder}/${subfolder})
  endif()
endforeach()
file(COPY ${DIR}/tests.txt DESTINATION ${folder})
file(READ ${DOOR} door)
string(REPLACE "\r\n" "\n" door "${door}")
string(REPLACE "\n" "\r\n" door "${door}")
file(WRITE ${folder}/run-tests.cmd "${door}")

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip Quillan-tests-win32
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${stage})
if(failed)
  message(FATAL_ERROR "could not write ${ZIP}")
endif()
