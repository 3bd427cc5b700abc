#include "platform/imageio/HeifImage.h"

#include <libheif/heif.h>

#include <algorithm>
#include <memory>

namespace vexel::imageio::detail {

namespace {

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};

inline std::uint8_t premultiplied(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

} // namespace

bool isHeif(std::span<const std::uint8_t> file) {
    // The file type box that begins every HEIF file is all libheif looks at.
    constexpr std::size_t kProbeSize = 4096;
    return heif_check_filetype(file.data(), static_cast<int>(std::min(file.size(), kProbeSize))) ==
           heif_filetype_yes_supported;
}

media::PixelBuffer decodeHeif(std::span<const std::uint8_t> file) {
    std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context) {
        return {};
    }
    if (heif_context_read_from_memory_without_copy(context.get(), file.data(), file.size(), nullptr)
            .code != heif_error_Ok) {
        return {};
    }
    heif_image_handle* rawHandle = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &rawHandle).code != heif_error_Ok) {
        return {};
    }
    std::unique_ptr<heif_image_handle, HandleRelease> handle(rawHandle);
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    if (width < 1 || height < 1 || width > media::PixelBuffer::maxDimension ||
        height > media::PixelBuffer::maxDimension) {
        return {};
    }
    // Decoding applies the file's rotation, mirroring and clean aperture.
    heif_image* rawImage = nullptr;
    if (heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                          heif_chroma_interleaved_RGBA, nullptr)
            .code != heif_error_Ok) {
        return {};
    }
    std::unique_ptr<heif_image, ImageRelease> image(rawImage);
    const int outWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int outHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    // Deeper images come out of the conversion at 8 bits as well; anything
    // else would be misread.
    if (plane == nullptr ||
        heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8 ||
        outWidth < 1 || outHeight < 1 || outWidth > media::PixelBuffer::maxDimension ||
        outHeight > media::PixelBuffer::maxDimension || stride < 4 * outWidth) {
        return {};
    }
    media::PixelBuffer pixels = media::PixelBuffer::create(outWidth, outHeight);
    for (int y = 0; y < outHeight; ++y) {
        const std::uint8_t* in = plane + static_cast<std::size_t>(y) * stride;
        std::uint8_t* out = pixels.row(y);
        for (int x = 0; x < outWidth; ++x, in += 4, out += 4) {
            const std::uint8_t alpha = in[3];
            out[0] = premultiplied(in[2], alpha);
            out[1] = premultiplied(in[1], alpha);
            out[2] = premultiplied(in[0], alpha);
            out[3] = alpha;
        }
    }
    return pixels;
}

} // namespace vexel::imageio::detail
