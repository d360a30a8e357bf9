#include "kernels/regions/VoronoiDiagramGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace {

constexpr int le = 0;
constexpr int re = 1;

// Hash slot or bucket of a position scaled to n slots. Clamping happens in float so that
// far-away circle events never convert an out-of-range value to int.
int slot(float scaled, int n) {
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= float(n)) return n - 1;
    return int(scaled);
}

} // namespace

template <class T> T* VoronoiDiagramGenerator::Freelist<T>::get(int blockSize) {
    if (!m_head) {
        auto block = std::make_unique<Node[]>(size_t(blockSize));
        for (int i = 0; i < blockSize; ++i) {
            block[i].free.nextfree = m_head;
            m_head = &block[i].free;
        }
        m_blocks.push_back(std::move(block));
    }
    Freenode* node = m_head;
    m_head = node->nextfree;
    return &reinterpret_cast<Node*>(node)->item;
}

template <class T> void VoronoiDiagramGenerator::Freelist<T>::free(T* item) {
    auto* node = reinterpret_cast<Node*>(item);
    node->free.nextfree = m_head;
    m_head = &node->free;
}

template <class T> void VoronoiDiagramGenerator::Freelist<T>::clear() {
    m_head = nullptr;
    m_blocks.clear();
    m_blocks.shrink_to_fit();
}

VoronoiDiagramGenerator::VoronoiDiagramGenerator() = default;

VoronoiDiagramGenerator::~VoronoiDiagramGenerator() {
    reset();
}

void VoronoiDiagramGenerator::reset() {
    cleanup();
    cleanupEdges();
    std::vector<PointVDG>().swap(m_vertexCoords);
    std::vector<VertexLink>().swap(m_vertexLinks);
    std::vector<VertexPair>().swap(m_vertexPairs);
    m_pairCursor = 0;
}

void VoronoiDiagramGenerator::cleanup() {
    std::vector<Site>().swap(m_sites);
    m_hfl.clear();
    m_efl.clear();
    m_sfl.clear();
    std::vector<Halfedge*>().swap(m_ELhash);
    std::vector<Halfedge>().swap(m_PQhash);
    m_ELleftend = m_ELrightend = nullptr;
    m_bottomsite = nullptr;
    m_PQcount = m_PQmin = 0;
}

void VoronoiDiagramGenerator::cleanupEdges() {
    std::vector<OutputEdge>().swap(m_voronoiEdges);
    std::vector<OutputEdge>().swap(m_delaunayEdges);
}

bool VoronoiDiagramGenerator::generateVoronoi(const float* xValues, const float* yValues, int numPoints,
                                              float minX, float maxX, float minY, float maxY, float minDist,
                                              bool vectorInfo) {
    reset();
    m_minDistanceBetweenSites = minDist;
    m_vectorInfo = vectorInfo;
    m_nvertices = 0;
    m_nedges = 0;
    m_siteidx = 0;
    try {
        m_sites.reserve(size_t(std::max(numPoints, 0)));
        for (int i = 0; i < numPoints; ++i) {
            const float x = xValues[i];
            const float y = yValues[i];
            // A non-finite site has no place in the sweep and would break the sort.
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            if (m_sites.empty()) {
                m_xmin = m_xmax = x;
                m_ymin = m_ymax = y;
            } else {
                if (x < m_xmin)
                    m_xmin = x;
                else if (x > m_xmax)
                    m_xmax = x;
                if (y < m_ymin)
                    m_ymin = y;
                else if (y > m_ymax)
                    m_ymax = y;
            }
            m_sites.push_back(Site{{x, y}, i, 0, 0});
        }
        std::sort(m_sites.begin(), m_sites.end(), [](const Site& a, const Site& b) {
            return a.coord.y < b.coord.y || (a.coord.y == b.coord.y && a.coord.x < b.coord.x);
        });
        // Coincident sites have no bisector; keep the first of each.
        m_sites.erase(std::unique(m_sites.begin(), m_sites.end(),
                                  [](const Site& a, const Site& b) {
                                      return a.coord.x == b.coord.x && a.coord.y == b.coord.y;
                                  }),
                      m_sites.end());
        m_nsites = int(m_sites.size());
        m_sqrtNsites = int(std::sqrt(double(float(m_nsites + 4))));
        m_deltax = m_xmax - m_xmin;
        m_deltay = m_ymax - m_ymin;
        // Sites on one vertical or horizontal line leave a zero extent to divide by.
        if (m_deltax == 0.0f) m_deltax = 1.0f;
        if (m_deltay == 0.0f) m_deltay = 1.0f;
        m_borderMinX = std::min(minX, maxX);
        m_borderMaxX = std::max(minX, maxX);
        m_borderMinY = std::min(minY, maxY);
        m_borderMaxY = std::max(minY, maxY);
        plotinit();

        if (m_nsites > 0) voronoi();
        if (m_vectorInfo) buildVertexPairs();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "Voronoi diagram: out of memory for %d sites\n", numPoints);
        reset();
        return false;
    }
    cleanup();
    return true;
}

