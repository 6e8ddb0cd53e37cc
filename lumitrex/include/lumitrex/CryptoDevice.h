#pragma once

namespace lumitrex {

// The card-key device of the access card. Its operations are the library's
// own: the engine keeps one, and a host can make and hold one but has no use
// for it.
class CryptoDevice {
public:
    CryptoDevice();
    ~CryptoDevice();
};

} // namespace lumitrex
