// The start hook: the manager frame, its title and icon, its window-list
// entry. See orla_plugin.h.
#include "plugin/orla_plugin.h"

#include "plugin/host_window_list.h"
#include "plugin/orla_frame.h"
#include "res/image_ids.h"

namespace {

// The frame's resource id: the module defines nothing under it, so title and
// icon are set explicitly.
const UINT kFrameResourceId = 129;

}  // namespace

const char COrlaPlugin::kTitle[] = "Orlaマネージャー";

void COrlaPlugin::OnStart() {
  CWinThread* thread = AfxGetThread();
  if (thread == nullptr || thread->m_pMainWnd == nullptr) return;
  CWnd* main = thread->m_pMainWnd;
  if (!main->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) return;
  auto* host = static_cast<CMDIFrameWnd*>(main);
  // One frame per module: a second start brings the first forward.
  if (m_pFrame != nullptr) {
    host->MDIActivate(m_pFrame);
    return;
  }
  auto* frame = static_cast<COrlaFrame*>(
      host->CreateNewChild(RUNTIME_CLASS(COrlaFrame), kFrameResourceId, nullptr, nullptr));
  if (frame == nullptr) return;
  m_pFrame = frame;
  frame->SetWindowText(kTitle);
  frame->SetTitle(kTitle);
  HICON icon = static_cast<HICON>(
      ::LoadImageA(m_hModule, MAKEINTRESOURCEA(IDI_FRAME), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  frame->SetIcon(icon, FALSE);

  CWnd* list = FindHostWindowList();
  if (list == nullptr) return;
  const LRESULT item = list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kTitle));
  if (item != CB_ERR) list->SendMessage(CB_SETITEMDATA, item, reinterpret_cast<LPARAM>(frame));
  SendWindowListCount(list);
}

void COrlaPlugin::ForgetFrame(const COrlaFrame* frame) {
  if (m_pFrame == frame) m_pFrame = nullptr;
}
