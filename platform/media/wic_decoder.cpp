#include "platform/media/wic_decoder.h"

#include "platform/media/header_probe.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace korvane::media::wic {

namespace {

struct FormatRow {
    const GUID* guid;
    PixelFormat format;
};

using F = PixelFormat;

const FormatRow kFormats[] = {
    {&GUID_WICPixelFormat1bppIndexed, F::kIndexed1},
    {&GUID_WICPixelFormat2bppIndexed, F::kIndexed2},
    {&GUID_WICPixelFormat4bppIndexed, F::kIndexed4},
    {&GUID_WICPixelFormat8bppIndexed, F::kIndexed8},
    {&GUID_WICPixelFormatBlackWhite, F::kBlackWhite},
    {&GUID_WICPixelFormat2bppGray, F::kGrey2},
    {&GUID_WICPixelFormat4bppGray, F::kGrey4},
    {&GUID_WICPixelFormat8bppGray, F::kGrey8},
    {&GUID_WICPixelFormat16bppGray, F::kGrey16},
    {&GUID_WICPixelFormat32bppGrayFloat, F::kGreyFloat},
    {&GUID_WICPixelFormat16bppBGR555, F::kRgb555},
    {&GUID_WICPixelFormat16bppBGR565, F::kRgb565},
    {&GUID_WICPixelFormat16bppBGRA5551, F::kRgba5551},
    {&GUID_WICPixelFormat24bppBGR, F::kRgb24},
    {&GUID_WICPixelFormat24bppRGB, F::kRgb24},
    {&GUID_WICPixelFormat32bppBGR, F::kRgbx32},
    {&GUID_WICPixelFormat32bppBGRA, F::kRgba32},
    {&GUID_WICPixelFormat32bppRGBA, F::kRgba32},
    {&GUID_WICPixelFormat32bppPBGRA, F::kPremultipliedRgba32},
    {&GUID_WICPixelFormat32bppPRGBA, F::kPremultipliedRgba32},
    {&GUID_WICPixelFormat32bppCMYK, F::kCmyk32},
    {&GUID_WICPixelFormat64bppCMYK, F::kCmyk64},
    {&GUID_WICPixelFormat48bppRGB, F::kRgb48},
    {&GUID_WICPixelFormat48bppBGR, F::kRgb48},
    {&GUID_WICPixelFormat64bppRGBA, F::kRgba64},
    {&GUID_WICPixelFormat64bppBGRA, F::kRgba64},
    {&GUID_WICPixelFormat64bppPRGBA, F::kPremultipliedRgba64},
    {&GUID_WICPixelFormat64bppPBGRA, F::kPremultipliedRgba64},
    {&GUID_WICPixelFormat96bppRGBFloat, F::kRgbFloat},
    {&GUID_WICPixelFormat128bppRGBFloat, F::kRgbFloat},
    {&GUID_WICPixelFormat128bppRGBAFloat, F::kRgbaFloat},
    {&GUID_WICPixelFormat128bppPRGBAFloat, F::kRgbaFloat},
};

PixelFormat formatOfFrame(IWICBitmapSource* frame) {
    WICPixelFormatGUID guid{};
    PixelFormat format = F::kRgba32;  // unknown formats are decoded through 32-bit BGRA
    if (SUCCEEDED(frame->GetPixelFormat(&guid))) {
        pixelFormatOf(guid, format);
    }
    return format;
}

// The palette of an indexed frame (or, for GIF, of its decoder). False when neither has one.
bool readPalette(IWICImagingFactory* factory,
                 IWICBitmapDecoder* decoder,
                 IWICBitmapFrameDecode* frame,
                 ImageDescription& out) {
    com_ptr<IWICPalette> palette;
    if (FAILED(factory->CreatePalette(palette.put()))) {
        return false;
    }
    if (FAILED(frame->CopyPalette(palette.get())) && (!decoder || FAILED(decoder->CopyPalette(palette.get())))) {
        return false;
    }
    WICColor colours[kMaxPaletteSize];
    UINT count = 0;
    if (FAILED(palette->GetColors(kMaxPaletteSize, colours, &count))) {
        return false;
    }
    out.colourCount = static_cast<int>(count);
    for (UINT i = 0; i < count; ++i) {
        out.colours[i] = Rgb{static_cast<uint8_t>(colours[i] >> 16), static_cast<uint8_t>(colours[i] >> 8),
                             static_cast<uint8_t>(colours[i])};
    }
    return true;
}

// GIF and ICO files hold no resolution (the decoders make one up): they keep the default.
bool storesResolution(IWICBitmapDecoder* decoder) {
    GUID container{};
    if (!decoder || FAILED(decoder->GetContainerFormat(&container))) {
        return true;
    }
    return !IsEqualGUID(container, GUID_ContainerFormatGif) && !IsEqualGUID(container, GUID_ContainerFormatIco);
}

bool isIndexedFormat(PixelFormat format) {
    return format == F::kIndexed1 || format == F::kIndexed2 || format == F::kIndexed4 || format == F::kIndexed8;
}

// Formats whose WIC layout is the Bitmap's layout for their depth, row for row.
bool copiesDirectly(PixelFormat format, const WICPixelFormatGUID& guid) {
    switch (format) {
        case F::kIndexed1:
        case F::kIndexed2:
        case F::kIndexed4:
        case F::kIndexed8:
        case F::kBlackWhite:
        case F::kGrey2:
        case F::kGrey4:
        case F::kGrey8:
        case F::kRgb555:
            return true;
        case F::kRgb24:
            return IsEqualGUID(guid, GUID_WICPixelFormat24bppBGR);
        case F::kRgba32:
            return IsEqualGUID(guid, GUID_WICPixelFormat32bppBGRA);
        default:
            return false;
    }
}

Status copyAll(IWICBitmapSource* source, Bitmap& out) {
    const size_t bytes = out.byteSize();
    if (bytes > UINT_MAX || out.stride() > UINT_MAX) {
        return kOutOfMemory;
    }
    const HRESULT result =
        source->CopyPixels(nullptr, static_cast<UINT>(out.stride()), static_cast<UINT>(bytes), out.row(0));
    return SUCCEEDED(result) ? kNoErr : statusFromResult(result, kCodecError);
}

Status convertedSource(IWICImagingFactory* factory,
                       IWICBitmapSource* source,
                       const WICPixelFormatGUID& target,
                       com_ptr<IWICFormatConverter>& converter) {
    HRESULT result = factory->CreateFormatConverter(converter.put());
    if (SUCCEEDED(result)) {
        result =
            converter->Initialize(source, target, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom);
    }
    return SUCCEEDED(result) ? kNoErr : statusFromResult(result, kCodecError);
}

// Luminance of a colour as an 8-bit grey level.
uint32_t greyIndex(uint8_t red, uint8_t green, uint8_t blue) {
    return (uint32_t{red} * 299 + uint32_t{green} * 587 + uint32_t{blue} * 114 + 500) / 1000;
}

// Reads a 32-bit BGRA conversion of the source one row at a time and stores each pixel at
// the bitmap's own depth (16, 24, 32 or 8-bit grey).
Status copyThroughBgra(IWICImagingFactory* factory, IWICBitmapSource* source, Bitmap& out) {
    com_ptr<IWICFormatConverter> converter;
    if (Status status = convertedSource(factory, source, GUID_WICPixelFormat32bppBGRA, converter); status != kNoErr) {
        return status;
    }
    if (out.depth() == kDepth32) {
        return copyAll(converter.get(), out);
    }
    const size_t rowBytes = static_cast<size_t>(out.width()) * 4;
    std::unique_ptr<uint8_t, FreeDeleter> row(static_cast<uint8_t*>(std::malloc(rowBytes)));
    if (!row || rowBytes > UINT_MAX) {
        return kOutOfMemory;
    }
    for (int32_t y = 0; y < out.height(); ++y) {
        const WICRect line{0, y, out.width(), 1};
        const HRESULT result =
            converter->CopyPixels(&line, static_cast<UINT>(rowBytes), static_cast<UINT>(rowBytes), row.get());
        if (FAILED(result)) {
            return statusFromResult(result, kCodecError);
        }
        const uint8_t* p = row.get();
        for (int32_t x = 0; x < out.width(); ++x, p += 4) {
            if (isGreyDepth(out.depth())) {
                out.setIndex(x, y, greyIndex(p[2], p[1], p[0]));
            } else {
                out.setPixel(x, y, Rgba{p[2], p[1], p[0], 255});
            }
        }
    }
    return kNoErr;
}

}  // namespace

