#include "IDeviceBackend.h"

IDeviceBackend::~IDeviceBackend() = default;
