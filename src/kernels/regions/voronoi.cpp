#include "kernels/regions/voronoi.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "kernels/regions/VoronoiDiagramGenerator.h"

float* voronoi_process(const float* points, int count, int* edge_count, int width, int height) {
    *edge_count = 0;
    const size_t n = count > 0 ? size_t(count) : 0;
    std::vector<float> xs, ys;
    std::unique_ptr<VoronoiDiagramGenerator> generator;
    try {
        xs.resize(n);
        ys.resize(n);
        generator = std::make_unique<VoronoiDiagramGenerator>();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "voronoi: out of memory for %d points\n", count);
        return nullptr;
    }
    for (size_t i = 0; i < n; ++i) {
        xs[i] = points[2 * i];
        ys[i] = points[2 * i + 1];
    }
    if (!generator->generateVoronoi(xs.data(), ys.data(), int(n), 0.0f, float(width), 0.0f, float(height),
                                    0.0f, true))
        return nullptr;
    const auto& edges = generator->voronoiEdges();
    auto* result = new (std::nothrow) float[4 * edges.size()];
    if (!result) {
        std::fprintf(stderr, "voronoi: out of memory for %zu edges\n", edges.size());
        return nullptr;
    }
    float* out = result;
    for (auto it = edges.rbegin(); it != edges.rend(); ++it) {
        *out++ = it->x1;
        *out++ = it->y1;
        *out++ = it->x2;
        *out++ = it->y2;
    }
    *edge_count = int(edges.size());
    return result;
}

void Voronoi::seg::finish(point p) {
    if (done) return;
    end = p;
    done = true;
}

void Voronoi::add_point(point p) {
    // Unordered values would break the queue's ordering.
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    points.push(p);
    if (p.x < X0) X0 = p.x;
    if (p.y < Y0) Y0 = p.y;
    if (p.x > X1) X1 = p.x;
    if (p.y > Y1) Y1 = p.y;
}

Voronoi::arc* Voronoi::new_arc(point p, arc* prev, arc* next) {
    arcs.push_back(arc{p, prev, next, nullptr, nullptr, nullptr});
    return &arcs.back();
}

Voronoi::seg* Voronoi::new_seg(point start) {
    output.push_back(seg{start, {0, 0}, false});
    return &output.back();
}

void Voronoi::process() {
    const double dx = (X1 - X0 + 1) / 5.0;
    const double dy = (Y1 - Y0 + 1) / 5.0;
    X0 -= dx;
    X1 += dx;
    Y0 -= dy;
    Y1 += dy;
    while (!points.empty()) {
        if (!events.empty() && events.top()->x <= points.top().x)
            process_event();
        else
            process_point();
    }
    while (!events.empty())
        process_event();
    finish_edges();
}

void Voronoi::process_point() {
    const point p = points.top();
    points.pop();
    front_insert(p);
}

void Voronoi::process_event() {
    event* e = events.top();
    events.pop();
    if (!e->valid) return;
    seg* s = new_seg(e->p);
    arc* a = e->a;
    if (a->prev) {
        a->prev->next = a->next;
        a->prev->s1 = s;
    }
    if (a->next) {
        a->next->prev = a->prev;
        a->next->s0 = s;
    }
    if (a->s0) a->s0->finish(e->p);
    if (a->s1) a->s1->finish(e->p);
    if (a->prev) check_circle_event(a->prev, e->x);
    if (a->next) check_circle_event(a->next, e->x);
}

void Voronoi::front_insert(point p) {
    if (!root) {
        root = new_arc(p, nullptr, nullptr);
        return;
    }
    for (arc* i = root; i; i = i->next) {
        point z, zz;
        if (!intersect(p, i, &z)) continue;
        arc* next = i->next;
        if (next && intersect(p, next, &zz)) {
            // p falls on the break point of i and next: their border ends here, no arc is lost.
            if (i->s1) i->s1->finish(z);
        } else {
            // The new arc splits i: a copy of i goes on its right.
            arc* copy = new_arc(i->p, i, next);
            if (next) next->prev = copy;
            copy->s1 = i->s1;
            next = copy;
        }
        arc* a = new_arc(p, i, next);
        i->next = a;
        next->prev = a;
        i->s1 = a->s0 = new_seg(z);
        a->s1 = next->s0 = new_seg(z);
        check_circle_event(a, p.x);
        check_circle_event(i, p.x);
        check_circle_event(next, p.x);
        return;
    }
    // No arc lies over p (it shares the first x): append it at the end.
    arc* i = root;
    while (i->next)
        i = i->next;
    i->next = new_arc(p, i, nullptr);
    const point start{X0, (i->next->p.y + i->p.y) / 2};
    i->s1 = i->next->s0 = new_seg(start);
}

