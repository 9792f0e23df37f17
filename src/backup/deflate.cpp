#include "backup/deflate.h"

#include <libdeflate.h>

#include <new>
#include <utility>

namespace gm::backup {

Deflater::Deflater(int level) : compressor_(libdeflate_alloc_compressor(level))
{
    if (compressor_ == nullptr) {
        throw std::bad_alloc();
    }
}

Deflater::~Deflater() { libdeflate_free_compressor(compressor_); }

std::size_t Deflater::bound(std::size_t size) const
{
    return libdeflate_deflate_compress_bound(compressor_, size);
}

std::size_t Deflater::compress(const unsigned char* in, std::size_t size, unsigned char* out, std::size_t capacity)
{
    return libdeflate_deflate_compress(compressor_, in, size, out, capacity);
}

Inflater::Inflater() : decompressor_(libdeflate_alloc_decompressor())
{
    if (decompressor_ == nullptr) {
        throw std::bad_alloc();
    }
}

Inflater::~Inflater() { libdeflate_free_decompressor(decompressor_); }

std::optional<std::size_t> Inflater::inflate(const unsigned char* in, std::size_t compressedSize, unsigned char* out,
                                             std::size_t size)
{
    std::size_t consumed = 0;
    std::size_t produced = 0;
    const libdeflate_result result =
        libdeflate_deflate_decompress_ex(decompressor_, in, compressedSize, out, size, &consumed, &produced);
    if (result != LIBDEFLATE_SUCCESS || produced != size || consumed > compressedSize) {
        return std::nullopt;
    }
    return consumed;
}

bool Inflater::inflateExactly(const unsigned char* in, std::size_t compressedSize, unsigned char* out, std::size_t size)
{
    // The data must begin with one deflate stream giving exactly the
    // declared size. Bytes after the stream's end are not data: Info-ZIP's
    // unzip, Python's zipfile and libzip's streaming inflate pass over them.
    return inflate(in, compressedSize, out, size).has_value();
}

bool Inflater::inflateWhole(const unsigned char* in, std::size_t compressedSize, unsigned char* out, std::size_t size)
{
    return inflate(in, compressedSize, out, size) == compressedSize;
}

std::uint32_t crc32Of(const unsigned char* data, std::size_t size, std::uint32_t crc)
{
    return libdeflate_crc32(crc, data, size);
}

ScratchBuffer::ScratchBuffer(ScratchBuffer&& other) noexcept
    : bytes_(std::move(other.bytes_)), capacity_(std::exchange(other.capacity_, 0))
{
}

ScratchBuffer& ScratchBuffer::operator=(ScratchBuffer&& other) noexcept
{
    bytes_ = std::move(other.bytes_);
    capacity_ = std::exchange(other.capacity_, 0);
    return *this;
}

unsigned char* ScratchBuffer::get(std::size_t size)
{
    if (capacity_ < size || !bytes_) {
        bytes_.reset();
        capacity_ = 0;
        bytes_.reset(new (std::nothrow) unsigned char[size == 0 ? 1 : size]);
        if (bytes_) {
            capacity_ = size;
        }
    }
    return bytes_.get();
}

void ScratchBuffer::trim()
{
    if (capacity_ > kKeptScratch) {
        release();
    }
}

void ScratchBuffer::release()
{
    bytes_.reset();
    capacity_ = 0;
}

}  // namespace gm::backup
