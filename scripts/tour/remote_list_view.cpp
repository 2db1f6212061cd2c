// See remote_list_view.h.
#include "remote_list_view.h"

#include <commctrl.h>

namespace {

const SIZE_T kTextSize = 512;
const SIZE_T kMemorySize = sizeof(LVITEMA) + kTextSize;

}  // namespace

CRemoteListView::CRemoteListView(HWND list) : m_list(list) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(list, &processId);
  m_process =
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (m_process == nullptr) return;
  m_memory = static_cast<char*>(
      ::VirtualAllocEx(m_process, nullptr, kMemorySize, MEM_COMMIT, PAGE_READWRITE));
}

CRemoteListView::~CRemoteListView() {
  if (m_memory != nullptr) ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
  if (m_process != nullptr) ::CloseHandle(m_process);
}

std::vector<std::string> CRemoteListView::FirstColumn() {
  std::vector<std::string> rows;
  const int count = static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = m_memory + sizeof(LVITEMA);
    item.cchTextMax = kTextSize;
    char text[kTextSize] = {};
    if (!::WriteProcessMemory(m_process, m_memory, &item, sizeof item, nullptr)) break;
    ::SendMessageA(m_list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(m_memory));
    if (!::ReadProcessMemory(m_process, item.pszText, text, kTextSize - 1, nullptr)) break;
    rows.emplace_back(text);
  }
  return rows;
}

bool CRemoteListView::Select(int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  // Wparam -1: every row loses its selection first.
  if (!::WriteProcessMemory(m_process, m_memory, &item, sizeof item, nullptr)) return false;
  ::SendMessageA(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(m_memory));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!::WriteProcessMemory(m_process, m_memory, &item, sizeof item, nullptr)) return false;
  return ::SendMessageA(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(m_memory)) != 0;
}
