#pragma once
// The 13 pictures of the owner-drawn lists, drawn in code. Each is drawn on
// pure red (255, 0, 0), the colour that a list paints as transparent.

#include <QImage>
#include <QPixmap>

#include <vector>

/// Number of pictures; indexes follow the resource order SINE .. STEREO.
constexpr int ListPictureCount = 13;
/// Width and height of every picture, in pixels.
constexpr int ListPictureWidth = 28;
constexpr int ListPictureHeight = 14;

/// The resource name of the picture at index ("SINE" .. "STEREO").
const char* ListPictureName(int index);
/// The picture at index on its pure red background; a null image outside 0..12.
QImage DrawListPicture(int index);
/// The picture with its pure red pixels transparent, ready to copy into a list.
QPixmap ListPicturePixmap(int index);
/// All 13 transparent pictures in index order.
std::vector<QPixmap> ListPicturePixmaps();
