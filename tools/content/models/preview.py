#!/usr/bin/env python3
"""Quick look at generated models without a GL context.

    preview.py DUMP_DIR OUT.ppm MODEL [MODEL ...]

DUMP_DIR is what `brikon-content dump CONTENT_DIR DUMP_DIR models` wrote. Each model is drawn in
a row of tiles: one tile per object, seen from the front (the side the game shows: from -z for
the playfield and its buttons, from +z for the menu title), and one turned three-quarters.
Faces are flat shaded with the colour the model's texture gives them at the triangle's centre;
bricks (no texture) are drawn grey. Convert with ImageMagick: `convert OUT.ppm OUT.png`.
"""
import math
import struct
import sys

TILE = 180


def read_zmod(path):
    data = open(path, "rb").read()
    last, nv, nt, nn, nf = struct.unpack_from("<iiiii", data, 12)
    tex = data[32:48].split(b"\0")[0].decode()
    off = 64
    verts = [struct.unpack_from("<fff", data, off + 12 * i) for i in range(nv)]
    off += 12 * nv
    uvs = [struct.unpack_from("<ff", data, off + 8 * i) for i in range(nt)]
    off += 8 * nt
    k = 9 if nn else 6
    objects = []
    for _ in range(last + 1):
        count = struct.unpack_from("<i", data, off + 4)[0]
        off += 60
        faces = []
        for f in range(count):
            idx = struct.unpack_from("<" + "i" * k, data, off)
            off += 4 * k
            step = k // 3
            faces.append([(idx[c * step] - 1, idx[c * step + 1] - 1) for c in range(3)])
        objects.append(faces)
    return tex, verts, uvs, objects


def read_tga(path):
    data = open(path, "rb").read()
    w, h = struct.unpack_from("<HH", data, 12)
    bpp = data[16] // 8
    return w, h, bpp, data[18:]


def sample(atlas, s, t):
    w, h, bpp, px = atlas
    x = min(w - 1, max(0, int(s * w)))
    y = min(h - 1, max(0, int(t * h)))
    o = (y * w + x) * bpp
    return px[o + 2], px[o + 1], px[o]


def render(verts, uvs, faces, atlas, yaw, pitch, face_plus_z, bounds, inside=False):
    img = [[(40, 44, 52)] * TILE for _ in range(TILE)]
    zb = [[1e30] * TILE for _ in range(TILE)]
    (x0, y0, z0), (x1, y1, z1) = bounds
    cx, cy, cz = (x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2
    size = max(x1 - x0, y1 - y0, z1 - z0) or 1.0
    scale = TILE * 0.8 / size
    cyaw, syaw, cp, sp = math.cos(yaw), math.sin(yaw), math.cos(pitch), math.sin(pitch)
    light = (0.4, 0.6, 0.7)
    ln = math.sqrt(sum(c * c for c in light))
    light = tuple(c / ln for c in light)

    def view(p):
        x, y, z = p[0] - cx, p[1] - cy, p[2] - cz
        if not face_plus_z:
            z = -z  # look from -z with x still to the right, as the game's cameras do
        x, z = x * cyaw + z * syaw, -x * syaw + z * cyaw
        y, z = y * cp - z * sp, y * sp + z * cp
        return x, y, z

    for face in faces:
        p = [view(verts[v]) for v, _ in face]
        ax, ay, az = (p[1][i] - p[0][i] for i in range(3))
        bx, by, bz = (p[2][i] - p[0][i] for i in range(3))
        nx, ny, nz = ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx
        nl = math.sqrt(nx * nx + ny * ny + nz * nz)
        if nl == 0:
            continue
        nx, ny, nz = nx / nl, ny / nl, nz / nl
        if not face_plus_z:
            nx, ny, nz = -nx, -ny, -nz  # the view mirrored, so did the winding
        if inside:
            nx, ny, nz = -nx, -ny, -nz  # a cage: stored inside out
        if nz < 0:
            continue  # facing away
        shade = 0.35 + 0.65 * max(0.0, nx * light[0] + ny * light[1] + nz * light[2])
        if atlas:
            s = sum(uvs[t][0] for _, t in face) / 3
            t = sum(uvs[t][1] for _, t in face) / 3
            col = sample(atlas, s, t)
        else:
            s = sum(uvs[t][0] for _, t in face) / 3
            t = sum(uvs[t][1] for _, t in face) / 3
            col = (int(40 + 215 * s), int(40 + 215 * t), 150)  # the skin coordinates as colour
        col = tuple(min(255, int(c * shade)) for c in col)
        sx = [TILE / 2 + q[0] * scale for q in p]
        sy = [TILE / 2 - q[1] * scale for q in p]
        sz = [-q[2] for q in p]
        minx, maxx = max(0, int(min(sx))), min(TILE - 1, int(max(sx)) + 1)
        miny, maxy = max(0, int(min(sy))), min(TILE - 1, int(max(sy)) + 1)
        den = (sy[1] - sy[2]) * (sx[0] - sx[2]) + (sx[2] - sx[1]) * (sy[0] - sy[2])
        if abs(den) < 1e-12:
            continue
        for y in range(miny, maxy + 1):
            for x in range(minx, maxx + 1):
                w0 = ((sy[1] - sy[2]) * (x - sx[2]) + (sx[2] - sx[1]) * (y - sy[2])) / den
                w1 = ((sy[2] - sy[0]) * (x - sx[2]) + (sx[0] - sx[2]) * (y - sy[2])) / den
                w2 = 1 - w0 - w1
                if w0 < 0 or w1 < 0 or w2 < 0:
                    continue
                z = w0 * sz[0] + w1 * sz[1] + w2 * sz[2]
                if z < zb[y][x]:
                    zb[y][x] = z
                    img[y][x] = col
    return img


def main():
    dump, out, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    atlas = read_tga(dump + "/Data/Textures/ModelAtlas.Tga")
    rows = []
    for name in names:
        face_plus_z = name.startswith("+")
        inside = name.startswith("!")
        name = name.lstrip("+!")
        tex, verts, uvs, objects = read_zmod(dump + "/Data/Models/" + name)
        lo = tuple(min(v[i] for v in verts) for i in range(3))
        hi = tuple(max(v[i] for v in verts) for i in range(3))
        tiles = []
        for faces in objects:
            tiles.append(render(verts, uvs, faces, atlas if tex else None, 0.0, 0.0, face_plus_z, (lo, hi), inside))
            tiles.append(render(verts, uvs, faces, atlas if tex else None, 0.6, 0.45, face_plus_z, (lo, hi), inside))
        rows.append(tiles)
    width = max(len(r) for r in rows) * TILE
    height = len(rows) * TILE
    with open(out, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height))
        for r in rows:
            for y in range(TILE):
                line = bytearray()
                for tile in r:
                    for c in tile[y]:
                        line += bytes(c)
                line += bytes((0, 0, 0)) * (width - len(r) * TILE)
                f.write(line)


if __name__ == "__main__":
    main()
