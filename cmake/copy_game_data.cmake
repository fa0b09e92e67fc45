# Copies the shipped data folders into the game folder. The player's own
# preferences there (written by a screen-mode switch) are kept: the shipped
# preferences file is copied only when the game folder has none yet.
foreach(folder data graphics maps sound tilesets)
  file(COPY ${SOURCE}/${folder} DESTINATION ${TARGET})
endforeach()
if(NOT EXISTS ${TARGET}/config/preferences.xml)
  file(COPY ${SOURCE}/config DESTINATION ${TARGET})
endif()
