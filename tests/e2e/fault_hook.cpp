// The fault walk's test build of velmo.dll adds this export to the plug-in's
// objects: it installs faults (null removes them) as the module's own platform
// fault seam, which no installation of the test program reaches. Only while
// the link is stopped. The shipped velmo.dll has no such export.
#include "link/platform_faults.h"

extern "C" __declspec(dllexport) void InstallPlatformFaults(
    link_platform::IPlatformFaults* faults) {
  link_platform::SetPlatformFaults(faults);
}
