// Draws the car view's picture in software: every triangle filled with a depth buffer, lit by a
// light at the viewer, textured when a texture is given; or the car's lines, as a wireframe.
#pragma once

#include "viewer/car_view.h"
#include "viewer/texture.h"

// Share of the light that reaches every surface, whichever way it faces.
constexpr float AMBIENT_LIGHT = 0.35f;
// Share of the selected colour in the selected part's surface.
constexpr float SELECTED_TINT = 0.6f;

// Draws the car as the view shows it (view.width x view.height, solid or wireframe, the texture
// when given, else untextured) into view.frame. Triangles are drawn whole or not at all where
// their corners are unusable (an index outside the part, a coordinate that is not finite).
// When memory runs out the frame is left empty (0 x 0).
void RenderCarView(CarView& view, const CarModel& model, const Texture* texture);
