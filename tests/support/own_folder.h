// Included anywhere in a test binary, puts the whole binary in a working folder of its own.
#pragma once

#include "tests/support/temp_folder.h"

namespace testsupport {

inline const bool kOwnFolder = workInOwnFolder("velmora");

}  // namespace testsupport