void VoronoiDiagramGenerator::plotinit() {
    const float dy = m_ymax - m_ymin;
    const float dx = m_xmax - m_xmin;
    const float d = float((dx > dy ? dx : dy) * 1.1);
    m_plotMinX = m_xmin - (d - dx) / 2;
    m_plotMaxX = m_xmax + (d - dx) / 2;
    m_plotMinY = m_ymin - (d - dy) / 2;
    m_plotMaxY = m_ymax + (d - dy) / 2;
    m_plotRadius = (m_plotMaxX - m_plotMinX) / 350;
    openpl();
    range(m_plotMinX, m_plotMinY, m_plotMaxX, m_plotMaxY);
}

VoronoiDiagramGenerator::Site* VoronoiDiagramGenerator::nextone() {
    return m_siteidx < m_nsites ? &m_sites[size_t(m_siteidx++)] : nullptr;
}

void VoronoiDiagramGenerator::ref(Site* v) {
    ++v->refcnt;
    ++v->totalRefs;
}

void VoronoiDiagramGenerator::deref(Site* v) {
    if (--v->refcnt == 0) m_sfl.free(v);
}

float VoronoiDiagramGenerator::dist(const Site* s, const Site* t) const {
    const float dx = s->coord.x - t->coord.x;
    const float dy = s->coord.y - t->coord.y;
    return std::sqrt(dx * dx + dy * dy);
}

VoronoiDiagramGenerator::Site* VoronoiDiagramGenerator::leftreg(Halfedge* he) const {
    if (!he->ELedge) return m_bottomsite;
    return he->ELpm == le ? he->ELedge->reg[le] : he->ELedge->reg[re];
}

VoronoiDiagramGenerator::Site* VoronoiDiagramGenerator::rightreg(Halfedge* he) const {
    if (!he->ELedge) return m_bottomsite;
    return he->ELpm == le ? he->ELedge->reg[re] : he->ELedge->reg[le];
}

void VoronoiDiagramGenerator::makevertex(Site* v) {
    v->sitenbr = m_nvertices++;
    if (m_vectorInfo) m_vertexCoords.push_back(v->coord);
    out_vertex(v);
}

VoronoiDiagramGenerator::Edge* VoronoiDiagramGenerator::bisect(Site* s1, Site* s2) {
    Edge* e = m_efl.get(m_sqrtNsites);
    e->reg[0] = s1;
    e->reg[1] = s2;
    ref(s1);
    ref(s2);
    e->ep[0] = e->ep[1] = nullptr;
    e->clipped = false;

    const float dx = s2->coord.x - s1->coord.x;
    const float dy = s2->coord.y - s1->coord.y;
    const float adx = dx > 0 ? dx : -dx;
    const float ady = dy > 0 ? dy : -dy;
    e->c = s1->coord.x * dx + s1->coord.y * dy + (dx * dx + dy * dy) * 0.5f;
    if (adx > ady) {
        e->a = 1.0f;
        e->b = dy / dx;
        e->c /= dx;
    } else {
        e->b = 1.0f;
        e->a = dx / dy;
        e->c /= dy;
    }
    e->edgenbr = m_nedges;
    out_bisector(e);
    ++m_nedges;
    return e;
}

void VoronoiDiagramGenerator::out_bisector(Edge* e) {
    if (!m_generateDelaunay) return;
    if (m_minDistanceBetweenSites > dist(e->reg[0], e->reg[1])) return;
    m_delaunayEdges.push_back(
        {e->reg[0]->coord.x, e->reg[0]->coord.y, e->reg[1]->coord.x, e->reg[1]->coord.y});
}

