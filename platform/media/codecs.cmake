# Portable part of the media layer: the bitmap, the depth table, our own codecs and the compositor.
set(korvane_media_codecs
    media/bitmap.cpp
    media/byte_io.cpp
    media/compositor.cpp
    media/compression.cpp
    media/dib.cpp
    media/exporter.cpp
    media/fixed_matrix.cpp
    media/gif_writer.cpp
    media/macpaint.cpp
    media/offscreen.cpp
    media/own_codecs.cpp
    media/packbits.cpp
    media/photoshop.cpp
    media/pict_pixels.cpp
    media/pict_reader.cpp
    media/pict_region.cpp
    media/pict_walk.cpp
    media/pict_writer.cpp
    media/pixel_format.cpp
    media/qtif.cpp
    media/sgi.cpp
    media/stb_writers.cpp
    media/tga.cpp
    media/tiff_writer.cpp
    media/transfer_modes.cpp
)

# The JPEG and PNG encoders come from Debian's libstb-dev (stb_image_write.h), compiled into
# the module; only their folder is added, so the cross compiler sees no other host header.
find_path(KORVANE_STB_INCLUDE_DIR stb_image_write.h PATHS /usr/include/stb NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set_source_files_properties(media/stb_writers.cpp PROPERTIES INCLUDE_DIRECTORIES "${KORVANE_STB_INCLUDE_DIR}")
