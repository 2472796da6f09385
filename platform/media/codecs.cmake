# Portable part of the media layer: the bitmap, the depth table and our own codecs.
set(korvane_media_codecs
    media/bitmap.cpp
    media/byte_io.cpp
    media/dib.cpp
    media/own_codecs.cpp
    media/packbits.cpp
    media/pict_pixels.cpp
    media/pict_reader.cpp
    media/pict_region.cpp
    media/pict_walk.cpp
    media/pict_writer.cpp
    media/pixel_format.cpp
    media/sgi.cpp
    media/tga.cpp
)
