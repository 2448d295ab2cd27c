// Zooming by a factor of 2 along one axis, and panning by dragging the plot
// with a preview painted from the samples already there.
#pragma once

#include "explore/exploration.h"
#include "render/render_context.h"

namespace kurvana {

// Zoom in (sb4) and out (sb5): both ends of the x range, or of the y range
// with Shift, Alt or Ctrl, are halved or doubled, so the view moves toward or
// away from 0. Then the plot is drawn anew and the readout refreshed at the
// pointer. Without a plot they only beep.
void sb4MouseDown(RenderContext& context, ExploreState& explore, ExploreHost& host, Keys keys);
void sb5MouseDown(RenderContext& context, ExploreState& explore, ExploreHost& host, Keys keys);

// The wheel over the window: up zooms in, down zooms out, with the event's
// modifier keys.
void formMouseWheel(RenderContext& context, ExploreState& explore, ExploreHost& host, bool up,
                    Keys keys);

// A press on the plot image at image pixel (x, y): the right button sets the
// context menu's enabled items, any other starts a pan drag.
void im1MouseDown(RenderContext& context, ExploreState& explore, ExploreHost& host,
                  MouseButton button, int x, int y);

// A pointer move over the plot image: a drag step while a drag runs, the
// readout otherwise; nothing without a plot.
void im1MouseMove(RenderContext& context, ExploreState& explore, Keys keys, int x, int y);

// Any button released: ends the drag and draws the plot for the final ranges.
void im1MouseUp(RenderContext& context, ExploreState& explore, ExploreHost& host);

// The drag previews: panSamplesA (Cartesian) or the points of panSamplesA and
// panSamplesB (parametric and polar) painted without filling the range,
// antialiasing or evaluating anything.
void paintPanCartesian(RenderContext& context, const ExploreState& explore);
void paintPanParametric(RenderContext& context, const ExploreState& explore);

}  // namespace kurvana
