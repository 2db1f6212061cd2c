// The fault walk's test build of velmo.dll: the plug-in's own objects and
// this export, which installs faults (null removes them) as the module's
// platform fault seam. Every module that links the link has a seam of its
// own, so the test program's installation never reaches the link inside the
// DLL. Only while the link is stopped. The shipped velmo.dll has no such
// export.
#include "link/platform_faults.h"

extern "C" __declspec(dllexport) void InstallPlatformFaults(
    link_platform::IPlatformFaults* faults) {
  link_platform::SetPlatformFaults(faults);
}
