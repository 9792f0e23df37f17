// Thin owners of libdeflate's compressor and decompressor (one per thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

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
    // The same, and the stream must end with the input's last byte: bytes
    // after it make the data unsound (for bytes to be copied as they are).
    bool inflateWhole(const unsigned char* in, std::size_t compressedSize, unsigned char* out, std::size_t size);

private:
    // The bytes of `in` the stream took; nothing when it does not fill `out` exactly.
    std::optional<std::size_t> inflate(const unsigned char* in, std::size_t compressedSize, unsigned char* out,
                                       std::size_t size);

    libdeflate_decompressor* decompressor_;
};

std::uint32_t crc32Of(const unsigned char* data, std::size_t size, std::uint32_t crc = 0);

// A buffer one worker thread uses for file after file. Memory fresh from
// the system costs a page fault for every 4 KB the first time it is
// written, and the C library gives a large block back to the system as
// soon as it is freed; a new buffer for every file would pay that again
// and again (a third of the time of an inflate, in a virtual machine more).
// One of up to kKeptScratch stays between files; a larger one goes.
class ScratchBuffer {
public:
    ScratchBuffer() = default;
    ScratchBuffer(ScratchBuffer&& other) noexcept;
    ScratchBuffer& operator=(ScratchBuffer&& other) noexcept;

    // At least `size` bytes; null when there is no memory for them.
    unsigned char* get(std::size_t size);
    // The bytes as they are (null when there are none).
    unsigned char* data() const { return bytes_.get(); }
    // After a file: frees the buffer when it is larger than kKeptScratch.
    void trim();
    // Frees the buffer.
    void release();
    std::size_t capacity() const { return capacity_; }

private:
    std::unique_ptr<unsigned char[]> bytes_;
    std::size_t capacity_ = 0;
};

// The most a ScratchBuffer keeps between files: a replay of 16 MB and
// then some.
inline constexpr std::size_t kKeptScratch = 20u << 20;

}  // namespace gm::backup
