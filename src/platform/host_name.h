// The name of the computer this program runs on, as the system knows it.
#ifndef TAVRIN_PLATFORM_HOST_NAME_H
#define TAVRIN_PLATFORM_HOST_NAME_H

#include <string>

namespace tavrin::platform {

// The host name (POSIX gethostname, Windows GetComputerNameA), at most 255
// characters; empty when the system cannot tell.
std::string HostName();

}  // namespace tavrin::platform

#endif
