// TImageList: equal-size pictures drawn by index, transparently when asked.
#pragma once

#include "platform/TColor.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <vector>

class TCanvas;

enum TDrawingStyle { dsNormal, dsTransparent };

class TImageList {
public:
    TImageList(int width = 16, int height = 16);
    ~TImageList(); // tells every registered listener (free notification) before it goes

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return int(m_images.size()); }

    // Adds a picture (scaled to the list's size when it differs); returns its index.
    // `mask` = clNone keeps the picture's own alpha; another colour becomes transparent.
    int Add(const QImage& image, TColor mask = clNone);
    void Replace(int index, const QImage& image, TColor mask = clNone);
    void Delete(int index);
    void Clear();
    QImage Image(int index) const; // null image when out of range

    TDrawingStyle DrawingStyle() const { return m_drawingStyle; }
    void SetDrawingStyle(TDrawingStyle style) { m_drawingStyle = style; }

    // Draws entry `index` with its top-left at (x, y) in the canvas's logical units; out of range
    // draws nothing. Transparent areas are always left untouched when drawn transparently.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Draws entry `index` stretched into `width` x `height` logical units.
    void StretchDraw(TCanvas& canvas, int x, int y, int width, int height, int index) const;

    // Change links: called after every change of the entries; and when the list is destroyed.
    int RegisterChangeLink(std::function<void()> onChange, std::function<void()> onDestroyed = {});
    void UnregisterChangeLink(int id);

private:
    void Changed();
    int m_width;
    int m_height;
    TDrawingStyle m_drawingStyle = dsNormal;
    std::vector<QImage> m_images;
    struct Link {
        int id;
        std::function<void()> onChange;
        std::function<void()> onDestroyed;
    };
    std::vector<Link> m_links;
    int m_nextLinkId = 1;
};
