#include "platform/image/Compositing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace vexel::image {

using media::Affine;
using media::PixelBuffer;
using media::Rect;

namespace {

// Pixels are read and written as whole 32-bit words (B, G, R, A from the low
// byte up) in storage that was made as bytes.
typedef std::uint32_t __attribute__((may_alias)) Word;
// Two neighbouring pixels read at once.
typedef std::uint64_t __attribute__((may_alias, aligned(4))) Pair;

// The pixel loops below are written for the auto-vectoriser; on x86-64 each
// is also built for AVX-512 (16 lanes) and for AVX2 + FMA (8 lanes, gathers)
// and the best the processor runs is picked at load time.
// ThreadSanitizer instruments the picking code, which runs before it starts.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define VEXEL_PIXEL_LOOP                                                                           \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define VEXEL_PIXEL_LOOP
#endif

// Pixels are worked on in runs short enough for their channels to stay in
// the first-level cache between the steps.
constexpr int kRun = 256;
constexpr std::size_t kRowsPerBand = 8;

// One run of pixels, premultiplied, each channel 0...255 (straight colour is
// 0...1 between unpremultiply and premultiply).
struct Run {
    alignas(64) float b[kRun];
    alignas(64) float g[kRun];
    alignas(64) float r[kRun];
    alignas(64) float a[kRun];
};

inline float channel(std::uint32_t word, int shift) {
    return static_cast<float>(static_cast<int>((word >> shift) & 0xFFu));
}

inline float clamp01(float v) {
    v = v < 0.f ? 0.f : v;
    return v > 1.f ? 1.f : v;
}

inline std::uint32_t toByte(float v) {
    v = v < 0.f ? 0.f : v;
    v = v > 255.f ? 255.f : v;
    return static_cast<std::uint32_t>(static_cast<int>(v + 0.5f));
}

inline std::uint32_t pack(float b, float g, float r, float a) {
    return toByte(b) | toByte(g) << 8 | toByte(r) << 16 | toByte(a) << 24;
}

// Bilinear samples at (x + i·dx, y + i·dy) in the source's buffer coordinates
// (pixel centres at whole numbers, rows down), taps clamped to the edge,
// times the share of the target pixel that the source covers. That share is
// judged along each axis from the distance to the source's edge in target
// pixels (`perSourceX` and `perSourceY` target pixels per source unit across
// the edge): whole inside, none beyond half a pixel out, a ramp between. So
// edges that fall on pixel boundaries stay sharp and slanted ones are smooth.
VEXEL_PIXEL_LOOP
void sampleBilinear(Run& run, const Word* __restrict source, int stride, int width, int height,
                    float x, float y, float dx, float dy, float perSourceX, float perSourceY,
                    int count) {
    float* __restrict outB = run.b;
    float* __restrict outG = run.g;
    float* __restrict outR = run.r;
    float* __restrict outA = run.a;
    const float right = static_cast<float>(width) - 0.5f;
    const float bottom = static_cast<float>(height) - 0.5f;
    // A picture one pixel wide or high has no second tap on that axis: its
    // pair reads into the row's padding (rows are padded to 64 bytes) or the
    // same row again, weighted nothing.
    const int lastPairX = std::max(width - 2, 0);
    const int lastPairY = std::max(height - 2, 0);
    const float blendX = width > 1 ? 1.f : 0.f;
    const float blendY = height > 1 ? 1.f : 0.f;
    const int nextRow = height > 1 ? stride : 0;
    for (int i = 0; i < count; ++i) {
        float sx = x + static_cast<float>(i) * dx;
        float sy = y + static_cast<float>(i) * dy;
        float insideX = std::min(sx + 0.5f, right - sx);
        float insideY = std::min(sy + 0.5f, bottom - sy);
        float coverage =
            clamp01(insideX * perSourceX + 0.5f) * clamp01(insideY * perSourceY + 0.5f);
        // Truncation after adding 1 is the floor above −1; below it the tap
        // clamps to the first pixel whatever the rounding. The left tap stays
        // one short of the last pixel so that both taps load as one pair.
        int x0 = std::clamp(static_cast<int>(sx + 1.f) - 1, 0, lastPairX);
        int y0 = std::clamp(static_cast<int>(sy + 1.f) - 1, 0, lastPairY);
        float ax = clamp01(sx - static_cast<float>(x0)) * blendX;
        float ay = clamp01(sy - static_cast<float>(y0)) * blendY;
        const Pair* top = reinterpret_cast<const Pair*>(source + y0 * stride + x0);
        std::uint64_t upper = *top;
        std::uint64_t lower =
            *reinterpret_cast<const Pair*>(reinterpret_cast<const Word*>(top) + nextRow);
        std::uint32_t p00 = static_cast<std::uint32_t>(upper);
        std::uint32_t p10 = static_cast<std::uint32_t>(upper >> 32);
        std::uint32_t p01 = static_cast<std::uint32_t>(lower);
        std::uint32_t p11 = static_cast<std::uint32_t>(lower >> 32);
        float w00 = (1.f - ax) * (1.f - ay) * coverage;
        float w10 = ax * (1.f - ay) * coverage;
        float w01 = (1.f - ax) * ay * coverage;
        float w11 = ax * ay * coverage;
        outB[i] = w00 * channel(p00, 0) + w10 * channel(p10, 0) + w01 * channel(p01, 0) +
                  w11 * channel(p11, 0);
        outG[i] = w00 * channel(p00, 8) + w10 * channel(p10, 8) + w01 * channel(p01, 8) +
                  w11 * channel(p11, 8);
        outR[i] = w00 * channel(p00, 16) + w10 * channel(p10, 16) + w01 * channel(p01, 16) +
                  w11 * channel(p11, 16);
        outA[i] = w00 * channel(p00, 24) + w10 * channel(p10, 24) + w01 * channel(p01, 24) +
                  w11 * channel(p11, 24);
    }
}

// A run of whole source pixels, for pictures moved by whole pixels only.
VEXEL_PIXEL_LOOP
void sampleWhole(Run& run, const Word* __restrict source, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t p = source[i];
        run.b[i] = channel(p, 0);
        run.g[i] = channel(p, 8);
        run.r[i] = channel(p, 16);
        run.a[i] = channel(p, 24);
    }
}

