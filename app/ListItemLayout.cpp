#include "app/ListItemLayout.h"

const char* const ListPictureNames[ListPictureCount] = {
    "SINE", "SQUARE", "TRIANGULAR", "SAWTOOTH", "WHITE", "PINK", "SILENCE",
    "MODSINE", "MODCOS", "MODSQUARE", "MODTRIANGLE", "MONO", "STEREO"};

TItemLayout LayoutListItem(TOwnerDrawnList list, const TItemRect& rect, int32_t picture, int32_t pictureWidth) {
  TItemLayout l;
  const bool hasPicture = picture >= 0 && picture < ListPictureCount;
  l.Picture = hasPicture ? picture : -1;
  l.PictureX = rect.Left + 2;
  l.PictureY = rect.Top + (list == TOwnerDrawnList::ModFunction ? 2 : 1);
  l.TextX = hasPicture ? rect.Left + pictureWidth + 8 : rect.Left + 24;
  l.TextY = rect.Top + (list == TOwnerDrawnList::Channels ? 1 : 2);
  return l;
}