Status statusFromResult(HRESULT result, Status fallback) {
    return result == E_OUTOFMEMORY ? kOutOfMemory : fallback;
}

Status createFactory(com_ptr<IWICImagingFactory>& factory) {
    const HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IWICImagingFactory, factory.put_void());
    return SUCCEEDED(result) ? kNoErr : statusFromResult(result, kNoImporter);
}

Status createDecoder(IWICImagingFactory* factory,
                     const uint8_t* data,
                     size_t size,
                     com_ptr<IWICStream>& stream,
                     com_ptr<IWICBitmapDecoder>& decoder) {
    if (size == 0 || size > UINT_MAX) {
        return kNoImporter;
    }
    HRESULT result = factory->CreateStream(stream.put());
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
    }
    if (FAILED(result)) {
        return statusFromResult(result, kNoImporter);
    }
    result = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put());
    return SUCCEEDED(result) ? kNoErr : statusFromResult(result, kNoImporter);
}

bool pixelFormatOf(const WICPixelFormatGUID& guid, PixelFormat& format) {
    for (const FormatRow& row : kFormats) {
        if (IsEqualGUID(*row.guid, guid)) {
            format = row.format;
            return true;
        }
    }
    return false;
}

Status describeFrame(IWICImagingFactory* factory,
                     IWICBitmapDecoder* decoder,
                     IWICBitmapFrameDecode* frame,
                     ImageDescription& out) {
    ImageDescription description;
    const PixelFormat format = formatOfFrame(frame);
    description.depth = reportedDepth(format);
    double dpiX = 0;
    double dpiY = 0;
    if (storesResolution(decoder) && SUCCEEDED(frame->GetResolution(&dpiX, &dpiY))) {
        description.hRes = resolutionFromDotsPerInch(dpiX);
        description.vRes = resolutionFromDotsPerInch(dpiY);
    }
    if (isIndexedFormat(format) && !readPalette(factory, decoder, frame, description)) {
        return kCodecError;
    }
    out = description;
    return kNoErr;
}

