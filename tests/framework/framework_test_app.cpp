// The framework tests' application object: its title is the message boxes'
// caption.
#include "framework/afxwin.h"

CWinApp theApp("FrameworkTest");
