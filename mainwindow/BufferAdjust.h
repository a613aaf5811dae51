// The buffer size the program picks from the free physical memory while "Adjust
// automatically" is on, and the help text of the "What is this ?" button.
#pragma once

#include <cstdint>

namespace quennet {

// The next value of the buffer box (megabytes) for `availablePhysical` free bytes, before
// the box's own clamping to 1..200: a third of the free megabytes, or 25 when at most five
// megabytes are free (a box that shows 25 is as good as any when almost nothing is free).
std::int32_t AdjustedBufferMegabytes(std::uint32_t availablePhysical);

// Fourteen lines joined by single carriage returns.
extern const char* const kBufferHelpText;

} // namespace quennet
