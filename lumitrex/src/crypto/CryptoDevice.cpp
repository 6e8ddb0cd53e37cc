#include "lumitrex/CryptoDevice.h"

namespace lumitrex {

CryptoDevice::CryptoDevice() = default;
CryptoDevice::~CryptoDevice() = default;

} // namespace lumitrex
