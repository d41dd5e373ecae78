# naming/: the naming boxes and the key filter, derived names, make a new font, restore.
list(APPEND QM_WINDOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AnsiText.h
  ${CMAKE_CURRENT_LIST_DIR}/BoxText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BoxText.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyPreview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyPreview.h
  ${CMAKE_CURRENT_LIST_DIR}/MakeFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NameFields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RestoreNames.cpp
)
