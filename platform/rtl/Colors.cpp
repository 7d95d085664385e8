#include "platform/rtl/Colors.h"

TColor SystemColorValue(int index) noexcept {
  static constexpr TColor kScheme[] = {
      RGBColor(0xC8, 0xC8, 0xC8), // scroll bar
      RGBColor(0x00, 0x00, 0x00), // desktop
      RGBColor(0x99, 0xB4, 0xD1), // active caption
      RGBColor(0xBF, 0xCD, 0xDB), // inactive caption
      RGBColor(0xF0, 0xF0, 0xF0), // menu
      RGBColor(0xFF, 0xFF, 0xFF), // window
      RGBColor(0x64, 0x64, 0x64), // window frame
      RGBColor(0x00, 0x00, 0x00), // menu text
      RGBColor(0x00, 0x00, 0x00), // window text
      RGBColor(0x00, 0x00, 0x00), // caption text
      RGBColor(0xB4, 0xB4, 0xB4), // active border
      RGBColor(0xF4, 0xF7, 0xFC), // inactive border
      RGBColor(0xAB, 0xAB, 0xAB), // application work space
      RGBColor(0x33, 0x99, 0xFF), // highlight
      RGBColor(0xFF, 0xFF, 0xFF), // highlight text
      RGBColor(0xF0, 0xF0, 0xF0), // button face
      RGBColor(0xA0, 0xA0, 0xA0), // button shadow
      RGBColor(0x6D, 0x6D, 0x6D), // grey text
      RGBColor(0x00, 0x00, 0x00), // button text
      RGBColor(0x00, 0x00, 0x00), // inactive caption text
      RGBColor(0xFF, 0xFF, 0xFF), // button highlight
      RGBColor(0x69, 0x69, 0x69), // 3D dark shadow
      RGBColor(0xE3, 0xE3, 0xE3), // 3D light
      RGBColor(0x00, 0x00, 0x00), // tool tip text
      RGBColor(0xFF, 0xFF, 0xE1), // tool tip background
  };
  if (index < 0 || index >= static_cast<int>(sizeof kScheme / sizeof kScheme[0])) return clBlack;
  return kScheme[index];
}
