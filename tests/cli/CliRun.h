// Runs quennet-cli's front end in the test program, with its output captured.
#pragma once

#include "cli/CliFrontEnd.h"
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace quennet::cli {

template <class FrontEnd> struct As {};

// Runs the front end with its output captured.
struct CliRun {
    int status = -1;
    std::string out, err;

    template <class FrontEnd = CliFrontEnd>
    explicit CliRun(std::vector<std::string> args, bool interruptAtOnce = false, As<FrontEnd> = {}) {
        auto options = ParseCommandLine(args).Options;
        EXPECT_TRUE(options);
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        std::atomic<bool> interrupt{interruptAtOnce};
        {
            FrontEnd frontEnd(*options, o, e);
            status = frontEnd.Run(interrupt);
        }
        out = ReadAll(o);
        err = ReadAll(e);
    }
    static std::string ReadAll(std::FILE* f) {
        std::fflush(f);
        std::rewind(f);
        std::string text;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        std::fclose(f);
        return text;
    }
};

} // namespace quennet::cli