VoronoiDiagramGenerator::Site* VoronoiDiagramGenerator::intersect(Halfedge* el1, Halfedge* el2) {
    Edge* e1 = el1->ELedge;
    Edge* e2 = el2->ELedge;
    if (!e1 || !e2) return nullptr;
    if (e1->reg[1] == e2->reg[1]) return nullptr;

    const float d = e1->a * e2->b - e1->b * e2->a;
    if (-1.0e-10 < double(d) && double(d) < 1.0e-10) return nullptr;
    const float xint = (e1->c * e2->b - e2->c * e1->b) / d;
    const float yint = (e1->a * e2->c - e2->a * e1->c) / d;

    Halfedge* el;
    Edge* e;
    const PointVDG& r1 = e1->reg[1]->coord;
    const PointVDG& r2 = e2->reg[1]->coord;
    if (r1.y < r2.y || (r1.y == r2.y && r1.x < r2.x)) {
        el = el1;
        e = e1;
    } else {
        el = el2;
        e = e2;
    }
    const bool rightOfSite = xint >= e->reg[1]->coord.x;
    if ((rightOfSite && el->ELpm == le) || (!rightOfSite && el->ELpm == re)) return nullptr;

    Site* v = m_sfl.get(m_sqrtNsites);
    v->refcnt = 0;
    v->totalRefs = 0;
    v->sitenbr = -1;
    v->coord = {xint, yint};
    return v;
}

// Whether p lies right of the half-edge's transformed bisector at p's height.
bool VoronoiDiagramGenerator::right_of(Halfedge* el, const PointVDG& p) const {
    const Edge* e = el->ELedge;
    const Site* topsite = e->reg[1];
    const bool rightOfSite = p.x > topsite->coord.x;
    if (rightOfSite && el->ELpm == le) return true;
    if (!rightOfSite && el->ELpm == re) return false;

    bool above;
    if (e->a == 1.0f) {
        const float dyp = p.y - topsite->coord.y;
        const float dxp = p.x - topsite->coord.x;
        bool fast = false;
        if ((!rightOfSite && e->b < 0.0f) || (rightOfSite && e->b >= 0.0f)) {
            above = dyp >= e->b * dxp;
            fast = above;
        } else {
            above = p.x + p.y * e->b > e->c;
            if (e->b < 0.0f) above = !above;
            if (!above) fast = true;
        }
        if (!fast) {
            const float dxs = topsite->coord.x - e->reg[0]->coord.x;
            above = e->b * (dxp * dxp - dyp * dyp) <
                    double(dxs * dyp) * (1.0 + 2.0 * double(dxp) / double(dxs) + double(e->b * e->b));
            if (e->b < 0.0f) above = !above;
        }
    } else {
        const float yl = e->c - e->a * p.x;
        const float t1 = p.y - yl;
        const float t2 = p.x - topsite->coord.x;
        const float t3 = yl - topsite->coord.y;
        above = t1 * t1 > t2 * t2 + t3 * t3;
    }
    return el->ELpm == le ? above : !above;
}

void VoronoiDiagramGenerator::endpoint(Edge* e, int lr, Site* s) {
    e->ep[lr] = s;
    ref(s);
    if (!e->ep[re - lr]) return;
    out_ep(e);
    clip_line(e);
    deref(e->ep[le]);
    deref(e->ep[re]);
    m_efl.free(e);
}

VoronoiDiagramGenerator::Halfedge* VoronoiDiagramGenerator::HEcreate(Edge* e, int pm) {
    Halfedge* he = m_hfl.get(m_sqrtNsites);
    he->ELleft = he->ELright = nullptr;
    he->ELedge = e;
    he->ELpm = int8_t(pm);
    he->PQnext = nullptr;
    he->vertex = nullptr;
    he->ystar = 0;
    he->ELrefcnt = 0;
    return he;
}

void VoronoiDiagramGenerator::ELinsert(Halfedge* lb, Halfedge* newHe) {
    newHe->ELleft = lb;
    newHe->ELright = lb->ELright;
    lb->ELright->ELleft = newHe;
    lb->ELright = newHe;
}

void VoronoiDiagramGenerator::ELdelete(Halfedge* he) {
    he->ELleft->ELright = he->ELright;
    he->ELright->ELleft = he->ELleft;
    he->ELedge = &s_deleted;
}

VoronoiDiagramGenerator::Halfedge* VoronoiDiagramGenerator::ELgethash(int b) {
    if (b < 0 || b >= int(m_ELhash.size())) return nullptr;
    Halfedge* he = m_ELhash[size_t(b)];
    if (!he || he->ELedge != &s_deleted) return he;
    // The slot still points at a deleted half-edge: clear it, release it once nothing holds it.
    m_ELhash[size_t(b)] = nullptr;
    if (--he->ELrefcnt == 0) m_hfl.free(he);
    return nullptr;
}

