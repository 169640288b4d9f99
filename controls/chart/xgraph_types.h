#pragma once
// Small types shared by the chart classes.
#include <string>

#include "platform/ui/draw/color.h"

// One point of a data series; the chart keeps a pointer to the caller's array of these.
struct XGraphPoint {
  double x = 0.0;
  double y = 0.0;
};

// How a data series is drawn.
enum EGraphType { gtLine = 0, gtScatter = 1 };
// The scale of an axis (only linear axes are drawn).
enum EAxisType { atLinear = 0 };
// Where an axis sits beside the plot.
enum EAxisPlacement { apAutomatic = 0, apLeft = 1, apRight = 2, apBottom = 3, apTop = 4 };
// Where the legend box sits inside the plot.
enum EAlignment { laRight = 0, laLeft = 1 };
// What a press in the plot does.
enum EOperation { opNone = 0, opSelect = 1 };

// A vertical line on an x axis (a divider line of a histogram), with a label.
struct XGraphAxisMarker {
  double value = 0.0;
  draw::Color color = draw::RGB(200, 255, 255);
  int style = 0;      // line style as the pen numbers: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
  std::string text;   // the label drawn at the top of the line
};

// A measurement taken in the chart (kept for the interface; nothing adds them yet).
struct XGraphMeasure {
  double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
};
