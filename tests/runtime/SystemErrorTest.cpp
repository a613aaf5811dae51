// The runtime's errors for failed Windows calls carry the system's code and its words.
#include "runtime/SystemError.h"
#include "runtime/Window.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

// A control of a system class that does not exist: its window cannot be made.
class TNoSuchClass : public TWinControl {
  protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.ClassName = "Quennet.NoSuchClass";
        params.SystemClass = true;
    }
};

TEST(SystemError, AFailedWindowCarriesTheSystemsCodeAndWords) {
    TNoSuchClass control;
    try {
        control.HandleNeeded();
        FAIL() << "the window was made";
    } catch (const ESystemError& e) {
        // Windows says it cannot find the class, Wine that the class does not exist.
        EXPECT_TRUE(e.Code() == ERROR_CANNOT_FIND_WND_CLASS || e.Code() == ERROR_CLASS_DOES_NOT_EXIST)
            << e.Code();
        const std::string words = SystemErrorText(e.Code());
        EXPECT_FALSE(words.empty());
        EXPECT_EQ(e.message(), "Error creating window of class Quennet.NoSuchClass (" + words + ")");
    }
}

} // namespace
} // namespace quennet
