// COrlaPlugin: the module's one plug-in object, registered with the host
// while the module loads. Its start hook opens the manager frame and lists
// it in the host's window list; every other host call is left to the host's
// own defaults. The frame pointer is the root through which the module's
// entry points reach the link and the manager console: plug-in object →
// frame → page host → member.
//
// Threads: constructed and destroyed on the loader's thread; OnStart and
// ForgetFrame on the host's user-interface thread.
#pragma once

#include "palaver/plugin.h"

class COrlaFrame;

class COrlaPlugin : public CPalaverPlugin {
 public:
  COrlaPlugin() = default;
  ~COrlaPlugin() override = default;

  // The title of the frame and of its entry in the host's window list.
  static const char kTitle[];

  // Opens the manager frame (or brings forward the one already open).
  void OnStart() override;
  // Slots 2 and 3: nothing to do.
  void OnStop() override {}
  void OnHostNotify(DWORD, DWORD, DWORD) override {}

  // The frame calls it while its window is destroyed.
  void ForgetFrame(const COrlaFrame* frame);
  // The manager frame, or null before OnStart and after the frame is gone.
  COrlaFrame* Frame() const { return m_pFrame; }

  HINSTANCE m_hModule = nullptr;

 private:
  COrlaFrame* m_pFrame = nullptr;
};

// The module's plug-in object.
COrlaPlugin& ThePlugin();
