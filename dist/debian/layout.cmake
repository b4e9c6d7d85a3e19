# Run by cpack after the files are installed into its staging folder and before the Debian
# package is made: Debian keeps games in /usr/games, and every package carries its copyright
# and its changelog. A plain `cmake --install` keeps the programs in bin.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
if(NOT IS_DIRECTORY "${root}/usr/bin")
  # Some CPack versions stage below the package's own folder.
  file(GLOB_RECURSE found LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*/usr/bin")
  list(FILTER found INCLUDE REGEX "/usr/bin$")
  list(GET found 0 bin)
  get_filename_component(root "${bin}/../.." ABSOLUTE)
endif()
file(MAKE_DIRECTORY "${root}/usr/games")
# Only the two programs live there: the folder goes with them.
foreach(program kelvara kelvara-cli)
  file(RENAME "${root}/usr/bin/${program}" "${root}/usr/games/${program}")
endforeach()
file(REMOVE_RECURSE "${root}/usr/bin")
set(doc "${root}/usr/share/doc/kelvara")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CPACK_KELVARA_DEBIAN_DIR}/copyright" "${doc}/copyright")
execute_process(COMMAND gzip -9nc "${CPACK_KELVARA_DEBIAN_DIR}/changelog" OUTPUT_FILE "${doc}/changelog.gz"
                COMMAND_ERROR_IS_FATAL ANY)