VEXEL_PIXEL_LOOP
void unpremultiply(Run& run, int count) {
    for (int i = 0; i < count; ++i) {
        float a = run.a[i];
        float inverse = (a > 0.f ? 1.f : 0.f) / (a > 0.f ? a : 1.f);
        run.b[i] *= inverse;
        run.g[i] *= inverse;
        run.r[i] *= inverse;
    }
}

VEXEL_PIXEL_LOOP
void applyColor(Run& run, const ColorOperation& operation, int count) {
    // Copied out so that the compiler need not fear the stores change them.
    const auto [m0, m1, m2] = operation.matrix;
    const float curve = operation.curve;
    float* __restrict red = run.r;
    float* __restrict green = run.g;
    float* __restrict blue = run.b;
    for (int i = 0; i < count; ++i) {
        float r = red[i];
        float g = green[i];
        float b = blue[i];
        float nr = clamp01(m0[0] * r + m0[1] * g + m0[2] * b + m0[3]);
        float ng = clamp01(m1[0] * r + m1[1] * g + m1[2] * b + m1[3]);
        float nb = clamp01(m2[0] * r + m2[1] * g + m2[2] * b + m2[3]);
        red[i] = nr + curve * (nr * nr * (3.f - 2.f * nr) - nr);
        green[i] = ng + curve * (ng * ng * (3.f - 2.f * ng) - ng);
        blue[i] = nb + curve * (nb * nb * (3.f - 2.f * nb) - nb);
    }
}

VEXEL_PIXEL_LOOP
void premultiply(Run& run, int count) {
    for (int i = 0; i < count; ++i) {
        float a = run.a[i];
        run.b[i] *= a;
        run.g[i] *= a;
        run.r[i] *= a;
    }
}

VEXEL_PIXEL_LOOP
void blendOver(Word* __restrict target, const Run& run, float alpha, int count) {
    for (int i = 0; i < count; ++i) {
        float sa = run.a[i] * alpha;
        float keep = 1.f - sa * (1.f / 255.f);
        std::uint32_t d = target[i];
        target[i] =
            pack(run.b[i] * alpha + channel(d, 0) * keep, run.g[i] * alpha + channel(d, 8) * keep,
                 run.r[i] * alpha + channel(d, 16) * keep, sa + channel(d, 24) * keep);
    }
}

VEXEL_PIXEL_LOOP
void addRun(Word* __restrict target, const Run& run, float alpha, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t d = target[i];
        target[i] = pack(run.b[i] * alpha + channel(d, 0), run.g[i] * alpha + channel(d, 8),
                         run.r[i] * alpha + channel(d, 16), run.a[i] * alpha + channel(d, 24));
    }
}

VEXEL_PIXEL_LOOP
void copyOut(Word* __restrict target, const Run& run, float alpha, int count) {
    for (int i = 0; i < count; ++i) {
        target[i] = pack(run.b[i] * alpha, run.g[i] * alpha, run.r[i] * alpha, run.a[i] * alpha);
    }
}

