#include <initguid.h>  // the WIC class and format ids are defined here, not linked from a library

#include "platform/win32/PngEncoder.h"

#include <windows.h>
#include <objidl.h>
#include <wincodec.h>

#include <cstring>

#include "output/PngFile.h"
#include "platform/win32/Handles.h"

namespace ocu::win {
std::optional<std::vector<std::uint8_t>> EncodePngWithWic(const Image& image) {
    std::vector<std::uint8_t> rows = Bgr24Rows(image);
    if (rows.empty()) return std::nullopt;
    const UINT width = static_cast<UINT>(image.Width()), height = static_cast<UINT>(image.Height());
    const UINT stride = width * 3;

    com_ptr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.put_void())))
        return std::nullopt;
    com_ptr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return std::nullopt;
    com_ptr<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()))) return std::nullopt;
    if (FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return std::nullopt;
    com_ptr<IWICBitmapFrameEncode> frame;
    if (FAILED(encoder->CreateNewFrame(frame.put(), nullptr))) return std::nullopt;
    if (FAILED(frame->Initialize(nullptr))) return std::nullopt;
    if (FAILED(frame->SetSize(width, height))) return std::nullopt;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    // The encoder may answer with a format of its own; our rows are in this one only.
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return std::nullopt;
    if (FAILED(frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data()))) return std::nullopt;
    if (FAILED(frame->Commit()) || FAILED(encoder->Commit())) return std::nullopt;

    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return std::nullopt;
    HGLOBAL memory = nullptr;
    if (FAILED(::GetHGlobalFromStream(stream.get(), &memory))) return std::nullopt;
    const std::size_t size = static_cast<std::size_t>(stat.cbSize.QuadPart);
    if (size == 0 || size > ::GlobalSize(memory)) return std::nullopt;
    const void* bytes = ::GlobalLock(memory);
    if (bytes == nullptr) return std::nullopt;
    std::vector<std::uint8_t> png(size);
    std::memcpy(png.data(), bytes, size);
    ::GlobalUnlock(memory);
    return png;
}

}  // namespace ocu::win
