// The software 3D renderer: integer fixed point, a scan-line polygon filler
// and the two built-in models. It draws only into a Surface and knows nothing
// of the display that shows it.
//
// Number formats: 8.8 for matrix entries, normals, edge x while stepping,
// shades and texture coordinates; 16.16 for reciprocals; 256 angle steps per
// turn (only the low 8 bits of an angle are used).
#pragma once

#include <cstdint>

#include "render3d/surface.h"

constexpr int32_t FILL_FLAT = 0;
constexpr int32_t FILL_GOURAUD = 1;
constexpr int32_t FILL_TEXTURED = 2;

constexpr int R3D_ANGLE_STEPS = 256;
constexpr int R3D_RECIP_ENTRIES = 2048;  // 65536 / d for d = -1024 .. 1023
constexpr int R3D_RECIP_ZERO = 1024;     // index of d = 0
constexpr int R3D_MIN_EDGE_ROWS = 240;   // r3d_clear_edges always clears this many rows
constexpr int R3D_MAX_SPAN = 1024;       // rows with xe - xs >= this are skipped

struct Vertex {
    int32_t x, y, z;  // model units; after the transform x, y are pixels, z the depth
    int32_t shade;    // light value 0..255, the gouraud palette index
    int32_t u, v;     // texture coordinates, 0..255 spans a 16 x 16 texture
};

struct Face {
    int32_t vertex_count;  // corners, 3 or more, convex
    int32_t first_vertex;  // vertex count when the face was added; not used by drawing
    int32_t first_index;   // position of the first corner in the index array
    int32_t fill_mode;
    int32_t colour;  // palette index for flat filling
};

struct Mesh {
    Vertex* vertices;
    int32_t vertex_capacity;
    int32_t vertex_count;
    int32_t* indices;
    int32_t index_capacity;
    int32_t index_count;
    Face* faces;
    int32_t face_capacity;
    int32_t face_count;
};

struct Vec3i {
    int32_t x, y, z;
};

struct SceneObject {
    int32_t x, y, z;  // camera space: eye at the origin looking along +z, y down
    int32_t angle_x, angle_y, angle_z;
    Mesh mesh;
    Vec3i* vertex_normals;  // unit length 256, one per vertex of the capacity
    int32_t vertex_normal_count;
    Vec3i* face_normals;  // unit length 256, one per face of the capacity
    int32_t face_normal_count;
};

struct Texture {
    const uint16_t* pixels;  // RGB565 rows; 0 is transparent; not owned
    int32_t width;           // powers of two
    int32_t height;
};

struct Palette {
    uint16_t* colours;  // RGB565
    int32_t count;
};

struct EdgeEntry {
    int32_t x;      // integer pixel column
    int32_t shade;  // 8.8
    int32_t u;      // 8.8
    int32_t v;      // 8.8
};

// Tables (r3d_tables.cpp).
extern float r3d_cos_table[R3D_ANGLE_STEPS];
extern float r3d_sin_table[R3D_ANGLE_STEPS];
extern int32_t r3d_recip_table[R3D_RECIP_ENTRIES];

void r3d_init(int display_height);
// Gives back what r3d_init and r3d_build_meshes took and leaves the renderer
// as before them: for a program started again in the same process, or a
// library unloaded from one.
void r3d_release();
void r3d_build_trig_tables();
int32_t r3d_vector_length(int32_t x, int32_t y, int32_t z);

// Meshes and scene objects (r3d_mesh.cpp).
void r3d_mesh_alloc(Mesh* m, int vertex_capacity, int index_capacity, int face_capacity);
void r3d_object_alloc(SceneObject* o, int vertex_capacity, int index_capacity, int face_capacity);
void r3d_mesh_copy(const Mesh* from, Mesh* to);
void r3d_object_free(SceneObject* o);  // its arrays; the record zeroed
void r3d_set_mesh(Mesh* m);
void r3d_mesh_begin();
void r3d_add_vertex(const Vertex* v);
void r3d_add_face(int corner_count, int fill_mode, int colour);
void r3d_add_index(int vertex_number);
void r3d_add_vertex_normal(SceneObject* o, int32_t x, int32_t y, int32_t z);
void r3d_add_face_normal(SceneObject* o, int32_t x, int32_t y, int32_t z);
void r3d_set_face_modes(SceneObject* o, int fill_mode);
void r3d_texture_init(Texture* t, int width, int height, const uint16_t* pixels);
Mesh* r3d_current_mesh();

// Transform, projection and lighting (r3d_transform.cpp). The projection puts
// the eye's axis at the middle of the screen the start-up hands down (0 x 0
// until then).
void r3d_set_screen_size(int width, int height);
void r3d_transform_object(const SceneObject* model, SceneObject* work);

// Rasteriser (r3d_raster.cpp, r3d_spans.cpp).
void r3d_set_texture(const Texture* t);
void r3d_set_palette(const Palette* p);
void r3d_clear_edges();
void r3d_clear_surface(Surface* s);
void r3d_draw_mesh(Surface* s);
void r3d_draw_polygon(const Vertex* vertices, const int32_t* corners, int corner_count);
void r3d_scan_edge(const Vertex* a, const Vertex* b);
void r3d_fill_spans();

// The built-in models (r3d_models.cpp).
// The models are never changed after they are built (the scenes pose them by
// writing position and angles); the working copies receive the transform.
extern SceneObject g_r3d_objects[4];
inline SceneObject& QUAD_MODEL = g_r3d_objects[0];
inline SceneObject& CUBE_MODEL = g_r3d_objects[1];
inline SceneObject& QUAD_WORK = g_r3d_objects[2];
inline SceneObject& CUBE_WORK = g_r3d_objects[3];
void r3d_build_meshes();
void r3d_build_quad();
void r3d_build_cube();
