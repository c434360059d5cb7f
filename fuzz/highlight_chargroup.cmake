# Character specifiers come from scheme scripts, which are user files.
torvane_fuzz(highlight_chargroup_fuzz ${CMAKE_CURRENT_LIST_DIR}/highlight_chargroup_fuzz.cpp torvane_highlight)
