// A test suite whose tests use the shell namespace or the clipboard: OLE is initialised on
// the suite's thread for as long as the suite runs, as the program has it for its whole run.
#pragma once

#include "runtime/Handles.h"

#include <gtest/gtest.h>

namespace quennet::test {

class OleSuite : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ole_ = new OleScope; }
    static void TearDownTestSuite() {
        delete ole_;
        ole_ = nullptr;
    }

  private:
    static inline OleScope* ole_ = nullptr;
};

} // namespace quennet::test
