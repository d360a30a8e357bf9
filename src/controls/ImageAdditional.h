#pragma once
// Picture helpers the whole interface uses: conversion between the engine's shared images and
// Qt's, aspect-preserving fit and cover, orientation normalisation of decoded photos, the black
// test and trimming. Sizes and rectangles of pictures are in pixels, y-up where the models are.
#include "platform/graphics/Image.h"

#include <QImage>
#include <QRect>
#include <QSizeF>
#include <string>

namespace ImageAdditional {

// Alignment of a cover image inside its target, in the platform's image-alignment numbering.
enum Alignment { kCenter = 0, kTop, kTopLeft, kTopRight, kLeft, kBottom, kBottomLeft, kBottomRight, kRight };

// Ratios are rounded to single precision, as the layouts that use them expect. A source without
// area gives 0 x 0.
QSizeF scaledSizeToFit(QSizeF source, QSizeF target);
QSizeF scaledSizeToCover(QSizeF source, QSizeF target);
// Where the cover-scaled source is drawn, y-up inside the target, for an alignment.
QPointF coverOrigin(QSizeF scaled, QSizeF target, int alignment);

// Exactly the target size: the source scaled to cover it, aligned, clipped; with `box` a black
// one-point frame around it.
QImage scaledImageToCover(const QImage& source, QSizeF target, int alignment = kCenter, bool box = false);
// The target size with the source at its fit size, centred; with `box` that rectangle is first
// filled white and then framed black.
QImage scaledImageToFit(const QImage& source, QSizeF target, bool box = false);

// Engine image <-> Qt image (premultiplied ARGB32), any depth in, byte-exact for 8 bits. Null in,
// null out.
QImage toQImage(const graphics::ImagePtr& image);
graphics::ImagePtr fromQImage(const QImage& image);

// The EXIF orientation (1-8) baked into the pixels; any other value leaves the picture as it is.
QImage imageWithOrientation(const QImage& source, int orientation);

// True when every pixel's red, green and blue are 0, alpha ignored; false for an empty picture.
bool isBlackColorImage(const QImage& image);

// A copy without the outer rows and columns that are transparent (alpha at most 0.01) or black;
// `finalRect` receives the kept rectangle, y-up from the picture's bottom-left corner.
QImage imageByRemovingTransparentAreas(const QImage& image, QRect* finalRect = nullptr);
QImage imageByRemovingBlackAreas(const QImage& image, QRect* finalRect = nullptr);

// Writers through the image-file layer: JPEG at quality 1.0, PNG, TIFF with LZW. False when the
// file could not be written.
bool saveJPEGPath(const QImage& image, const std::string& path);
bool savePNGPath(const QImage& image, const std::string& path);
bool saveTIFFPath(const QImage& image, const std::string& path);

} // namespace ImageAdditional
