#pragma once
// The Windows Imaging Component side of the importers: decoders over bytes in memory, the
// description of a frame (pixel format through the depth table, resolution, palette) and the
// decode of a frame into our Bitmap.

#include <windows.h>

#include <wincodec.h>

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/importer.h"
#include "platform/media/pixel_format.h"
#include "platform/win32/raii.h"

namespace korvane::media::wic {

using win32::com_ptr;

// A status for a failed call: -108 for memory, `fallback` for anything else.
Status statusFromResult(HRESULT result, Status fallback);

Status createFactory(com_ptr<IWICImagingFactory>& factory);

// A decoder chosen by the content of the bytes, which must outlive the stream and decoder.
// kNoImporter when no installed decoder knows them.
Status createDecoder(IWICImagingFactory* factory,
                     const uint8_t* data,
                     size_t size,
                     com_ptr<IWICStream>& stream,
                     com_ptr<IWICBitmapDecoder>& decoder);

// Our name for a WIC pixel format; false for a format the table does not list.
bool pixelFormatOf(const WICPixelFormatGUID& guid, PixelFormat& format);

// Depth, resolution and (for indexed formats) the palette of a frame, read from its header.
Status describeFrame(IWICImagingFactory* factory,
                     IWICBitmapDecoder* decoder,
                     IWICBitmapFrameDecode* frame,
                     ImageDescription& out);

// Decodes a frame into a bitmap at the depth of its description.
Status decodeFrame(IWICImagingFactory* factory,
                   IWICBitmapDecoder* decoder,
                   IWICBitmapFrameDecode* frame,
                   size_t maxBytes,
                   Bitmap& out);

}  // namespace korvane::media::wic
