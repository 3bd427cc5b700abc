#include "platform/media/PixelBuffer.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <sys/mman.h>
#include <vector>

namespace vexel::media {

namespace {

constexpr std::size_t kRowAlignment = 64;

// Frames of a megabyte and more are mapped straight from the system: freed,
// they go back at once. From the heap, the allocator keeps them in per-thread
// arenas after a first free, and a long read's resident memory creeps upwards.
constexpr std::size_t kMappedFrom = 1u << 20;

struct PixelBytes {
    std::uint8_t* data;
    std::size_t size;

    explicit PixelBytes(std::size_t count)
        : size(count) {
        if (size >= kMappedFrom) {
            void* mapped =
                mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (mapped == MAP_FAILED) {
                throw std::bad_alloc();
            }
            // Huge pages where the system allows them: a fresh 1080p frame
            // then maps in with a handful of page faults instead of 2000,
            // whose cost a reader with many frames in flight felt.
            madvise(mapped, size, MADV_HUGEPAGE);
            data = static_cast<std::uint8_t*>(mapped);
        } else {
            data =
                static_cast<std::uint8_t*>(::operator new[](size, std::align_val_t(kRowAlignment)));
        }
    }
    ~PixelBytes() {
        if (size >= kMappedFrom) {
            munmap(data, size);
        } else {
            ::operator delete[](data, std::align_val_t(kRowAlignment));
        }
    }
    PixelBytes(const PixelBytes&) = delete;
    PixelBytes& operator=(const PixelBytes&) = delete;
};

void checkDimensions(int width, int height) {
    if (!(width >= 1 && width <= PixelBuffer::maxDimension && height >= 1 &&
          height <= PixelBuffer::maxDimension)) {
        throw std::invalid_argument("pixel buffer size out of range: " + std::to_string(width) +
                                    "x" + std::to_string(height));
    }
}

} // namespace

struct PixelBuffer::Storage {
    int width;
    int height;
    std::size_t bytesPerRow;
    PixelBytes bytes;
    bool opaque = false;

    Storage(int w, int h)
        : width(w)
        , height(h)
        , bytesPerRow((static_cast<std::size_t>(w) * 4 + kRowAlignment - 1) / kRowAlignment *
                      kRowAlignment)
        , bytes(bytesPerRow * static_cast<std::size_t>(h)) {}

    void clear() { std::memset(bytes.data, 0, bytes.size); }
    // Freshly mapped pages read as zero already.
    void clearFresh() {
        if (bytes.size < kMappedFrom) {
            clear();
        }
    }
};

struct PixelBufferPool::Shared {
    std::mutex mutex;
    std::vector<std::unique_ptr<PixelBuffer::Storage>> idle;
    std::size_t maxIdle;

    explicit Shared(std::size_t max)
        : maxIdle(max) {
        // Recycling runs in a deleter and must not allocate.
        idle.reserve(maxIdle);
    }

    void recycle(PixelBuffer::Storage* storage) {
        std::unique_ptr<PixelBuffer::Storage> owned(storage);
        std::lock_guard lock(mutex);
        if (idle.size() < maxIdle) {
            idle.push_back(std::move(owned));
        }
    }
};

PixelBuffer PixelBuffer::create(int width, int height) {
    checkDimensions(width, height);
    auto storage = std::make_shared<Storage>(width, height);
    storage->clearFresh();
    return PixelBuffer(std::move(storage));
}

int PixelBuffer::width() const {
    return storage_ ? storage_->width : 0;
}

int PixelBuffer::height() const {
    return storage_ ? storage_->height : 0;
}

std::size_t PixelBuffer::bytesPerRow() const {
    return storage_ ? storage_->bytesPerRow : 0;
}

std::uint8_t* PixelBuffer::data() const {
    return storage_ ? storage_->bytes.data : nullptr;
}

bool PixelBuffer::isOpaque() const {
    return storage_ && storage_->opaque;
}

void PixelBuffer::setOpaque(bool opaque) const {
    if (storage_) {
        storage_->opaque = opaque;
    }
}

PixelBufferPool::PixelBufferPool(int width, int height, std::size_t maxIdle)
    : width_(width)
    , height_(height)
    , shared_(std::make_shared<Shared>(maxIdle)) {
    checkDimensions(width, height);
}

PixelBuffer PixelBufferPool::makeBuffer() {
    PixelBuffer buffer = makeBufferForOverwrite();
    buffer.storage_->clear();
    return buffer;
}

PixelBuffer PixelBufferPool::makeBufferForOverwrite() {
    std::unique_ptr<PixelBuffer::Storage> storage;
    {
        std::lock_guard lock(shared_->mutex);
        if (!shared_->idle.empty()) {
            storage = std::move(shared_->idle.back());
            shared_->idle.pop_back();
        }
    }
    if (!storage) {
        storage = std::make_unique<PixelBuffer::Storage>(width_, height_);
        storage->clearFresh();
    }
    // A recycled buffer's pixels are about to be overwritten.
    storage->opaque = false;
    std::weak_ptr<Shared> pool = shared_;
    return PixelBuffer(std::shared_ptr<PixelBuffer::Storage>(
        storage.release(), [pool](PixelBuffer::Storage* released) {
            if (auto shared = pool.lock()) {
                shared->recycle(released);
            } else {
                delete released;
            }
        }));
}

PixelBufferRecycler::PixelBufferRecycler(std::size_t maxSizes)
    : maxSizes_(std::max<std::size_t>(maxSizes, 1)) {}

PixelBuffer PixelBufferRecycler::makeBuffer(int width, int height) {
    checkDimensions(width, height);
    std::unique_lock lock(mutex_);
    auto pool = std::find_if(pools_.begin(), pools_.end(), [&](const PixelBufferPool& candidate) {
        return candidate.width() == width && candidate.height() == height;
    });
    if (pool == pools_.end()) {
        pools_.emplace_front(width, height, 1);
        if (pools_.size() > maxSizes_) {
            pools_.pop_back();
        }
    } else {
        pools_.splice(pools_.begin(), pools_, pool);
    }
    PixelBufferPool& front = pools_.front();
    // Clearing a recycled buffer happens outside the lock.
    PixelBufferPool taken = front;
    lock.unlock();
    return taken.makeBuffer();
}

} // namespace vexel::media
