#pragma once
// Where an owner-drawn list item's picture and text go; the view only paints.

#include <cstdint>

/// Indexes of the 13 list pictures (pure red is their transparent colour).
enum TListPicture : int32_t {
  lpSine, lpSquare, lpTriangular, lpSawtooth, lpWhite, lpPink, lpSilence,
  lpModSine, lpModCos, lpModSquare, lpModTriangle, lpMono, lpStereo,
  ListPictureCount
};

/// Resource names of the pictures, by index.
extern const char* const ListPictureNames[ListPictureCount];

/// The three kinds of owner-drawn list, which place their items differently.
enum class TOwnerDrawnList { WaveForm, ModFunction, Channels };

struct TItemRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TItemLayout {
  int32_t Picture = -1;  ///< picture index, -1 for none
  int32_t PictureX = 0, PictureY = 0;
  int32_t TextX = 0, TextY = 0;
};

/// Picture at (left + 2, top + dy), dy 2 in modulation lists and 1 elsewhere;
/// text after the picture + 8, or at left + 24 without one; text at top + 2
/// (top + 1 in the channel list).
TItemLayout LayoutListItem(TOwnerDrawnList list, const TItemRect& rect, int32_t picture, int32_t pictureWidth);
