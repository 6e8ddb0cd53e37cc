#pragma once

#include "lumitrex/CTutil.h"
#include "lumitrex/CardError.h"
#include "lumitrex/Conn.h"
#include "lumitrex/CryptoDevice.h"
#include "lumitrex/DataError.h"
#include "lumitrex/Error.h"
#include "lumitrex/KeyError.h"
#include "lumitrex/MobileCard.h"
