// How far apart two screen colours are to the eye: the relative luminance
// and contrast ratio of the web's accessibility guidelines (1:1 for the same
// light, 21:1 for black on white). Colours are COLORREF-layout values (red
// in the low byte). Pure; header only: the tab bar picks its colours by it
// and its tests measure what it drew by the same rule.
#pragma once

#include <cmath>
#include <cstdint>

inline double LinearChannel(unsigned value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

inline double RelativeLuminance(std::uint32_t colour) {
  return 0.2126 * LinearChannel(colour & 0xFF) + 0.7152 * LinearChannel((colour >> 8) & 0xFF) +
         0.0722 * LinearChannel((colour >> 16) & 0xFF);
}

// The lighter colour's over the darker's, whichever way round they come.
inline double ContrastRatio(std::uint32_t a, std::uint32_t b) {
  const double la = RelativeLuminance(a) + 0.05;
  const double lb = RelativeLuminance(b) + 0.05;
  return la > lb ? la / lb : lb / la;
}
