// Text for the user's terminal or for whatever reads the output. The program's text is UTF-8;
// pipes and files get those bytes. A Windows console gets wide text, since its code page need
// not be UTF-8 and the console draws what WriteConsoleW is given.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quennet::cli {

class OutputText {
  public:
    explicit OutputText(std::FILE* stream);

    // After a failed write both do nothing: the text after a lost piece is worth nothing.
    void Write(std::string_view text);
    void Flush();

    // A write failed (disk full, stdout closed, the reader of a pipe gone); Error() is its errno.
    bool Failed() const { return failed_; }
    int Error() const { return error_; }

  private:
    void Fail(int error);

    std::FILE* stream_;
    bool failed_ = false;
    int error_ = 0;
#ifdef _WIN32
    void* console_ = nullptr; // the console's handle when the stream is one; not owned
    std::string pending_;     // console text waiting for the next Flush
#endif
};

} // namespace quennet::cli
