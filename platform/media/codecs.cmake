# Portable part of the media layer: the bitmap, the depth table, our own codecs and the compositor.
target_sources(korvane_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/bitmap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/byte_io.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compositor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fixed_matrix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/own_codecs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/packbits.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pict_pixels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pict_reader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pict_region.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pict_walk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pict_writer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pixel_format.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sgi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tga.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_modes.cpp
)
