# browse/: the drive, folder and file lists, the folder change and count, the load, the
# character strip and the temporary registration.
list(APPEND QM_WINDOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BrowserItems.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BrowserItems.h
  ${CMAKE_CURRENT_LIST_DIR}/CharacterStrip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CharacterStrip.h
  ${CMAKE_CURRENT_LIST_DIR}/DirectoryListBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DirectoryListBox.h
  ${CMAKE_CURRENT_LIST_DIR}/DriveComboBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DriveComboBox.h
  ${CMAKE_CURRENT_LIST_DIR}/FileListBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileListBox.h
  ${CMAKE_CURRENT_LIST_DIR}/FolderChange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpenWith.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemporaryFont.cpp
)
