// The side view of the driver's part: its projection into the view control and the band
// that toggles which vertices move with the driver. The view control and the driver
// movements dialog share one DriverView while the dialog is open.
#pragma once

#include "model/car_model.h"

#include <cstdint>

struct ProjectedVertex {
    int32_t x;
    int32_t y;
    uint32_t movement; // working copy of the vertex's movementFlags entry
};

// Vertex indexes relative to the driver part's first vertex, so they index
// projectedVertices directly.
struct ViewTriangle {
    uint32_t vertexIndexes[3];
};

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct AxisPair {
    float y;
    float z;
};

struct DriverView {
    uint32_t driverPartIndex;
    ProjectedVertex* projectedVertices; // null while the dialog is closed
    ViewTriangle* viewTriangles;        // null while the dialog is closed
    // Entries of the two arrays; 0 while they are null. Everything that walks the arrays
    // counts on these rather than on the header, so it never leaves them.
    uint32_t vertexCount;
    uint32_t triangleCount;
    ViewRect viewClientRect;
    int32_t viewCentreX;
    int32_t viewCentreY;
    AxisPair boxMin;
    AxisPair boxMax;
    AxisPair boxCentre;
    float scaleByZ;
    float scaleByY;
    float viewScale;
    int32_t bandStartX;
    int32_t bandStartY;
    int32_t bandEndX;
    int32_t bandEndY;
    uint32_t dragging;
};

extern DriverView driverView;

// Fills everything but the band for part partIndex of the car model, fitting it into a
// view of width x height pixels with a 10-pixel margin. The arrays must already hold
// vertexCount and triangleCount entries for that part.
void BuildDriverView(uint32_t partIndex, int32_t width, int32_t height);

// 4 becomes 0; anything else, 0 or a value from a file, becomes 4.
uint32_t ToggledMovement(uint32_t movement);

// A triangle is drawn only when all three of its corners exist in the view.
bool TriangleInView(const ViewTriangle& triangle, uint32_t vertexCount);

// The band as PatBlt inverts it: from the anchor, with signed width and height.
struct BandRectangle {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};
BandRectangle CurrentBand(const DriverView& view);

// Left button pressed at (x, y): the band starts one pixel wide and a drag begins.
void StartBand(DriverView& view, int32_t x, int32_t y);
// Moves the band's free corner; false (and nothing changes) when no drag is in progress.
bool MoveBand(DriverView& view, int32_t x, int32_t y);
// Left button released at (x, y): ends the drag and toggles every vertex inside the band.
// A release without a drag in progress (the button went down elsewhere) is ignored and
// returns false.
bool EndBand(DriverView& view, int32_t x, int32_t y);
// The view lost the mouse: the drag ends without toggling anything.
void CancelBand(DriverView& view);
// Toggles every vertex inside the band, both borders included, whichever way it was dragged.
void ApplyBand(DriverView& view);

// Keeps a view coordinate in the range GDI draws reliably (27 bits), so that a vertex far
// outside the view can still be passed to the drawing calls, with room for its square.
int32_t DrawingCoordinate(int32_t value);
