#include "lumitrex/CTutil.h"

namespace lumitrex {

CTutil& CTutil::shared()
{
    static CTutil instance;
    return instance;
}

} // namespace lumitrex