Status decodeFrame(IWICImagingFactory* factory,
                   IWICBitmapDecoder* decoder,
                   IWICBitmapFrameDecode* frame,
                   size_t maxBytes,
                   Bitmap& out) {
    out.reset();
    UINT width = 0;
    UINT height = 0;
    HRESULT result = frame->GetSize(&width, &height);
    if (FAILED(result) || width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) {
        return kCodecError;
    }
    ImageDescription description;
    if (Status status = describeFrame(factory, decoder, frame, description); status != kNoErr) {
        return status;
    }
    WICPixelFormatGUID guid{};
    frame->GetPixelFormat(&guid);
    const PixelFormat format = formatOfFrame(frame);
    const PixelFormatInfo& info = pixelFormatInfo(format);

    Bitmap bitmap;
    if (Status status = bitmap.create(static_cast<int32_t>(width), static_cast<int32_t>(height), info.depth, maxBytes);
        status != kNoErr) {
        return status;
    }
    bitmap.setResolution(description.hRes, description.vRes);
    Status status = kNoErr;
    if (copiesDirectly(format, guid)) {
        status = copyAll(frame, bitmap);
    } else if (isGreyDepth(info.depth)) {
        // 16-bit and float grey: through the converter to 8 bits where it can, else through BGRA.
        com_ptr<IWICFormatConverter> converter;
        status = convertedSource(factory, frame, GUID_WICPixelFormat8bppGray, converter);
        if (status != kNoErr || copyAll(converter.get(), bitmap) != kNoErr) {
            status = copyThroughBgra(factory, frame, bitmap);
        }
    } else {
        status = copyThroughBgra(factory, frame, bitmap);
    }
    if (status != kNoErr) {
        return status;
    }
    if (format == F::kBlackWhite) {
        const Rgb blackWhite[] = {Rgb{0, 0, 0}, Rgb{255, 255, 255}};
        bitmap.setPalette(blackWhite);
    } else if (isIndexedFormat(format)) {
        const int entries = std::min(description.colourCount, 1 << bitsPerPixel(info.depth));
        bitmap.setPalette({description.colours, static_cast<size_t>(entries)});
    }
    if (info.hasAlpha && bitmap.depth() == kDepth32) {
        bitmap.setHasAlpha(true);
        bitmap.dropEmptyAlpha();
    }
    out = static_cast<Bitmap&&>(bitmap);
    return kNoErr;
}

}  // namespace korvane::media::wic
