// Control wrappers on real controls, and the plug-in's generated images and
// UTF-8 resource texts as the resource pipeline compiles them.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "image_ids.h"
#include "test_ids.h"
#include "tests/support/message_pump.h"

namespace {

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() : CDialog(IDD_CONTROLS) {}
  CStatic m_bitmap;
  CListCtrl m_list;
  CRichEditCtrl m_rich;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_BITMAP, m_bitmap);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_RICH, m_rich);
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_richEdit = ::LoadLibraryA("riched32.dll"); }
  static void TearDownTestSuite() { ::FreeLibrary(s_richEdit); }
  void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_CONTROLS)); }
  void TearDown() override { dlg.DestroyWindow(); }
  ControlsDialog dlg;
  static HMODULE s_richEdit;
};

HMODULE ControlsTest::s_richEdit = nullptr;

TEST_F(ControlsTest, StaticShowsTheBitmapItWasGiven) {
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(IDB_STATUS_ONLINE));
  dlg.m_bitmap.SetBitmap(bitmap);
  EXPECT_EQ(dlg.m_bitmap.GetBitmap(), static_cast<HBITMAP>(bitmap));
  dlg.m_bitmap.SetBitmap(nullptr);
}

TEST_F(ControlsTest, ListRowsTextsAndSelection) {
  ASSERT_EQ(dlg.m_list.InsertColumn(0, "ユーザー", LVCFMT_LEFT, 100), 0);
  ASSERT_EQ(dlg.m_list.InsertColumn(1, "共有", LVCFMT_CENTER, 40), 1);
  EXPECT_EQ(dlg.m_list.InsertItem(0, "bob"), 0);
  EXPECT_EQ(dlg.m_list.InsertItem(1, "alice"), 0) << "a sorted list answers the sorted index";
  char files[] = "120";
  EXPECT_TRUE(dlg.m_list.SetItemText(0, 1, files));
  EXPECT_STREQ(dlg.m_list.GetItemText(0, 0), "alice");
  EXPECT_STREQ(dlg.m_list.GetItemText(0, 1), "120");
  char small[4];
  EXPECT_EQ(dlg.m_list.GetItemText(0, 0, small, sizeof small), 3);
  EXPECT_STREQ(small, "ali") << "a short buffer still ends in a terminator";
  dlg.m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(dlg.m_list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(dlg.m_list.GetSelectedCount(), 1u);
  EXPECT_TRUE(dlg.m_list.DeleteItem(0));
  EXPECT_EQ(dlg.m_list.GetItemCount(), 1);
  EXPECT_TRUE(dlg.m_list.DeleteAllItems());
  EXPECT_EQ(dlg.m_list.GetItemCount(), 0);
}

TEST_F(ControlsTest, RichEditAppendsColouredTextAtTheEnd) {
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.crTextColor = RGB(255, 255, 0);
  dlg.m_rich.SetBackgroundColor(FALSE, RGB(0, 0, 0));
  dlg.m_rich.ReplaceSel("一行目\r\n");
  long end = dlg.m_rich.GetTextLength();
  dlg.m_rich.SetSel(end, end);
  dlg.m_rich.SetSelectionCharFormat(format);
  dlg.m_rich.ReplaceSel("二行目\r\n");
  EXPECT_EQ(dlg.m_rich.GetLineCount(), 3) << "two lines ending in CR LF";
  dlg.m_rich.SetSel(end, end + 1);
  CHARFORMATA got = {};
  got.cbSize = sizeof got;
  dlg.m_rich.SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.crTextColor, RGB(255, 255, 0));
}

TEST(ResourcePipeline, GeneratedImagesLoadWithTheirDescribedSizes) {
  struct Expected {
    UINT id;
    int width;
    int height;
  } expected[] = {{IDB_TAB_FACES, 152, 38},
                  {IDB_STATUS_OFFLINE, 129, 19},
                  {IDB_STATUS_CONNECTING_LIT, 129, 19},
                  {IDB_STATUS_CONNECTING, 129, 19},
                  {IDB_STATUS_ONLINE, 129, 19}};
  for (const Expected& e : expected) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(e.id)) << e.id;
    BITMAP info = {};
    ASSERT_TRUE(bitmap.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, e.width) << e.id;
    EXPECT_EQ(info.bmHeight, e.height) << e.id;
    HANDLE dib = ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(e.id), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
    ::GetObjectA(dib, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 8) << e.id;
    ::DeleteObject(dib);
  }
  HANDLE icon = ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_FRAME), IMAGE_ICON, 16,
                             16, LR_DEFAULTCOLOR);
  EXPECT_NE(icon, nullptr);
  ::DestroyIcon(static_cast<HICON>(icon));
}

TEST(ResourcePipeline, Utf8ScriptTextsLoadAsCodePage932) {
  CString text;
  ASSERT_TRUE(text.LoadString(IDS_CONNECT));
  EXPECT_STREQ(text, "\x90\xDA\x91\xB1");
}

}  // namespace
