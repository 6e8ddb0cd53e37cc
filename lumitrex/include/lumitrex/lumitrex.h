#pragma once

#include "lumitrex/CardError.h"
#include "lumitrex/DataError.h"
#include "lumitrex/Error.h"
#include "lumitrex/KeyError.h"
#include "lumitrex/MobileCard.h"
