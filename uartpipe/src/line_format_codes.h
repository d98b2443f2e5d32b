#pragma once
// The UART's line format arguments and results in the serial set-up's terms, the same on
// every OS.
#include "line_format.h"

// Parity code 0 none, 1 odd, 2 even; stop-bit code 1 one, 15 one and a half, 2 two. The
// baud rate and byte size go in unchanged for the port to judge. kBadArgument (format
// untouched) for a code not listed, else kOk.
int FormatFromCodes(int baud, int byteSize, int parity, int stopBits,
                    qs::LineFormat* format) noexcept;

// kOk, kFormatRefused or kIoFailed.
int FormatResultCode(qs::RawModeResult result) noexcept;