// A range of canvas columns [begin, end).
struct Span {
    int begin = 0;
    int end = 0;
    bool isEmpty() const { return begin >= end; }
};

Span narrowed(Span span, double begin, double end) {
    begin = std::max(begin, static_cast<double>(span.begin));
    end = std::min(end, static_cast<double>(span.end));
    // Also false for NaN.
    if (!(begin < end)) {
        return {};
    }
    return {static_cast<int>(begin), static_cast<int>(end)};
}

// The columns X of `span` with lo <= slope·X + offset <= hi.
Span narrowClosed(Span span, double slope, double offset, double lo, double hi) {
    if (slope == 0) {
        return lo <= offset && offset <= hi ? span : Span{};
    }
    double first = (lo - offset) / slope;
    double last = (hi - offset) / slope;
    if (slope < 0) {
        std::swap(first, last);
    }
    return narrowed(span, std::ceil(first), std::floor(last) + 1);
}

// The columns X of `span` with lo <= slope·X + offset < hi.
Span narrowHalfOpen(Span span, double slope, double offset, double lo, double hi) {
    if (slope == 0) {
        return lo <= offset && offset < hi ? span : Span{};
    }
    if (slope > 0) {
        return narrowed(span, std::ceil((lo - offset) / slope), std::ceil((hi - offset) / slope));
    }
    return narrowed(span, std::floor((hi - offset) / slope) + 1,
                    std::floor((lo - offset) / slope) + 1);
}

bool isWhole(double v) {
    return std::abs(v) < 1e9 && v == std::floor(v);
}

// A picture prepared for one target: every map starts from a target pixel
// index (X, buffer row).
struct Layer {
    const Word* source = nullptr;
    int stride = 0;
    int width = 0;
    int height = 0;
    // To the source's buffer coordinates, pixel centres at whole numbers.
    Affine toSource;
    // Target pixels per source unit across a vertical and a horizontal edge.
    float perSourceX = 1;
    float perSourceY = 1;
    bool wholePixels = false;
    std::array<Affine, Picture::maxClips> toClip{};
    std::array<Rect, Picture::maxClips> clipRects{};
    int clipCount = 0;
    std::span<const ColorOperation> colors;
    float alpha = 1;

    Layer(const Picture& picture, int targetHeight)
        : source(reinterpret_cast<const Word*>(picture.pixels().data()))
        , stride(static_cast<int>(picture.pixels().bytesPerRow() / sizeof(Word)))
        , width(picture.pixels().width())
        , height(picture.pixels().height())
        , colors(picture.colorOperations())
        , alpha(static_cast<float>(picture.alpha())) {
        // Target index → the centre of that pixel in the bottom-up canvas.
        Affine fromTarget{1, 0, 0, -1, 0.5, targetHeight - 0.5};
        // Source bottom-up point → buffer coordinates.
        Affine toBuffer{1, 0, 0, -1, -0.5, height - 0.5};
        toSource = fromTarget.then(*picture.transform().inverted()).then(toBuffer);
        perSourceX = static_cast<float>(1 / std::hypot(toSource.a, toSource.c));
        perSourceY = static_cast<float>(1 / std::hypot(toSource.b, toSource.d));
        wholePixels = toSource.a == 1 && toSource.b == 0 && toSource.c == 0 && toSource.d == 1 &&
                      isWhole(toSource.tx) && isWhole(toSource.ty);
        for (const Picture::Clip& clip : picture.clips()) {
            toClip[clipCount] = fromTarget.then(clip.canvasToClip);
            clipRects[clipCount] = clip.rect;
            ++clipCount;
        }
    }

    // False for a picture shrunk to less than a ten-millionth of a pixel per
    // source pixel: nothing of it shows, and its sampling positions would not
    // fit the numbers they are computed in.
    bool isDrawable() const {
        constexpr double limit = 1e7;
        return std::abs(toSource.a) < limit && std::abs(toSource.b) < limit &&
               std::abs(toSource.c) < limit && std::abs(toSource.d) < limit;
    }

