# The platform-free rules' one source list: the program, the host tests and
# the fuzz targets all build these files, and nothing in them includes
# <windows.h>.
set(CLIP_LOGIC_SOURCES
  app_state.cpp
  bounded_text.cpp
  text_encoding.cpp
  encoding_detect.cpp
  cp932_pairs.cpp
  clip_entry.cpp
  command_line.cpp
  clip_list_model.cpp
  clip_list_edit.cpp
  clip_list_merge.cpp
  list_save.cpp
  entry_filter.cpp
  wide_text.cpp
  shortcut_key.cpp)
