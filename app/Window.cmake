# The main window: declaration, layout, start-up and shutdown, cues, information panels, the
# general error display, and the handlers of browsing, loading, naming, make and restore.
list(APPEND QM_WINDOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AfterFirstFrame.h
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Application.h
  ${CMAKE_CURRENT_LIST_DIR}/BusyCursor.h
  ${CMAKE_CURRENT_LIST_DIR}/ClickCatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClickCatcher.h
  ${CMAKE_CURRENT_LIST_DIR}/Cues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DestinationFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorDisplay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorDisplay.h
  ${CMAKE_CURRENT_LIST_DIR}/FolderChange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HideWatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HideWatcher.h
  ${CMAKE_CURRENT_LIST_DIR}/HintSwitch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HintSwitch.h
  ${CMAKE_CURRENT_LIST_DIR}/InfoPanels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardAccess.h
  ${CMAKE_CURRENT_LIST_DIR}/Lifecycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Main.h
  ${CMAKE_CURRENT_LIST_DIR}/MainComponents.def
  ${CMAKE_CURRENT_LIST_DIR}/MainControls.def
  ${CMAKE_CURRENT_LIST_DIR}/LayoutRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/MakeFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NameFields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpenWith.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReaderControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReaderControls.h
  ${CMAKE_CURRENT_LIST_DIR}/RestoreNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SessionOutcome.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StripScroll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemporaryFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewPrint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowAccessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowAccessible.h
)
# The lists the window's members and layout are generated from: edited, they rebuild the window.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/MainComponents.def
                            ${CMAKE_CURRENT_LIST_DIR}/MainControls.def
                            PROPERTIES HEADER_FILE_ONLY ON)
