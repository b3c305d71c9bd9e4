// The device that reads as nothing, by the name the platform gives it.
#pragma once

#include <string>

namespace certtest {

#ifdef _WIN32
inline const std::string kNullDevice = "NUL";
#else
inline const std::string kNullDevice = "/dev/null";
#endif

}  // namespace certtest
