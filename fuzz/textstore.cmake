torvane_fuzz(textstore_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/textstore_fuzz.cpp torvane_editor)
