# The wallpaper's preview GIF, Lively's thumbnail and the page's icon, drawn by
# the native orvex tool (the linux-release preset's) from the wallpaper's start
# values.
#
# In: ORVEX_PREVIEW_SETTINGS, those values as a settings file (made at build
# time); ORVEX_PREVIEWS_DIR, the folder to write into (default: previews in
# the current binary folder). Out: ORVEX_PREVIEW_FILES, the three files
# (preview.gif, thumbnail.jpg, favicon.png), and the target orvex_previews.
set(ORVEX_NATIVE_TOOL ${PROJECT_SOURCE_DIR}/build/linux-release/tools/orvex/orvex
  CACHE FILEPATH "the native orvex tool whose render the page's frames are compared with")
find_program(ORVEX_IMAGEMAGICK_CONVERT convert PATHS /usr/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(NOT DEFINED ORVEX_PREVIEWS_DIR)
  set(ORVEX_PREVIEWS_DIR ${CMAKE_CURRENT_BINARY_DIR}/previews)
endif()

set(make_previews ${CMAKE_CURRENT_LIST_DIR}/wallpaper/make_previews.sh)
set(ORVEX_PREVIEW_FILES ${ORVEX_PREVIEWS_DIR}/preview.gif ${ORVEX_PREVIEWS_DIR}/thumbnail.jpg
  ${ORVEX_PREVIEWS_DIR}/favicon.png)
# A missing tool is the script's message at build time; a tool that is there
# when configuring is a dependency, so a rebuilt tool draws them again.
set(preview_depends ${make_previews} ${ORVEX_PREVIEW_SETTINGS})
if(EXISTS ${ORVEX_NATIVE_TOOL})
  list(APPEND preview_depends ${ORVEX_NATIVE_TOOL})
endif()
add_custom_command(OUTPUT ${ORVEX_PREVIEW_FILES}
  COMMAND bash ${make_previews} ${ORVEX_NATIVE_TOOL} ${ORVEX_PREVIEWS_DIR} ${ORVEX_PREVIEW_SETTINGS}
    ${ORVEX_IMAGEMAGICK_CONVERT}
  DEPENDS ${preview_depends}
  COMMENT "Drawing the wallpaper's previews and the page's icon with ${ORVEX_NATIVE_TOOL}")
add_custom_target(orvex_previews ALL DEPENDS ${ORVEX_PREVIEW_FILES})
