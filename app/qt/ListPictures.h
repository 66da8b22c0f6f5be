#pragma once
// The 13 pictures of the owner-drawn lists, drawn in code. Each is drawn on
// pure red (255, 0, 0), the colour that a list paints as transparent.

#include "app/ListItemLayout.h"

#include <QImage>
#include <QPixmap>

#include <vector>

/// Width and height of every picture, in pixels.
constexpr int ListPictureWidth = 28;
constexpr int ListPictureHeight = 14;

/// The picture at index (a TListPicture) on its pure red background; a null image outside 0..12.
QImage DrawListPicture(int index);
/// The picture with its pure red pixels transparent, ready to copy into a list.
QPixmap ListPicturePixmap(int index);
/// All 13 transparent pictures in index order.
std::vector<QPixmap> ListPicturePixmaps();
