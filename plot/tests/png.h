/* png.h: reads the 8-bit RGB or RGBA pictures that the SVG renderer writes */
#ifndef KAVOR_PLOT_TEST_PNG_H
#define KAVOR_PLOT_TEST_PNG_H

#include <string>
#include <vector>

/* a picture: w by h pixels of red, green, blue, top row first */
struct Image {
    int w = 0, h = 0;
    std::vector<unsigned char> px; /* 3 bytes a pixel */
    const unsigned char *At(int x, int y) const { return &px[3 * ((size_t)y * w + x)]; }
};

/* whether this test build can read PNG files */
bool PngReadable();

/* reads the file into im; an empty string, or what is wrong */
std::string ReadPng(const std::string &path, Image &im);

#endif