VoronoiDiagramGenerator::Halfedge* VoronoiDiagramGenerator::ELleftbnd(const PointVDG& p) {
    const int hashsize = int(m_ELhash.size());
    const int bucket = slot((p.x - m_xmin) / m_deltax * float(hashsize), hashsize);
    Halfedge* he = ELgethash(bucket);
    // The sentinels in the first and last slot end this search.
    for (int i = 1; !he; ++i) {
        if ((he = ELgethash(bucket - i))) break;
        he = ELgethash(bucket + i);
    }
    if (he == m_ELleftend || (he != m_ELrightend && right_of(he, p))) {
        do {
            he = he->ELright;
        } while (he != m_ELrightend && right_of(he, p));
        he = he->ELleft;
    } else {
        do {
            he = he->ELleft;
        } while (he != m_ELleftend && !right_of(he, p));
    }
    if (bucket > 0 && bucket < hashsize - 1) {
        if (m_ELhash[size_t(bucket)]) --m_ELhash[size_t(bucket)]->ELrefcnt;
        m_ELhash[size_t(bucket)] = he;
        ++he->ELrefcnt;
    }
    return he;
}

int VoronoiDiagramGenerator::PQbucket(const Halfedge* he) {
    const int size = int(m_PQhash.size());
    const int bucket = slot((he->ystar - m_ymin) / m_deltay * float(size), size);
    if (bucket < m_PQmin) m_PQmin = bucket;
    return bucket;
}

void VoronoiDiagramGenerator::PQinsert(Halfedge* he, Site* v, float offset) {
    he->vertex = v;
    ref(v);
    he->ystar = v->coord.y + offset;
    Halfedge* last = &m_PQhash[size_t(PQbucket(he))];
    Halfedge* next;
    while ((next = last->PQnext) &&
           (he->ystar > next->ystar || (he->ystar == next->ystar && v->coord.x > next->vertex->coord.x)))
        last = next;
    he->PQnext = last->PQnext;
    last->PQnext = he;
    ++m_PQcount;
}

void VoronoiDiagramGenerator::PQdelete(Halfedge* he) {
    if (!he->vertex) return;
    Halfedge* last = &m_PQhash[size_t(PQbucket(he))];
    while (last->PQnext != he)
        last = last->PQnext;
    last->PQnext = he->PQnext;
    --m_PQcount;
    deref(he->vertex);
    he->vertex = nullptr;
}

PointVDG VoronoiDiagramGenerator::PQ_min() {
    while (!m_PQhash[size_t(m_PQmin)].PQnext)
        ++m_PQmin;
    const Halfedge* first = m_PQhash[size_t(m_PQmin)].PQnext;
    return {first->vertex->coord.x, first->ystar};
}

VoronoiDiagramGenerator::Halfedge* VoronoiDiagramGenerator::PQextractmin() {
    Halfedge* curr = m_PQhash[size_t(m_PQmin)].PQnext;
    m_PQhash[size_t(m_PQmin)].PQnext = curr->PQnext;
    --m_PQcount;
    return curr;
}

