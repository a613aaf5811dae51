// Counts the reads of one file made by every thread of the test program (read, pread and
// pread64 are interposed, the engine's calls included), and can hold each thread at its second
// read of the file until released: a search is then caught in the middle of every scanner's
// work, whatever the machine's speed. POSIX only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <thread>

namespace quennet::test {

class FileReadWatch {
  public:
    struct Reads {
        std::size_t Calls = 0;
        std::uint64_t Bytes = 0;
        std::size_t CallsAfterRelease = 0; // the held read counts here: its bytes come after
        std::uint64_t BytesAfterRelease = 0;
    };

    // One watch at a time. `holdSecondRead`: each thread's second read of the file waits for
    // Release().
    explicit FileReadWatch(const std::string& path, bool holdSecondRead = false);
    ~FileReadWatch(); // stops watching and lets every held thread go
    FileReadWatch(const FileReadWatch&) = delete;
    FileReadWatch& operator=(const FileReadWatch&) = delete;

    // Waits until `threads` threads are held at once; false after a minute, so a search that
    // never gets there fails instead of hanging.
    bool WaitUntilHeld(std::size_t threads);
    void Release();

    std::map<std::thread::id, Reads> PerThread() const;
    std::uint64_t Bytes() const; // by every thread
};

} // namespace quennet::test
