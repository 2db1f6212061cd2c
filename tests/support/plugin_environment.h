// What the host does for a plug-in before it runs, done by a program that
// stands in for the host (UI tests, benchmarks, screenshot scenes): the
// socket library, the common controls, the rich edit library. Main thread,
// once.
#pragma once

// false when any of it failed.
bool StartPluginEnvironment();
// Stops the socket library again.
void StopPluginEnvironment();
