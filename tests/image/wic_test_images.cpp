#include "tests/image/wic_test_images.h"

#include <objbase.h>

#include "platform/media/byte_io.h"
#include "platform/media/pict.h"
#include "platform/win32/raii.h"

namespace korvane::image_testing {

using win32::com_ptr;

namespace {

UINT bitsOf(const GUID& format) {
    com_ptr<IWICImagingFactory> factory;
    com_ptr<IWICComponentInfo> info;
    com_ptr<IWICPixelFormatInfo> pixelInfo;
    UINT bits = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   factory.put_void())) &&
        SUCCEEDED(factory->CreateComponentInfo(format, info.put())) &&
        SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo, pixelInfo.put_void()))) {
        pixelInfo->GetBitsPerPixel(&bits);
    }
    return bits;
}

bool writeFrame(IWICImagingFactory* factory, IWICBitmapEncoder* encoder, const FrameLayout& layout) {
    com_ptr<IWICBitmapFrameEncode> frame;
    com_ptr<IPropertyBag2> options;
    if (FAILED(encoder->CreateNewFrame(frame.put(), options.put())) || FAILED(frame->Initialize(options.get()))) {
        return false;
    }
    WICPixelFormatGUID format = layout.format;
    if (FAILED(frame->SetSize(layout.width, layout.height)) || FAILED(frame->SetResolution(layout.dpiX, layout.dpiY)) ||
        FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, layout.format)) {
        return false;
    }
    if (!layout.palette.empty()) {
        com_ptr<IWICPalette> palette;
        std::vector<WICColor> colours = layout.palette;
        if (FAILED(factory->CreatePalette(palette.put())) ||
            FAILED(palette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size()))) ||
            FAILED(frame->SetPalette(palette.get()))) {
            return false;
        }
    }
    UINT stride = 0;
    Bytes pixels = patternPixels(layout, stride);
    return SUCCEEDED(frame->WritePixels(layout.height, stride, static_cast<UINT>(pixels.size()), pixels.data())) &&
           SUCCEEDED(frame->Commit());
}

}  // namespace

Bytes patternPixels(const FrameLayout& frame, UINT& stride) {
    const UINT bits = bitsOf(frame.format);
    stride = (frame.width * bits + 31) / 32 * 4;
    Bytes pixels(static_cast<size_t>(stride) * frame.height);
    const bool indexed = !frame.palette.empty();
    const UINT limit = indexed ? static_cast<UINT>(frame.palette.size()) : 256;
    for (UINT y = 0; y < frame.height; ++y) {
        uint8_t* row = pixels.data() + static_cast<size_t>(y) * stride;
        if (bits < 8) {
            // Indexed or grey pixels below a byte: whole bytes of a repeating pattern.
            const UINT perByte = 8 / bits;
            for (UINT x = 0; x < frame.width; ++x) {
                const UINT value = (x / 3 + y) % (indexed ? limit : (1u << bits));
                const UINT shift = 8 - bits * (x % perByte + 1);
                row[x / perByte] = static_cast<uint8_t>(row[x / perByte] | value << shift);
            }
            continue;
        }
        const UINT bytesPerPixel = bits / 8;
        for (UINT x = 0; x < frame.width; ++x) {
            for (UINT c = 0; c < bytesPerPixel; ++c) {
                const UINT value = (x * 7 + y * 13 + c * 50) % limit;
                row[x * bytesPerPixel + c] = static_cast<uint8_t>(value);
            }
        }
    }
    return pixels;
}

Bytes encodeImage(const GUID& container, const std::vector<FrameLayout>& frames) {
    const auto apartment = win32::init_com_apartment();
    com_ptr<IWICImagingFactory> factory;
    com_ptr<IStream> stream;
    com_ptr<IWICBitmapEncoder> encoder;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void())) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(factory->CreateEncoder(container, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) {
        return {};
    }
    for (const FrameLayout& frame : frames) {
        if (!writeFrame(factory.get(), encoder.get(), frame)) {
            return {};
        }
    }
    if (FAILED(encoder->Commit())) {
        return {};
    }
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(stream.get(), &memory)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
        return {};
    }
    const auto lock = win32::lock_global(memory);
    const auto* data = static_cast<const uint8_t*>(lock->data);
    return data ? Bytes(data, data + stat.cbSize.QuadPart) : Bytes{};
}

std::vector<WICColor> colourPalette(int n) {
    std::vector<WICColor> colours;
    for (int i = 0; i < n; ++i) {
        colours.push_back(0xFF000000u | static_cast<WICColor>((i * 37) & 0xFF) << 16 |
                          static_cast<WICColor>((i * 91) & 0xFF) << 8 | static_cast<WICColor>((255 - i) & 0xFF));
    }
    return colours;
}

bool writeBytes(const std::string& path, const Bytes& bytes) {
    win32::unique_hfile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

Bytes pictOf(const media::Bitmap& bitmap) {
    media::ByteWriter writer;
    if (media::writePict(bitmap, writer) != kNoErr || !writer.ok()) {
        return {};
    }
    return Bytes(writer.data(), writer.data() + writer.size());
}

}  // namespace korvane::image_testing
