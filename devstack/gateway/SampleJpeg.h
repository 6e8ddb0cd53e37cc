#pragma once

#include <string>

namespace devstack {

// A valid baseline JPEG of 8 by 8 grey pixels, for the profile photo.
const std::string& sampleJpeg();

} // namespace devstack
