#include "CPosixOnly.h"

QString CPosixOnly::Why(const char*) {
    return {};
}
