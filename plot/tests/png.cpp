/* png.cpp: reads the 8-bit RGB or RGBA, non-interlaced PNG files of the SVG
 * renderer into plain pixels, for the picture checks.
 */
#include "png.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef KAVOR_HAVE_ZLIB
bool PngReadable()
{
    return false;
}

std::string ReadPng(const std::string &, Image &)
{
    return "built without zlib";
}
#else
#include <zlib.h>

/* a big-endian 32-bit number at p */
static unsigned long Be32(const unsigned char *p)
{
    return (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 | (unsigned long)p[2] << 8 | p[3];
}

/* the Paeth predictor of the PNG filters */
static int Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

/* undoes the filter of each row in place; n bytes a pixel, s bytes a row */
static std::string Unfilter(std::vector<unsigned char> &d, int h, int n, size_t s)
{
    for (int y = 0; y < h; y++) {
        unsigned char *r = &d[y * (s + 1)], *q = y ? r - (s + 1) : nullptr;
        int f = r[0];
        if (f > 4)
            return "bad row filter";
        for (size_t i = 1; i <= s; i++) {
            int a = i > (size_t)n ? r[i - n] : 0, b = q ? q[i] : 0, c = q && i > (size_t)n ? q[i - n] : 0;
            int p = f == 0 ? 0 : f == 1 ? a : f == 2 ? b : f == 3 ? (a + b) / 2 : Paeth(a, b, c);
            r[i] = (unsigned char)(r[i] + p);
        }
    }
    return "";
}

/* the pixels of the unfiltered rows as RGB, RGBA composed over white */
static void Pixels(const std::vector<unsigned char> &d, int n, size_t s, Image &im)
{
    im.px.resize((size_t)im.w * im.h * 3);
    for (int y = 0; y < im.h; y++)
        for (int x = 0; x < im.w; x++) {
            const unsigned char *p = &d[y * (s + 1) + 1 + (size_t)x * n];
            int al = n == 4 ? p[3] : 255;
            for (int k = 0; k < 3; k++)
                im.px[3 * ((size_t)y * im.w + x) + k] = (unsigned char)((p[k] * al + 255 * (255 - al) + 127) / 255);
        }
}

bool PngReadable()
{
    return true;
}

std::string ReadPng(const std::string &path, Image &im)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::string b = ss.str();
    const unsigned char *u = (const unsigned char *)b.data();
    if (b.size() < 8 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return "not a PNG file";
    std::string z;
    int n = 0;
    for (size_t i = 8; i + 12 <= b.size();) {
        unsigned long len = Be32(u + i);
        std::string type = b.substr(i + 4, 4);
        if (i + 12 + len > b.size())
            return "truncated chunk";
        const unsigned char *c = u + i + 8;
        if (type == "IHDR") {
            im.w = (int)Be32(c);
            im.h = (int)Be32(c + 4);
            if (c[8] != 8 || (c[9] != 2 && c[9] != 6) || c[12] != 0)
                return "not 8-bit RGB or RGBA without interlace";
            n = c[9] == 6 ? 4 : 3;
        } else if (type == "IDAT")
            z.append((const char *)c, len);
        i += 12 + len;
    }
    if (!n)
        return "no header";
    size_t s = (size_t)im.w * n;
    std::vector<unsigned char> d((s + 1) * im.h);
    uLongf dl = d.size();
    if (uncompress(d.data(), &dl, (const Bytef *)z.data(), z.size()) != Z_OK || dl != d.size())
        return "bad image data";
    std::string e = Unfilter(d, im.h, n, s);
    if (!e.empty())
        return e;
    Pixels(d, n, s, im);
    return "";
}
#endif
