#include "mainwindow/BufferAdjust.h"

namespace quennet {

std::int32_t AdjustedBufferMegabytes(std::uint32_t availablePhysical) {
    const std::uint32_t freeMegabytes = availablePhysical >> 20;
    if (freeMegabytes <= 5)
        return 25;
    return static_cast<std::int32_t>(freeMegabytes / 3);
}

const char* const kBufferHelpText =
    "When Quennet searches in a file for your string, it reads sections from it.\r"
    "These sections are as large as the buffer size you choose (in MegaBytes - MB).\r"
    "For example, if you choose 100 as the buffer size, it will read sections of 100 MB\r"
    "until it reaches the end of the file, and then continues with the next file.\r"
    "\r"
    "It is recommended that you choose rather very large buffers, like 50/100 MB so\r"
    "it won`t read too many sections from a file, but make sure you have that much free RAM\r"
    "because the buffer is read directly in RAM, so it won't use the swap file.\r"
    "But it is also recommended to check the \"Adjust automatically\" checkbox, which makes\r"
    "the application check every second how much free RAM you have, and optimizes the buffer.\r"
    "\r"
    "NOTE: But be careful... If you choose a big buffer, and try to stop the search\r"
    "you will have to wait until it reads all the buffer from the file, and this may\r"
    "take a while - this only happens at BIG files (50 + MB).";

} // namespace quennet