void Voronoi::check_circle_event(arc* i, double x0) {
    if (i->e && i->e->x != x0) i->e->valid = false;
    i->e = nullptr;
    if (!i->prev || !i->next) return;
    double x;
    point o;
    if (circle(i->prev->p, i->p, i->next->p, &x, &o) && x > x0) {
        event_store.push_back(event{x, o, i, true});
        i->e = &event_store.back();
        events.push(i->e);
    }
}

bool Voronoi::circle(point a, point b, point c, double* x, point* o) const {
    // Only a clockwise turn closes an arc.
    if ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y) > 0) return false;
    const double A = b.x - a.x, B = b.y - a.y;
    const double C = c.x - a.x, D = c.y - a.y;
    const double E = A * (a.x + b.x) + B * (a.y + b.y);
    const double F = C * (a.x + c.x) + D * (a.y + c.y);
    const double G = 2 * (A * (c.y - b.y) - B * (c.x - b.x));
    if (G == 0) return false; // collinear
    o->x = (D * E - B * F) / G;
    o->y = (A * F - C * E) / G;
    *x = o->x + std::sqrt((a.x - o->x) * (a.x - o->x) + (a.y - o->y) * (a.y - o->y));
    return true;
}

bool Voronoi::intersect(point p, arc* i, point* result) const {
    if (i->p.x == p.x) return false;
    double a = 0, b = 0;
    if (i->prev) a = intersection(i->prev->p, i->p, p.x).y;
    if (i->next) b = intersection(i->p, i->next->p, p.x).y;
    if ((!i->prev || a <= p.y) && (!i->next || p.y <= b)) {
        result->y = p.y;
        result->x = (i->p.x * i->p.x + (i->p.y - result->y) * (i->p.y - result->y) - p.x * p.x) /
                    (2 * i->p.x - 2 * p.x);
        return true;
    }
    return false;
}

// Where the parabolas of p0 and p1 meet with the sweep line at l.
Voronoi::point Voronoi::intersection(point p0, point p1, double l) const {
    point res{0, 0};
    point p = p0;
    if (p0.x == p1.x) {
        res.y = (p0.y + p1.y) / 2;
    } else if (p1.x == l) {
        res.y = p1.y;
    } else if (p0.x == l) {
        res.y = p0.y;
        p = p1;
    } else {
        const double z0 = 2 * (p0.x - l);
        const double z1 = 2 * (p1.x - l);
        const double a = 1 / z0 - 1 / z1;
        const double b = -2 * (p0.y / z0 - p1.y / z1);
        const double c = (p0.y * p0.y + p0.x * p0.x - l * l) / z0 - (p1.y * p1.y + p1.x * p1.x - l * l) / z1;
        res.y = (-b - std::sqrt(b * b - 4 * a * c)) / (2 * a);
    }
    res.x = (p.x * p.x + (p.y - res.y) * (p.y - res.y) - l * l) / (2 * p.x - 2 * l);
    return res;
}

void Voronoi::finish_edges() {
    const double l = X1 + (X1 - X0) + (Y1 - Y0);
    for (arc* i = root; i && i->next; i = i->next)
        if (i->s1) i->s1->finish(intersection(i->p, i->next->p, l * 2));
}

void Voronoi::print_output() const {
    std::printf("%f %f %f %f\n", X0, X1, Y0, Y1);
    for (const seg& s : output)
        std::printf("%f %f %f %f\n", s.start.x, s.start.y, s.end.x, s.end.y);
}

float* voronoi_process1(const float* points, int count, int* out_count) {
    Voronoi v;
    for (int i = 0; i < count; ++i)
        v.add_point({points[2 * i], points[2 * i + 1]});
    v.process();
    const auto& segs = v.segments();
    auto* result = new float[4 * segs.size()];
    float* out = result;
    for (const auto& s : segs) {
        *out++ = float(s.start.x);
        *out++ = float(s.start.y);
        *out++ = float(s.end.x);
        *out++ = float(s.end.y);
    }
    *out_count = int(segs.size());
    return result;
}
