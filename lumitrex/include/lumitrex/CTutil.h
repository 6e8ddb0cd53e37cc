#pragma once

namespace lumitrex {

// A holder with no state or operations; the engine keeps its shared instance.
class CTutil {
public:
    static CTutil& shared();

private:
    CTutil() = default;
};

} // namespace lumitrex
