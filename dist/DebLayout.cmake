# Run by cpack after it has installed the game into its staging folder and before it packs that
# folder (CPACK_PRE_BUILD_SCRIPTS): what the .deb does otherwise than `cmake --install`.
#   - Debian keeps the programs of games in /usr/games (policy 11.11), so the program moves there
#     from /usr/bin, and the host's unit starts it there. It still finds its data as
#     ../share/panzerfeld beside its folder.
#   - The stripped program loses the .comment and .note sections too, as dh_strip does.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(program "${root}/bin/panzerfeld")
set(game "${root}/games/panzerfeld")
set(unit "${root}/lib/systemd/system/panzerfeld-host.service")
foreach(file "${program}" "${unit}")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "Error: the staged package has no ${file}")
    endif()
endforeach()

file(MAKE_DIRECTORY "${root}/games")
file(RENAME "${program}" "${game}")
file(GLOB left "${root}/bin/*")
if(NOT left)
    file(REMOVE_RECURSE "${root}/bin")
endif()

if(CPACK_STRIP_FILES)
    execute_process(COMMAND "${CPACK_PANZER_OBJCOPY}" --remove-section=.comment --remove-section=.note "${game}"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "Error: ${CPACK_PANZER_OBJCOPY} failed on ${game}: ${status}")
    endif()
endif()

file(READ "${unit}" text)
string(REPLACE "${CPACK_PACKAGING_INSTALL_PREFIX}/bin/panzerfeld" "${CPACK_PACKAGING_INSTALL_PREFIX}/games/panzerfeld"
       moved "${text}")
if(moved STREQUAL text)
    message(FATAL_ERROR "Error: ${unit} does not start ${CPACK_PACKAGING_INSTALL_PREFIX}/bin/panzerfeld")
endif()
file(WRITE "${unit}" "${moved}")
