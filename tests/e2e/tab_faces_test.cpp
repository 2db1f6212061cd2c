// The tab faces as velmo.dll carries them: each face keeps its gradient
// (grey, or blue, light at the left to dark at the right). How readable the
// labels are on them, as painted, is tests/ui/tab_bar_test.cpp's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "client_fixture.h"
#include "res/image_ids.h"
#include "ui/core/colour_contrast.h"

namespace {

// One pixel of a 32-bit top-down DIB: blue, green, red, unused.
struct Pixel {
  BYTE blue, green, red, unused;
};

struct Faces {
  int width = 0;
  int height = 0;  // both faces together
  std::vector<Pixel> pixels;
  const Pixel& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Bitmap 1002 loaded from velmo.dll's resources, as the tab bar loads it.
Faces LoadFaces() {
  Faces faces;
  HMODULE module = ::LoadLibraryExA(VelmoPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return faces;
  HBITMAP bitmap = ::LoadBitmapA(module, MAKEINTRESOURCEA(IDB_TAB_FACES));
  BITMAP info = {};
  if (bitmap != nullptr && ::GetObjectA(bitmap, sizeof info, &info) != 0) {
    faces.width = info.bmWidth;
    faces.height = info.bmHeight;
    faces.pixels.resize(static_cast<std::size_t>(faces.width * faces.height));
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = faces.width;
    format.bmiHeader.biHeight = -faces.height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(faces.height), faces.pixels.data(),
                    &format, DIB_RGB_COLORS) != faces.height) {
      faces.pixels.clear();
    }
    ::ReleaseDC(nullptr, screen);
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  ::FreeLibrary(module);
  return faces;
}

double Luminance(const Pixel& p) { return RelativeLuminance(RGB(p.red, p.green, p.blue)); }

}  // namespace

TEST(TabFaces, EachFaceRunsFromLightToDarkInItsOwnColour) {
  const Faces faces = LoadFaces();
  ASSERT_EQ(152, faces.width);
  ASSERT_EQ(38, faces.height);
  ASSERT_FALSE(faces.pixels.empty()) << "the bitmap's pixels could not be read";
  const int faceHeight = faces.height / 2;
  struct Face {
    const char* name;
    int top;
    bool blue;
  };
  for (const Face& face : {Face{"normal", 0, false}, Face{"selected", faceHeight, true}}) {
    SCOPED_TRACE(face.name);
    // Grey on the normal face, blue on the selected one.
    const Pixel& left = faces.At(0, face.top + faceHeight / 2);
    const Pixel& right = faces.At(faces.width - 1, face.top + faceHeight / 2);
    EXPECT_GT(Luminance(left), 3 * Luminance(right));
    for (const Pixel& p : {left, right}) {
      if (face.blue) {
        EXPECT_GT(p.blue, p.red + 40);
        EXPECT_GT(p.blue, p.green + 40);
      } else {
        EXPECT_LE(std::abs(p.red - p.green) + std::abs(p.green - p.blue), 6);
      }
    }
  }
}
