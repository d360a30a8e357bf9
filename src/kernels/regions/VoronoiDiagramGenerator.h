#pragma once
// Fortune's sweep over single-precision sites: the Voronoi edges clipped to a closed box,
// optionally the Delaunay edges and a table of vertex chains. Coincident sites count once;
// fewer than two distinct sites give no edges. State is per instance.
#include <cstdint>
#include <memory>
#include <vector>

struct PointVDG {
    float x;
    float y;
};

class VoronoiDiagramGenerator {
  public:
    // One clipped Voronoi edge or one Delaunay edge.
    struct OutputEdge {
        float x1, y1, x2, y2;
    };

    VoronoiDiagramGenerator();
    ~VoronoiDiagramGenerator();
    VoronoiDiagramGenerator(const VoronoiDiagramGenerator&) = delete;
    VoronoiDiagramGenerator& operator=(const VoronoiDiagramGenerator&) = delete;

    void setGenerateVoronoi(bool generate) { m_generateVoronoi = generate; }
    void setGenerateDelaunay(bool generate) { m_generateDelaunay = generate; }

    // Clip box limits may come in either order. Edges between sites closer than minDist are
    // left out. Answers false (nothing computed) only when memory runs out.
    bool generateVoronoi(const float* xValues, const float* yValues, int numPoints, float minX, float maxX,
                         float minY, float maxY, float minDist, bool vectorInfo);

    // Outputs in the order they were made (the front end hands them out newest first).
    const std::vector<OutputEdge>& voronoiEdges() const { return m_voronoiEdges; }
    const std::vector<OutputEdge>& delaunayEdges() const { return m_delaunayEdges; }

    // Hands out the vertex chains found with vectorInfo, one pair per call; the walk uses
    // them up. False when none is left.
    bool getNextVertexPair(float& x1, float& y1, float& x2, float& y2);

    void reset();
    void cleanup();
    void cleanupEdges();

  private:
    struct Site {
        PointVDG coord;
        int32_t sitenbr;
        int32_t refcnt;
        int32_t totalRefs;
    };
    struct Edge {
        float a, b, c;
        Site* ep[2];
        Site* reg[2];
        int32_t edgenbr;
        bool clipped; // both half-edges can still be on the beach line at the end
    };
    struct Halfedge {
        Halfedge* ELleft;
        Halfedge* ELright;
        Edge* ELedge;
        int32_t ELrefcnt;
        int8_t ELpm;
        Site* vertex;
        float ystar;
        Halfedge* PQnext;
    };
    // Marks a half-edge that has left the beach line but may still sit in a hash slot.
    static inline Edge s_deleted{};

    struct Freenode {
        Freenode* nextfree;
    };
    // Fixed-size nodes handed out from blocks; freed nodes go back to the head of the list.
    template <class T> class Freelist {
      public:
        T* get(int blockSize);
        void free(T* node);
        void clear();

      private:
        union Node {
            Freenode free;
            T item;
        };
        Freenode* m_head = nullptr;
        std::vector<std::unique_ptr<Node[]>> m_blocks;
    };
    // Per vertex number: up to three linked vertex numbers (-1 none) and how many.
    struct VertexLink {
        int32_t links[3];
        int32_t count;
    };
    // A chain end with the far ends of the chains that start there.
    struct VertexPair {
        PointVDG own;
        PointVDG partners[3];
        int32_t count;
    };

    bool voronoi();
    Site* nextone();
    Edge* bisect(Site* s1, Site* s2);
    Site* intersect(Halfedge* el1, Halfedge* el2);
    bool right_of(Halfedge* el, const PointVDG& p) const;
    void endpoint(Edge* e, int lr, Site* s);
    void makevertex(Site* v);
    void ref(Site* v);
    void deref(Site* v);
    float dist(const Site* s, const Site* t) const;
    Site* leftreg(Halfedge* he) const;
    Site* rightreg(Halfedge* he) const;

    Halfedge* HEcreate(Edge* e, int pm);
    void ELinsert(Halfedge* lb, Halfedge* newHe);
    Halfedge* ELgethash(int b);
    Halfedge* ELleftbnd(const PointVDG& p);
    void ELdelete(Halfedge* he);

    void PQinsert(Halfedge* he, Site* v, float offset);
    void PQdelete(Halfedge* he);
    int PQbucket(const Halfedge* he);
    PointVDG PQ_min();
    Halfedge* PQextractmin();

    void clip_line(Edge* e);
    void line(float x1, float y1, float x2, float y2);
    void out_bisector(Edge* e);
    int newVertexNumber(float x, float y);
    void linkVertices(int v1, int v2);
    void buildVertexPairs();

    // Drawing hooks of the sweep; nothing here draws.
    void openpl() {}
    void circle(float, float, float) {}
    void range(float, float, float, float) {}
    void out_ep(Edge*) {}
    void out_site(Site*) {}
    void out_triple(Site*, Site*, Site*) {}
    void out_vertex(Site*) {}
    void plotinit();

    bool m_generateVoronoi = true;
    bool m_generateDelaunay = false;
    bool m_vectorInfo = false;
    float m_minDistanceBetweenSites = 0;

    std::vector<Site> m_sites;
    int m_nsites = 0;
    int m_siteidx = 0;
    int m_sqrtNsites = 0;
    int m_nvertices = 0;
    int m_nedges = 0;
    float m_xmin = 0, m_xmax = 0, m_ymin = 0, m_ymax = 0, m_deltax = 0, m_deltay = 0;
    float m_borderMinX = 0, m_borderMaxX = 0, m_borderMinY = 0, m_borderMaxY = 0;
    Site* m_bottomsite = nullptr;

    Freelist<Halfedge> m_hfl;
    Freelist<Edge> m_efl;
    Freelist<Site> m_sfl;

    std::vector<Halfedge*> m_ELhash;
    Halfedge* m_ELleftend = nullptr;
    Halfedge* m_ELrightend = nullptr;

    std::vector<Halfedge> m_PQhash; // bucket heads
    int m_PQcount = 0;
    int m_PQmin = 0;

    std::vector<OutputEdge> m_voronoiEdges;
    std::vector<OutputEdge> m_delaunayEdges;

    // Vertex coordinates are kept by value: sweep vertices are recycled once their edges end.
    std::vector<PointVDG> m_vertexCoords;
    std::vector<VertexLink> m_vertexLinks;
    std::vector<VertexPair> m_vertexPairs;
    size_t m_pairCursor = 0;

    float m_plotMinX = 0, m_plotMinY = 0, m_plotMaxX = 0, m_plotMaxY = 0, m_plotRadius = 0;
};
