# The window's non-visual components: settings file, sound player, launcher.
list(APPEND QM_COMPONENT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AppExec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppExec.h
  ${CMAKE_CURRENT_LIST_DIR}/RegFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegFiles.h
  ${CMAKE_CURRENT_LIST_DIR}/WavePlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavePlay.h
)
