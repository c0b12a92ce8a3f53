#include "content/ContactSheet.h"

#include "content/Canvas.h"
#include "content/Palette.h"
#include "content/StrokeFont.h"

#include <algorithm>
#include <string>

namespace content {

using namespace palette;

namespace {

// Nearest-neighbour enlargement of a part of an image, to review small type texel by texel.
Image zoom(const Image& src, int x0, int y0, int w, int h, int k) {
    Image out(w * k, h * k);
    for (int y = 0; y < h * k; ++y) {
        for (int x = 0; x < w * k; ++x) {
            out.at(x, y) = src.at(x0 + x / k, y0 + y / k);
        }
    }
    return out;
}

const Image* find(const std::vector<NamedImage>& images, const std::string& name) {
    for (const NamedImage& n : images) {
        if (n.name == name) {
            return &n.image;
        }
    }
    return nullptr;
}

} // namespace

Image ContactSheet::compose(const std::vector<NamedImage>& originals) {
    std::vector<NamedImage> images = originals;
    if (const Image* chars = find(originals, "chars.bmp")) {
        images.push_back({"chars.bmp zoom 3", zoom(*chars, 0, 0, 256, 190, 3)});
    }
    if (const Image* title = find(originals, "TELV_title.bmp")) {
        images.push_back({"TELV_title.bmp zoom 3", zoom(*title, 0, 0, 210, 70, 3)});
    }
    if (const Image* living = find(originals, "living.bmp")) {
        images.push_back({"living.bmp zoom 2", zoom(*living, 0, 0, 256, 90, 2)});
    }
    if (const Image* fan = find(originals, "fan.bmp")) {
        images.push_back({"fan.bmp zoom 4", zoom(*fan, 0, 0, 64, 64, 4)});
    }
    const int sheetWidth = 1720;
    const int gap = 24;
    const int labelHeight = 30;
    // Flow layout: left to right, wrapping when a row is full.
    struct Place {
        int x, y;
    };
    std::vector<Place> places;
    int x = gap;
    int y = gap;
    int rowHeight = 0;
    for (const NamedImage& n : images) {
        int w = n.image.width();
        if (x + w + gap > sheetWidth && x > gap) {
            x = gap;
            y += rowHeight + labelHeight + gap;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += std::max(w, 150) + gap;
        rowHeight = std::max(rowHeight, n.image.height());
    }
    int sheetHeight = y + rowHeight + labelHeight + gap;
    Image sheet(sheetWidth, sheetHeight, grey(0.22f));
    Canvas cv(sheet);
    StrokeFont::Style label{9.0f, 6.0f, 1.5f, 2.5f};
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& img = images[i].image;
        cv.rect(places[i].x - 1.0f, places[i].y - 1.0f, img.width() + 2.0f, img.height() + 2.0f,
                grey(0.45f));
        sheet.paste(img, places[i].x, places[i].y);
        std::string text =
            images[i].name + " " + std::to_string(img.width()) + "X" + std::to_string(img.height());
        StrokeFont::draw(cv, text, places[i].x + 1.0f, places[i].y + img.height() + 10.0f, label,
                         grey(0.9f));
    }
    return sheet;
}

} // namespace content
