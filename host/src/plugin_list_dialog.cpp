// The plug-in list window.
#include "plugin_list_dialog.h"

#include "host_ids.h"
#include "plugin_registry.h"

CPluginListDlg::CPluginListDlg() : CDialog(IDD_PLUGIN_LIST) {}

void CPluginListDlg::ShowFor(CWnd* pOwner) {
  if (!m_hWnd && !Create(IDD_PLUGIN_LIST, pOwner)) return;
  FillRows();
  ShowWindow(SW_SHOW);
}

void CPluginListDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PLUGIN_ROWS, m_rows);
}

BOOL CPluginListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_rows.InsertColumn(0, "File", LVCFMT_LEFT, 160);
  m_rows.InsertColumn(1, "Author", LVCFMT_LEFT, 120);
  m_rows.InsertColumn(2, "Version", LVCFMT_LEFT, 120);
  m_rows.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  return TRUE;
}

void CPluginListDlg::FillRows() {
  m_rows.DeleteAllItems();
  int row = 0;
  for (const PluginRecord& record : PluginRegistry::Instance().Plugins()) {
    // The file name without its folder.
    size_t slash = record.path.find_last_of("\\/");
    std::string file = slash == std::string::npos ? record.path : record.path.substr(slash + 1);
    int index = m_rows.InsertItem(row++, file.c_str());
    if (index < 0) continue;
    m_rows.SetItemText(index, 1, const_cast<LPTSTR>(record.author.c_str()));
    m_rows.SetItemText(index, 2, const_cast<LPTSTR>(record.version.c_str()));
  }
}
