// The framework's whole interface: include "framework/afxwin.h".
#pragma once

#include "framework/afx_api.h"
#include "framework/afxapp.h"
#include "framework/afxctrl.h"
#include "framework/afxdlg.h"
#include "framework/afxdlgs.h"
#include "framework/afxframe.h"
#include "framework/afxgdi.h"
#include "framework/afxgeom.h"
#include "framework/afxobj.h"
#include "framework/afxstr.h"
#include "framework/afxwnd.h"