bool VoronoiDiagramGenerator::voronoi() {
    m_PQcount = 0;
    m_PQmin = 0;
    m_PQhash.assign(size_t(4 * m_sqrtNsites), Halfedge{});

    m_bottomsite = nextone();
    out_site(m_bottomsite);

    m_ELhash.assign(size_t(2 * m_sqrtNsites), nullptr);
    m_ELleftend = HEcreate(nullptr, 0);
    m_ELrightend = HEcreate(nullptr, 0);
    m_ELleftend->ELright = m_ELrightend;
    m_ELrightend->ELleft = m_ELleftend;
    m_ELhash.front() = m_ELleftend;
    m_ELhash.back() = m_ELrightend;

    Site* newsite = nextone();
    PointVDG newintstar{0, 0};
    for (;;) {
        if (m_PQcount > 0) newintstar = PQ_min();

        if (newsite && (m_PQcount == 0 || newsite->coord.y < newintstar.y ||
                        (newsite->coord.y == newintstar.y && newsite->coord.x < newintstar.x))) {
            out_site(newsite);
            Halfedge* lbnd = ELleftbnd(newsite->coord);
            Halfedge* rbnd = lbnd->ELright;
            Site* bot = rightreg(lbnd);
            Edge* e = bisect(bot, newsite);
            Halfedge* bisector = HEcreate(e, le);
            ELinsert(lbnd, bisector);
            if (Site* p = intersect(lbnd, bisector)) {
                PQdelete(lbnd);
                PQinsert(lbnd, p, dist(p, newsite));
            }
            lbnd = bisector;
            bisector = HEcreate(e, re);
            ELinsert(lbnd, bisector);
            if (Site* p = intersect(bisector, rbnd)) PQinsert(bisector, p, dist(p, newsite));
            newsite = nextone();
        } else if (m_PQcount > 0) {
            Halfedge* lbnd = PQextractmin();
            Halfedge* llbnd = lbnd->ELleft;
            Halfedge* rbnd = lbnd->ELright;
            Halfedge* rrbnd = rbnd->ELright;
            Site* bot = leftreg(lbnd);
            Site* top = rightreg(rbnd);
            out_triple(bot, top, rightreg(lbnd));
            Site* v = lbnd->vertex;
            makevertex(v);
            endpoint(lbnd->ELedge, lbnd->ELpm, v);
            endpoint(rbnd->ELedge, rbnd->ELpm, v);
            ELdelete(lbnd);
            PQdelete(rbnd);
            ELdelete(rbnd);
            int pm = le;
            if (bot->coord.y > top->coord.y) {
                std::swap(bot, top);
                pm = re;
            }
            Edge* e = bisect(bot, top);
            Halfedge* bisector = HEcreate(e, pm);
            ELinsert(llbnd, bisector);
            endpoint(e, re - pm, v);
            deref(v);
            if (Site* p = intersect(llbnd, bisector)) {
                PQdelete(llbnd);
                PQinsert(llbnd, p, dist(p, bot));
            }
            if (Site* p = intersect(bisector, rrbnd)) PQinsert(bisector, p, dist(p, bot));
        } else {
            break;
        }
    }

    // An edge with no end yet has both its half-edges here: clip it once.
    for (Halfedge* lbnd = m_ELleftend->ELright; lbnd != m_ELrightend; lbnd = lbnd->ELright) {
        Edge* e = lbnd->ELedge;
        if (e->clipped) continue;
        e->clipped = true;
        clip_line(e);
    }
    return true;
}

void VoronoiDiagramGenerator::clip_line(Edge* e) {
    const Site* r0 = e->reg[0];
    const Site* r1 = e->reg[1];
    if (m_minDistanceBetweenSites > dist(r0, r1)) return;

    const float pxmin = m_borderMinX, pxmax = m_borderMaxX;
    const float pymin = m_borderMinY, pymax = m_borderMaxY;
    const Site* s1;
    const Site* s2;
    if (e->a == 1.0f && e->b >= 0.0f) {
        s1 = e->ep[1];
        s2 = e->ep[0];
    } else {
        s1 = e->ep[0];
        s2 = e->ep[1];
    }

    // An end stays on its sweep vertex unless it is moved to the border.
    bool moved1 = false, moved2 = false;
    float x1, y1, x2, y2;
    if (e->a == 1.0f) {
        y1 = pymin;
        if (s1 && s1->coord.y > pymin)
            y1 = s1->coord.y;
        else
            moved1 = true;
        if (y1 > pymax) {
            y1 = pymax;
            moved1 = true;
        }
        x1 = e->c - e->b * y1;
        y2 = pymax;
        if (s2 && s2->coord.y < pymax)
            y2 = s2->coord.y;
        else
            moved2 = true;
        if (y2 < pymin) {
            y2 = pymin;
            moved2 = true;
        }
        x2 = e->c - e->b * y2;
        if ((x1 > pxmax && x2 > pxmax) || (x1 < pxmin && x2 < pxmin)) return;
        if (x1 > pxmax) {
            x1 = pxmax;
            y1 = (e->c - x1) / e->b;
            moved1 = true;
        }
        if (x1 < pxmin) {
            x1 = pxmin;
            y1 = (e->c - x1) / e->b;
            moved1 = true;
        }
        if (x2 > pxmax) {
            x2 = pxmax;
            y2 = (e->c - x2) / e->b;
            moved2 = true;
        }
        if (x2 < pxmin) {
            x2 = pxmin;
            y2 = (e->c - x2) / e->b;
            moved2 = true;
        }
    } else {
        x1 = pxmin;
        if (s1 && s1->coord.x > pxmin)
            x1 = s1->coord.x;
        else
            moved1 = true;
        if (x1 > pxmax) {
            x1 = pxmax;
            moved1 = true;
        }
        y1 = e->c - e->a * x1;
        x2 = pxmax;
        if (s2 && s2->coord.x < pxmax)
            x2 = s2->coord.x;
        else
            moved2 = true;
        if (x2 < pxmin) {
            x2 = pxmin;
            moved2 = true;
        }
        y2 = e->c - e->a * x2;
        if ((y1 > pymax && y2 > pymax) || (y1 < pymin && y2 < pymin)) return;
        if (y1 > pymax) {
            y1 = pymax;
            x1 = (e->c - y1) / e->a;
            moved1 = true;
        }
        if (y1 < pymin) {
            y1 = pymin;
            x1 = (e->c - y1) / e->a;
            moved1 = true;
        }
        if (y2 > pymax) {
            y2 = pymax;
            x2 = (e->c - y2) / e->a;
            moved2 = true;
        }
        if (y2 < pymin) {
            y2 = pymin;
            x2 = (e->c - y2) / e->a;
            moved2 = true;
        }
    }

    // An edge lying on the border of the box separates nothing inside it.
    if (x1 == x2 && (x1 == pxmin || x1 == pxmax)) return;
    if (y1 == y2 && (y1 == pymin || y1 == pymax)) return;

    if (m_generateVoronoi) line(x1, y1, x2, y2);

    if (m_vectorInfo) {
        const int v1 = moved1 ? newVertexNumber(x1, y1) : s1->sitenbr;
        const int v2 = moved2 ? newVertexNumber(x2, y2) : s2->sitenbr;
        linkVertices(v1, v2);
    }
}