    // The columns of a target row that the picture can reach.
    Span span(int row, int targetWidth) const {
        Span span{0, targetWidth};
        double x = toSource.c * row + toSource.tx;
        double y = toSource.d * row + toSource.ty;
        if (wholePixels) {
            span = narrowClosed(span, 1, x, 0, width - 1);
            span = narrowClosed(span, 0, y, 0, height - 1);
        } else {
            // Coverage reaches half a target pixel beyond the edges.
            double reachX = 0.5 / perSourceX + 0.5;
            double reachY = 0.5 / perSourceY + 0.5;
            span = narrowClosed(span, toSource.a, x, -reachX, width - 1 + reachX);
            span = narrowClosed(span, toSource.b, y, -reachY, height - 1 + reachY);
        }
        for (int i = 0; i < clipCount; ++i) {
            const Affine& m = toClip[i];
            const Rect& rect = clipRects[i];
            span = narrowHalfOpen(span, m.a, m.c * row + m.tx, rect.minX(), rect.maxX());
            span = narrowHalfOpen(span, m.b, m.d * row + m.ty, rect.minY(), rect.maxY());
        }
        return span;
    }

    void sample(Run& run, int column, int row, int count) const {
        if (wholePixels) {
            int sourceRow = row + static_cast<int>(toSource.ty);
            int sourceColumn = column + static_cast<int>(toSource.tx);
            sampleWhole(run,
                        source + static_cast<std::ptrdiff_t>(sourceRow) * stride + sourceColumn,
                        count);
        } else {
            sampleBilinear(run, source, stride, width, height,
                           static_cast<float>(toSource.a * column + toSource.c * row + toSource.tx),
                           static_cast<float>(toSource.b * column + toSource.d * row + toSource.ty),
                           static_cast<float>(toSource.a), static_cast<float>(toSource.b),
                           perSourceX, perSourceY, count);
        }
        if (!colors.empty()) {
            unpremultiply(run, count);
            for (const ColorOperation& operation : colors) {
                applyColor(run, operation, count);
            }
            premultiply(run, count);
        }
    }
};

void clearColumns(Word* row, int begin, int end) {
    if (begin < end) {
        std::memset(row + begin, 0, static_cast<std::size_t>(end - begin) * sizeof(Word));
    }
}

enum class Mode { over, add, into };

void draw(PixelBuffer& target, const Picture& picture, WorkerPool& workers, Mode mode) {
    const bool over = mode != Mode::into;
    const int width = target.width();
    const int height = target.height();
    std::optional<Layer> layer;
    if (!picture.isEmpty()) {
        layer.emplace(picture, height);
        if (!layer->isDrawable()) {
            layer.reset();
        }
    }
    if (over && !layer) {
        return;
    }
    workers.parallelFor(static_cast<std::size_t>(height), kRowsPerBand,
                        [&](std::size_t first, std::size_t last) {
                            Run run;
                            for (std::size_t y = first; y < last; ++y) {
                                int row = static_cast<int>(y);
                                Word* out = reinterpret_cast<Word*>(target.row(row));
                                Span span = layer ? layer->span(row, width) : Span{};
                                if (!over) {
                                    clearColumns(out, 0, span.isEmpty() ? width : span.begin);
                                    clearColumns(out, span.isEmpty() ? width : span.end, width);
                                }
                                for (int x = span.begin; x < span.end; x += kRun) {
                                    int count = std::min(kRun, span.end - x);
                                    layer->sample(run, x, row, count);
                                    if (mode == Mode::over) {
                                        blendOver(out + x, run, layer->alpha, count);
                                    } else if (mode == Mode::add) {
                                        addRun(out + x, run, layer->alpha, count);
                                    } else {
                                        copyOut(out + x, run, layer->alpha, count);
                                    }
                                }
                            }
                        });
}

} // namespace

void compositeOver(PixelBuffer& canvas, const Picture& picture, WorkerPool& workers) {
    draw(canvas, picture, workers, Mode::over);
}

void addOnto(PixelBuffer& canvas, const Picture& picture, WorkerPool& workers) {
    draw(canvas, picture, workers, Mode::add);
}

void renderInto(PixelBuffer& target, const Picture& picture, WorkerPool& workers) {
    draw(target, picture, workers, Mode::into);
}

PixelBuffer render(const Picture& picture, WorkerPool& workers) {
    if (picture.isEmpty()) {
        return {};
    }
    Rect extent = picture.extent();
    double left = std::floor(extent.minX());
    double bottom = std::floor(extent.minY());
    double width = std::ceil(extent.maxX()) - left;
    double height = std::ceil(extent.maxY()) - bottom;
    if (!(width <= PixelBuffer::maxDimension && height <= PixelBuffer::maxDimension)) {
        return {};
    }
    PixelBuffer pixels = PixelBuffer::create(static_cast<int>(width), static_cast<int>(height));
    renderInto(pixels, picture.transformed(Affine::translation(-left, -bottom)), workers);
    return pixels;
}

} // namespace vexel::image
