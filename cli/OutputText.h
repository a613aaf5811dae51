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

    void Write(std::string_view text);
    void Flush();

  private:
    std::FILE* stream_;
#ifdef _WIN32
    void* console_ = nullptr; // the console's handle when the stream is one; not owned
    std::string pending_;     // console text waiting for the next Flush
#endif
};

} // namespace quennet::cli
