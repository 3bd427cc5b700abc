#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

namespace vexel::media {

class PixelBufferPool;

// A frame of 8-bit BGRA pixels with premultiplied alpha, rows top to bottom.
// A handle: copies share the pixels, which live as long as the last handle.
// Buffers handed to a writer or a consumer must not be changed afterwards.
class PixelBuffer {
public:
    // Throws std::invalid_argument unless 1 <= width, height <= maxDimension.
    static constexpr int maxDimension = 16384;

    // An empty handle without pixels.
    PixelBuffer() = default;

    // A new zero-filled buffer (transparent black) of its own.
    static PixelBuffer create(int width, int height);

    bool isNull() const { return storage_ == nullptr; }
    explicit operator bool() const { return storage_ != nullptr; }

    int width() const;
    int height() const;
    // Rows are padded to a multiple of 64 bytes.
    std::size_t bytesPerRow() const;
    std::uint8_t* data() const;
    std::uint8_t* row(int y) const { return data() + static_cast<std::size_t>(y) * bytesPerRow(); }
    std::size_t byteCount() const { return bytesPerRow() * static_cast<std::size_t>(height()); }

    // Whether every pixel is known to have alpha 255. A producer that knows
    // (a decoder of a format without alpha) says so before handing the buffer
    // out, so that drawing may pass it on as it is; false for a new buffer.
    bool isOpaque() const;
    void setOpaque(bool opaque) const;

    // Whether both handles share the same pixels.
    bool sharesPixelsWith(const PixelBuffer& other) const { return storage_ == other.storage_; }

    struct Storage;

private:
    friend class PixelBufferPool;
    explicit PixelBuffer(std::shared_ptr<Storage> storage)
        : storage_(std::move(storage)) {}

    std::shared_ptr<Storage> storage_;
};

// Hands out buffers of one size and takes their pixels back when the last
// handle goes, so that steady frame streams do not allocate per frame.
// Thread-safe; buffers may outlive the pool.
class PixelBufferPool {
public:
    // Keeps at most `maxIdle` released buffers for reuse.
    PixelBufferPool(int width, int height, std::size_t maxIdle = 8);

    int width() const { return width_; }
    int height() const { return height_; }

    // A zero-filled buffer.
    PixelBuffer makeBuffer();
    // A buffer whose pixels are left as they are (an earlier frame's): for
    // producers that write every pixel.
    PixelBuffer makeBufferForOverwrite();

    struct Shared;

private:
    int width_;
    int height_;
    std::shared_ptr<Shared> shared_;
};

// Hands out zero-filled buffers of any size, reusing the pixels of a released
// buffer of the same size: pictures made again and again at a few sizes (text
// rasters while a title is edited) then neither map nor fault in fresh memory
// each time. Keeps one released buffer for each of the `maxSizes` sizes asked
// for last. Thread-safe; buffers may outlive it.
class PixelBufferRecycler {
public:
    explicit PixelBufferRecycler(std::size_t maxSizes = 4);

    PixelBufferRecycler(const PixelBufferRecycler&) = delete;
    PixelBufferRecycler& operator=(const PixelBufferRecycler&) = delete;

    // Throws std::invalid_argument as PixelBuffer::create does.
    PixelBuffer makeBuffer(int width, int height);

private:
    std::size_t maxSizes_;
    std::mutex mutex_;
    // The most recently asked size first.
    std::list<PixelBufferPool> pools_;
};

} // namespace vexel::media
