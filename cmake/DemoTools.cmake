# Links the demonstration tools into the program folder's bin, where the hub and the content
# editor look for the external tools. A name that holds a real tool is left to it: any entry
# of that name that is not our link, or the Windows program "<name>.exe" in any letter case,
# beside which our link is removed so that nothing stands in front of the real tool.
# cmake -DBIN=<AppFolder/bin> -DFROM=<folder of the tools> -DTOOLS=<name,...> -P DemoTools.cmake
string(REPLACE "," ";" TOOLS "${TOOLS}")
file(MAKE_DIRECTORY ${BIN})
file(GLOB entries LIST_DIRECTORIES true RELATIVE ${BIN} ${BIN}/*)
foreach(tool IN LISTS TOOLS)
  set(link ${BIN}/${tool})
  file(RELATIVE_PATH target ${BIN} ${FROM}/${tool})

  set(ours FALSE)
  if(IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} current)
    if(current STREQUAL target)
      set(ours TRUE)
    endif()
  endif()

  set(windows FALSE)
  string(TOLOWER "${tool}.exe" windows_name)
  foreach(entry IN LISTS entries)
    string(TOLOWER "${entry}" lower)
    if(lower STREQUAL windows_name)
      set(windows TRUE)
    endif()
  endforeach()

  if(ours AND windows)
    file(REMOVE ${link})
    message(STATUS "Demonstration ${tool} removed: ${tool}.exe is in ${BIN}")
  elseif(NOT windows AND NOT EXISTS ${link} AND NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${target} ${link} SYMBOLIC)
  endif()
endforeach()
