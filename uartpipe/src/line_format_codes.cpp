#include "line_format_codes.h"

#include "IUartBasic.h"

int FormatFromCodes(int baud, int byteSize, int parity, int stopBits,
                    qs::LineFormat* format) noexcept {
    qs::LineFormat f{.baud = baud, .dataBits = byteSize};
    switch (parity) {
        case 0:
            f.parity = qs::Parity::kNone;
            break;
        case 1:
            f.parity = qs::Parity::kOdd;
            break;
        case 2:
            f.parity = qs::Parity::kEven;
            break;
        default:
            return IUartBasic::kBadArgument;
    }
    switch (stopBits) {
        case 1:
            f.stopBits = qs::StopBits::kOne;
            break;
        case 15:
            f.stopBits = qs::StopBits::kOneAndAHalf;
            break;
        case 2:
            f.stopBits = qs::StopBits::kTwo;
            break;
        default:
            return IUartBasic::kBadArgument;
    }
    *format = f;
    return IUartBasic::kOk;
}

int FormatResultCode(qs::RawModeResult result) noexcept {
    switch (result) {
        case qs::RawModeResult::kSet:
            return IUartBasic::kOk;
        case qs::RawModeResult::kRefused:
            return IUartBasic::kFormatRefused;
        case qs::RawModeResult::kFailed:
            break;
    }
    return IUartBasic::kIoFailed;
}
