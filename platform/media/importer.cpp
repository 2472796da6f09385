#include "platform/media/importer.h"

#include <windows.h>

#include <wincodec.h>

#include <algorithm>

#include "platform/media/header_probe.h"
#include "platform/media/own_codecs.h"
#include "platform/media/wic_decoder.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"

namespace korvane::media {

namespace {

using win32::com_ptr;

inline void unmapView(const void* view) {
    ::UnmapViewOfFile(view);
}
using unique_view = win32::unique_any<win32::simple_traits<const void*, unmapView>>;

}  // namespace

// Members are released in reverse order: the COM objects before the bytes they read, and the
// apartment last.
struct Importer::State {
    win32::unique_com_apartment apartment = win32::init_com_apartment();
    win32::unique_hfile file;
    win32::unique_handle mapping;
    unique_view view;
    OwnedBytes owned;
    const uint8_t* data = nullptr;
    size_t size = 0;

    OwnFormat own = OwnFormat::kNone;
    ImageHeader ownHeader;
    bool probed = false;  // JPEG or PNG described from its header; the decoder opens on demand
    ProbedHeader probe;

    com_ptr<IWICImagingFactory> factory;
    com_ptr<IWICStream> stream;
    com_ptr<IWICBitmapDecoder> decoder;
    com_ptr<IWICBitmapFrameDecode> frame;
    int count = 1;
    int index = 1;

