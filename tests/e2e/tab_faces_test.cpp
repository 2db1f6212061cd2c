// The tab faces as velmo.dll carries them: the white bold label must stay
// readable (3:1 contrast or more) on every face pixel it may cover, on the
// normal and on the selected face, and each face keeps its gradient (grey,
// or blue, light at the left to dark at the right).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "client_fixture.h"
#include "res/image_ids.h"

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

double Linear(BYTE channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(const Pixel& p) {
  return 0.2126 * Linear(p.red) + 0.7152 * Linear(p.green) + 0.0722 * Linear(p.blue);
}

// White's luminance is 1.
double ContrastWithWhite(const Pixel& p) { return 1.05 / (RelativeLuminance(p) + 0.05); }

}  // namespace

TEST(TabFaces, WhiteLabelsHaveThreeToOneContrastOnBothFaces) {
  const Faces faces = LoadFaces();
  ASSERT_EQ(152, faces.width);
  ASSERT_EQ(38, faces.height);
  ASSERT_FALSE(faces.pixels.empty()) << "the bitmap's pixels could not be read";
  const int faceHeight = faces.height / 2;
  // A tab copies its face one pixel inside its slot and draws the label from
  // five pixels in, to the slot's right edge: face columns 4 to the last.
  const int labelLeft = 4;
  struct Face {
    const char* name;
    int top;
    bool blue;
  };
  for (const Face& face : {Face{"normal", 0, false}, Face{"selected", faceHeight, true}}) {
    SCOPED_TRACE(face.name);
    double worst = 100;
    for (int y = face.top; y < face.top + faceHeight; ++y) {
      for (int x = labelLeft; x < faces.width; ++x) {
        const double contrast = ContrastWithWhite(faces.At(x, y));
        if (contrast < worst) worst = contrast;
        ASSERT_GE(contrast, 3.0) << "at (" << x << ", " << y << ")";
      }
    }
    std::printf("%s face: lowest contrast with white %.2f:1\n", face.name, worst);
    // The gradient still runs from light at the left to dark at the right,
    // in grey on the normal face and in blue on the selected one.
    const Pixel& left = faces.At(0, face.top + faceHeight / 2);
    const Pixel& right = faces.At(faces.width - 1, face.top + faceHeight / 2);
    EXPECT_GT(RelativeLuminance(left), 3 * RelativeLuminance(right));
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
