// What the test plug-in observed, read by the host tests through the DLL's
// exported GetTestPluginProbe while the DLL is loaded.
#pragma once

#include "framework/afxwin.h"

struct TestPluginProbe {
  int onStartCalls;
  int onStopCalls;
  BOOL mainWindowVisibleAtStart;
  CMDIChildWnd* frame;   // the child OnStart created, or null
  DWORD styleRequested;  // what PreCreateWindow produced
  DWORD exStyleRequested;
  int framesDeleted;
  int enterKeysInEdit;  // seen by the page's PreTranslateMessage
};

typedef TestPluginProbe* (*GetTestPluginProbeFn)();

// Set in the environment while a test plug-in loads, it registers a second
// object of its own.
#define TEST_PLUGIN_SECOND_OBJECT "VELMO_TEST_PLUGIN_SECOND_OBJECT"

