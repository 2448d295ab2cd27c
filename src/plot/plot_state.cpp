#include "plot/plot_state.h"

namespace kurvana {

bool isOn(std::uint8_t flag) {
  return flag == flagOn;
}

void toggle(std::uint8_t& flag) {
  flag = (flag == flagOff) ? flagOn : flagOff;
}

Color c10(Color color) {
  const Color red = (color & 0xFF) * 8 / 10;
  const Color green = ((color >> 8) & 0xFF) * 8 / 10;
  const Color blue = ((color >> 16) & 0xFF) * 8 / 10;
  return red | (green << 8) | (blue << 16);
}

void setCurveColor(PlotColours& colours, Color color) {
  colours.curveColor = color;
  colours.curveColorDark = c10(color);
}

}  // namespace kurvana
