// Progress and cancel shared between long archive work on a worker thread
// and the window that shows it.
#pragma once

#include <atomic>
#include <cstdint>

namespace gm::backup {

// The archive code writes the counters and reads the cancel flag; the
// window reads the counters (say every 100 ms) and sets the flag. Packing
// counts the bytes of the files packed so far (of all files' bytes),
// unpacking the uncompressed bytes of the entries checked and written so far.
// Both update `bytesDone` at least every few MB and look at the flag
// between pieces of work of that size.
struct WorkProgress {
    std::atomic<std::uint64_t> bytesDone{0};
    std::atomic<std::uint64_t> bytesTotal{0};
    // Packing: files stored in the archive. Unpacking: files put in place
    // (renamed onto their targets), the number a cancelled or failed
    // restore reports.
    std::atomic<std::uint64_t> filesWritten{0};
    std::atomic<bool> cancelRequested{false};

    // Puts everything back to the start, for reuse of one object.
    void reset()
    {
        bytesDone = 0;
        bytesTotal = 0;
        filesWritten = 0;
        cancelRequested = false;
    }
};

}  // namespace gm::backup
