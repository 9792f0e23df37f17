// Thin owners of libdeflate's compressor and decompressor (one per thread).
#pragma once

#include <cstddef>
#include <cstdint>

struct libdeflate_compressor;
struct libdeflate_decompressor;

namespace gm::backup {

// The libdeflate level packing uses (1 to 12, faster to smaller). Level 1
// already packs game data smaller than Info-ZIP's -1 at a quarter of its
// time; the higher levels cost two to four times as much for a few percent.
inline constexpr int kDeflateLevel = 1;

class Deflater {
public:
    explicit Deflater(int level = kDeflateLevel);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // The most bytes compress() can need for `size` input bytes.
    std::size_t bound(std::size_t size) const;
    // Raw deflate of the whole input; 0 when it did not fit (or no memory).
    std::size_t compress(const unsigned char* in, std::size_t size, unsigned char* out, std::size_t capacity);

private:
    libdeflate_compressor* compressor_;
};

class Inflater {
public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Inflates the raw deflate stream at the start of `in`, which must fill
    // `out` exactly: false when the data is damaged, ends early or would
    // give more than `size` bytes. Bytes after the stream's end are ignored.
    bool inflateExactly(const unsigned char* in, std::size_t compressedSize, unsigned char* out, std::size_t size);

private:
    libdeflate_decompressor* decompressor_;
};

std::uint32_t crc32Of(const unsigned char* data, std::size_t size, std::uint32_t crc = 0);

}  // namespace gm::backup
