# The studio window and its tiles and rows, part of PendraApp.
target_sources(PendraApp PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AdaptiveGridLayout.h ${CMAKE_CURRENT_LIST_DIR}/AdaptiveGridLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CharmPicture.h ${CMAKE_CURRENT_LIST_DIR}/CharmPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CharmTile.h ${CMAKE_CURRENT_LIST_DIR}/CharmTile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CordTile.h ${CMAKE_CURRENT_LIST_DIR}/CordTile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HungRow.h ${CMAKE_CURRENT_LIST_DIR}/HungRow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SliderMapping.h ${CMAKE_CURRENT_LIST_DIR}/SliderMapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudioSection.h ${CMAKE_CURRENT_LIST_DIR}/StudioSection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudioStyle.h ${CMAKE_CURRENT_LIST_DIR}/StudioStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StudioWindow.h ${CMAKE_CURRENT_LIST_DIR}/StudioWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SwitchButton.h ${CMAKE_CURRENT_LIST_DIR}/SwitchButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Symbols.h ${CMAKE_CURRENT_LIST_DIR}/Symbols.cpp
)
target_include_directories(PendraApp PUBLIC ${CMAKE_CURRENT_LIST_DIR})
