# Settings streams arrive inside compiled schemes, which may be damaged.
torvane_fuzz(highlight_settings_fuzz ${CMAKE_CURRENT_LIST_DIR}/highlight_settings_fuzz.cpp torvane_highlight)
