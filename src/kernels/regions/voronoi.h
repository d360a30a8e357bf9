#pragma once
// Front ends of the Voronoi sweeps over flat float arrays of (x, y) pairs.
#include <deque>
#include <queue>
#include <vector>

// The Voronoi edges of count points clipped to the closed box 0..width x 0..height, as a new
// array of 4 floats an edge (x1, y1, x2, y2), newest edge first; the edge count goes to
// *edge_count. A zero-length array when there are no edges; null (no edges) when memory ran out.
// Free with delete[].
float* voronoi_process(const float* points, int count, int* edge_count, int width, int height);

// A simpler sweep along x in double precision, with unclipped segments that end far outside
// the points' box. Its segments belong to the instance.
class Voronoi {
  public:
    struct point {
        double x, y;
    };
    struct arc;
    struct seg {
        point start;
        point end;
        bool done;
        void finish(point p);
    };
    struct event {
        double x;
        point p;
        arc* a;
        bool valid;
    };
    struct arc {
        point p;
        arc* prev;
        arc* next;
        event* e;
        seg* s0;
        seg* s1;
    };
    // Orders the queues so that the smallest x comes out first.
    struct gt {
        bool operator()(const point& a, const point& b) const { return a.x == b.x ? a.y > b.y : a.x > b.x; }
        bool operator()(const event* a, const event* b) const { return a->x > b->x; }
    };

    void add_point(point p);
    void process();
    void print_output() const;
    const std::deque<seg>& segments() const { return output; }

  private:
    void process_point();
    void process_event();
    void front_insert(point p);
    bool circle(point a, point b, point c, double* x, point* o) const;
    void check_circle_event(arc* i, double x0);
    bool intersect(point p, arc* i, point* result) const;
    point intersection(point p0, point p1, double l) const;
    void finish_edges();
    arc* new_arc(point p, arc* prev, arc* next);
    seg* new_seg(point start);

    std::priority_queue<point, std::vector<point>, gt> points;
    std::priority_queue<event*, std::vector<event*>, gt> events;
    std::deque<arc> arcs;
    std::deque<event> event_store;
    std::deque<seg> output;
    arc* root = nullptr;
    double X0 = 0, X1 = 0, Y0 = 0, Y1 = 0;
};

// The segments of Voronoi over count points as a new array of 4 floats a segment (start x,
// start y, end x, end y); the count goes to *out_count. Free with delete[].
float* voronoi_process1(const float* points, int count, int* out_count);
