// The playfield's solid parts as the ball physics and the course checker see
// them: circles (nails, posts, windmill axles) and straight strips (rails
// approximated by short chords, walls, the edges of the solid parts), with a
// coarse grid to find the few near a point.
#pragma once

#include <vector>

namespace courses {

struct Obstacle {
    bool isCircle;
    double ax, ay;       // circle centre, or segment start
    double bx, by;       // segment end
    double radius;       // circle radius, or half the strip's width
    double restitution;
    bool isNail;
};

struct FieldModel {
    std::vector<Obstacle> obstacles;
    // Grid of cells CELL px square over the 640 × 416 picture; each cell
    // lists the obstacles a ball centred anywhere in it can touch.
    static constexpr int CELL = 16;
    int columns = 0, rows = 0;
    std::vector<std::vector<Obstacle>> cells;
    const std::vector<Obstacle>& near(double x, double y) const;
};

// Built once from the playfield table.
const FieldModel& fieldModel();

// Distance from a point to an obstacle's surface (negative inside).
double surfaceDistance(const Obstacle& o, double x, double y);

// True when a ball centre lies on the board: inside the outer rail, right
// of the inner rail's straight part and its arc, above the floors; or in the
// launch channel.
bool onBoard(double x, double y);
bool inLaunchChannel(double x, double y);
// True when the centre lies inside one of the solid polygons.
bool insideSolid(double x, double y);

}  // namespace courses