    Status recognise();
    Status openDecoder();
    Status selectFrame(int newIndex);
};

Status Importer::State::recognise() {
    own = detectOwnFormat(data, size);
    if (own != OwnFormat::kNone) {
        return readOwnFormatHeader(own, data, size, ownHeader);
    }
    probed = probeHeader(data, size, probe);
    return probed ? kNoErr : openDecoder();
}

Status Importer::State::openDecoder() {
    if (decoder) {
        return kNoErr;
    }
    if (Status status = wic::createFactory(factory); status != kNoErr) {
        return status;
    }
    if (Status status = wic::createDecoder(factory.get(), data, size, stream, decoder); status != kNoErr) {
        return status;
    }
    UINT frames = 0;
    if (FAILED(decoder->GetFrameCount(&frames)) || frames == 0) {
        decoder.reset();
        return kCodecError;
    }
    count = frames > INT16_MAX ? INT16_MAX : static_cast<int>(frames);
    if (Status status = selectFrame(probed ? index : 1); status != kNoErr) {
        decoder.reset();
        return status;
    }
    return kNoErr;
}

Status Importer::State::selectFrame(int newIndex) {
    com_ptr<IWICBitmapFrameDecode> next;
    const HRESULT result = decoder->GetFrame(static_cast<UINT>(newIndex - 1), next.put());
    if (FAILED(result)) {
        return wic::statusFromResult(result, kCodecError);
    }
    frame = static_cast<com_ptr<IWICBitmapFrameDecode>&&>(next);
    index = newIndex;
    return kNoErr;
}

Importer::Importer() = default;
Importer::~Importer() = default;

bool Importer::isOpen() const {
    return state_ != nullptr;
}

void Importer::close() {
    state_.reset();
}

Status Importer::openFile(const char* path) {
    close();
    if (!path) {
        return kParamErr;
    }
    auto state = std::make_unique<State>();
    state->file.reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!state->file) {
        return win32::mediaStatusForOpenError(GetLastError());
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(state->file.get(), &size)) {
        return win32::mediaStatusForOpenError(GetLastError());
    }
    if (size.QuadPart == 0) {
        return kNoImporter;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxImageBytes) {
        return kOutOfMemory;
    }
    state->mapping.reset(CreateFileMappingA(state->file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!state->mapping) {
        return win32::mediaStatusForOpenError(GetLastError());
    }
    state->view.reset(MapViewOfFile(state->mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!state->view) {
        return win32::mediaStatusForOpenError(GetLastError());
    }
    const auto* data = static_cast<const uint8_t*>(state->view.get());
    return openState(std::move(state), data, static_cast<size_t>(size.QuadPart));
}

Status Importer::openBytes(OwnedBytes bytes) {
    close();
    if (bytes.empty()) {
        return kNoImporter;
    }
    auto state = std::make_unique<State>();
    state->owned = std::move(bytes);
    const uint8_t* data = state->owned.data.get();
    const size_t size = state->owned.size;
    return openState(std::move(state), data, size);
}

Status Importer::openMemory(const uint8_t* data, size_t size) {
    close();
    if (!data || size == 0) {
        return kNoImporter;
    }
    return openState(std::make_unique<State>(), data, size);
}

Status Importer::openState(std::unique_ptr<State> state, const uint8_t* data, size_t size) {
    if (size > kMaxImageBytes) {
        return kOutOfMemory;
    }
    state->data = data;
    state->size = size;
    if (Status status = state->recognise(); status != kNoErr) {
        return status;
    }
    state_ = std::move(state);
    return kNoErr;
}

Status Importer::asPicture(OwnedBytes& picture) {
    picture.reset();
    Bitmap bitmap;
    if (Status status = decode(bitmap); status != kNoErr) {
        return status;
    }
    ByteWriter writer;
    if (Status status = writePict(bitmap, writer); status != kNoErr) {
        return status;
    }
    return takeWritten(writer, picture);
}

Status Importer::naturalBounds(int32_t& width, int32_t& height) {
    if (!state_) {
        return kParamErr;
    }
    if (state_->own != OwnFormat::kNone) {
        width = state_->ownHeader.width;
        height = state_->ownHeader.height;
        return kNoErr;
    }
    if (state_->probed) {
        width = state_->probe.width;
        height = state_->probe.height;
        return kNoErr;
    }
    UINT w = 0;
    UINT h = 0;
    const HRESULT result = state_->frame->GetSize(&w, &h);
    if (FAILED(result) || w > INT32_MAX || h > INT32_MAX) {
        return wic::statusFromResult(result, kCodecError);
    }
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return kNoErr;
}

Status Importer::imageDescription(ImageDescription& out) {
    if (!state_) {
        return kParamErr;
    }
    if (state_->own != OwnFormat::kNone) {
        out = ImageDescription{};
        out.depth = state_->ownHeader.depth;
        out.hRes = state_->ownHeader.hRes;
        out.vRes = state_->ownHeader.vRes;
        return kNoErr;
    }
    if (state_->probed) {
        const ProbedHeader& probe = state_->probe;
        out = ImageDescription{};
        out.depth = reportedDepth(probe.format);
        out.hRes = probe.hRes;
        out.vRes = probe.vRes;
        out.colourCount = probe.colourCount;
        std::copy(probe.colours, probe.colours + probe.colourCount, out.colours);
        return kNoErr;
    }
    return wic::describeFrame(state_->factory.get(), state_->decoder.get(), state_->frame.get(), out);
}

Status Importer::imageCount(int& count) {
    if (!state_) {
        return kParamErr;
    }
    count = state_->count;
    return kNoErr;
}

Status Importer::setImageIndex(int index) {
    if (!state_) {
        return kParamErr;
    }
    if (index < 1 || index > state_->count) {
        return kParamErr;
    }
    if (state_->own != OwnFormat::kNone || state_->probed || index == state_->index) {
        return kNoErr;  // one image only
    }
    return state_->selectFrame(index);
}

int Importer::imageIndex() const {
    return state_ ? state_->index : 0;
}

Status Importer::decode(Bitmap& out, size_t maxBytes) {
    out.reset();
    if (!state_) {
        return kParamErr;
    }
    if (state_->own != OwnFormat::kNone) {
        PictReadOptions options;
        options.decodeImageData = decodeImageDataWithSystem;
        options.maxBitmapBytes = maxBytes;
        return decodeOwnFormat(state_->own, state_->data, state_->size, options, out);
    }
    if (Status status = state_->openDecoder(); status != kNoErr) {
        return status;
    }
    return wic::decodeFrame(state_->factory.get(), state_->decoder.get(), state_->frame.get(), maxBytes, out);
}

const uint8_t* Importer::data() const {
    return state_ ? state_->data : nullptr;
}

size_t Importer::size() const {
    return state_ ? state_->size : 0;
}

Status decodeImageDataWithSystem(void* /*context*/,
                                 uint32_t /*codecType*/,
                                 const uint8_t* data,
                                 size_t size,
                                 size_t maxBytes,
                                 Bitmap& out) {
    out.reset();
    const auto apartment = win32::init_com_apartment();
    com_ptr<IWICImagingFactory> factory;
    com_ptr<IWICStream> stream;
    com_ptr<IWICBitmapDecoder> decoder;
    com_ptr<IWICBitmapFrameDecode> frame;
    if (Status status = wic::createFactory(factory); status != kNoErr) {
        return status;
    }
    if (Status status = wic::createDecoder(factory.get(), data, size, stream, decoder); status != kNoErr) {
        return status;
    }
    if (FAILED(decoder->GetFrame(0, frame.put()))) {
        return kCodecError;
    }
    return wic::decodeFrame(factory.get(), decoder.get(), frame.get(), maxBytes, out);
}

}  // namespace korvane::media
