# Writes the build id header: a digest of every source file under SRC, of
# FLAVOUR (compiler, build type, sanitizers) and of PHYSICS (the linked Bullet's
# version, which also ends the id, "<digest>-bullet<version>"), so that a replay
# can tell whether the program that plays it is the one that recorded it, and
# say so when only the physics differs. The header is written only when the id
# changes, so an unchanged build recompiles nothing.
#   cmake -DSRC=<src dir> -DOUT=<header> -DFLAVOUR=<text> -DPHYSICS=<version> -P tools/BuildId.cmake
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.cpp ${SRC}/*.h)
list(SORT files)
set(all "${FLAVOUR}\nbullet ${PHYSICS}\n")
foreach(file IN LISTS files)
    file(SHA256 ${SRC}/${file} digest)
    string(APPEND all "${file} ${digest}\n")
endforeach()
string(SHA256 id "${all}")
string(SUBSTRING ${id} 0 16 id)
string(APPEND id "-bullet${PHYSICS}")
set(text "// Written by tools/BuildId.cmake from the sources; not to be edited.\n#pragma once\n#define PANZER_BUILD_ID \"${id}\"\n")
set(old "")
if(EXISTS ${OUT})
    file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
    file(WRITE ${OUT} "${text}")
endif()
