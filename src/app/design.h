#ifndef QUORLA_APP_DESIGN_H_
#define QUORLA_APP_DESIGN_H_

// The window as designed: positions and sizes in twips (left, top, width, height).

namespace app {

struct TwipsBox {
  float left, top, width, height;
};

inline constexpr float kDesignClientWidth = 9495;
inline constexpr float kDesignClientHeight = 8310;

inline constexpr TwipsBox kTxtSQL = {120, 120, 9255, 2415};
inline constexpr TwipsBox kFgridQuery = {120, 4560, 9255, 3975};
inline constexpr TwipsBox kCmdQuery = {7800, 2640, 1455, 615};
inline constexpr TwipsBox kLstTabellen = {840, 2640, 2895, 1815};
inline constexpr TwipsBox kLstFelder = {4560, 2640, 3015, 1815};
inline constexpr TwipsBox kLblTabelle = {120, 2640, 615, 255};
inline constexpr TwipsBox kLblFelder = {3960, 2640, 615, 255};
inline constexpr TwipsBox kLblGridSize = {7800, 4200, 1455, 255};
inline constexpr TwipsBox kData1 = {3960, 6000, 2655, 375};

// Tab order of the controls that have one.
inline constexpr int kTabTxtSQL = 0;
inline constexpr int kTabFgridQuery = 1;
inline constexpr int kTabCmdQuery = 2;
inline constexpr int kTabLstTabellen = 3;
inline constexpr int kTabLstFelder = 4;
inline constexpr int kTabLblTabelle = 5;
inline constexpr int kTabLblFelder = 6;
inline constexpr int kTabLblGridSize = 7;

}  // namespace app

#endif  // QUORLA_APP_DESIGN_H_