void VoronoiDiagramGenerator::line(float x1, float y1, float x2, float y2) {
    m_voronoiEdges.push_back({x1, y1, x2, y2});
}

int VoronoiDiagramGenerator::newVertexNumber(float x, float y) {
    m_vertexCoords.push_back({x, y});
    return m_nvertices++;
}

void VoronoiDiagramGenerator::linkVertices(int v1, int v2) {
    const size_t needed = size_t(std::max(v1, v2)) + 1;
    if (m_vertexLinks.size() < needed) m_vertexLinks.resize(needed, VertexLink{{-1, -1, -1}, 0});
    auto link = [](VertexLink& from, int to) {
        if (from.count < 3) from.links[from.count++] = to;
    };
    link(m_vertexLinks[size_t(v1)], v2);
    link(m_vertexLinks[size_t(v2)], v1);
}

// Chains of two-way vertices between ends and branch points become single pairs.
void VoronoiDiagramGenerator::buildVertexPairs() {
    m_vertexLinks.resize(m_vertexCoords.size(), VertexLink{{-1, -1, -1}, 0});
    auto cut = [this](int a, int b) {
        for (int& l : m_vertexLinks[size_t(a)].links)
            if (l == b) {
                l = -1;
                break;
            }
        for (int& l : m_vertexLinks[size_t(b)].links)
            if (l == a) {
                l = -1;
                break;
            }
    };
    for (size_t v = 0; v < m_vertexLinks.size(); ++v) {
        const int count = m_vertexLinks[v].count;
        if (count != 1 && count != 3) continue;
        VertexPair pair{m_vertexCoords[v], {}, 0};
        for (int k = 0; k < 3; ++k) {
            const int first = m_vertexLinks[v].links[k];
            if (first < 0) continue;
            cut(int(v), first);
            int cur = first;
            while (m_vertexLinks[size_t(cur)].count == 2) {
                int next = -1;
                for (int l : m_vertexLinks[size_t(cur)].links)
                    if (l >= 0) {
                        next = l;
                        break;
                    }
                if (next < 0) break;
                cut(cur, next);
                cur = next;
            }
            pair.partners[pair.count++] = m_vertexCoords[size_t(cur)];
        }
        if (pair.count > 0) m_vertexPairs.push_back(pair);
    }
    m_pairCursor = 0;
}

bool VoronoiDiagramGenerator::getNextVertexPair(float& x1, float& y1, float& x2, float& y2) {
    while (m_pairCursor < m_vertexPairs.size()) {
        VertexPair& pair = m_vertexPairs[m_pairCursor];
        if (pair.count > 0) {
            --pair.count;
            x1 = pair.partners[pair.count].x;
            y1 = pair.partners[pair.count].y;
            x2 = pair.own.x;
            y2 = pair.own.y;
            return true;
        }
        ++m_pairCursor;
    }
    return false;
}
