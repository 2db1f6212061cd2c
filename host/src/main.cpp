// palaver.exe's entry and its one application object.
#include "palaver_app.h"

CPalaverApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR cmdLine, int cmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, cmdLine, cmdShow);
}
