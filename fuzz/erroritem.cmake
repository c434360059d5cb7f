# The build-message parser lives in the Qt application library, so this
# target needs a configuration with -DTORVANE_BUILD_GUI=ON.
if(TARGET torvane_app)
  torvane_fuzz(erroritem_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/erroritem_fuzz.cpp torvane_app)
endif()
