// Drawing bitmaps (global memory blocks) on a device context.
#pragma once

#include "WinTypes.h"

class wxDC;
class wxImage;

// The bitmap as a picture, or an invalid image when it is not one.
wxImage DibToImage(HGLOBAL dib);

// Draws the bitmap scaled into (x, y, width, height): enlarged with hard module edges, reduced
// smoothly. Nonzero on success.
BOOL StretchDIB(wxDC& dc, HGLOBAL dib, void* palette, int x, int y, int width, int height, DWORD rop = SRCCOPY);
// Draws the part source (in bitmap pixels; an empty rectangle means all) into destination.
BOOL _StretchDIB(wxDC& dc, HGLOBAL dib, void* palette, const CRect& destination, const CRect& source,
                 DWORD rop = SRCCOPY);
// Draws the bitmap at its natural size.
BOOL DrawDIB(wxDC& dc, HGLOBAL dib, void* palette, int x, int y);

// The largest rectangle inside rect, centred, in which a picture of size is drawn with a whole
// number of pixels per picture pixel, keeping margin picture pixels free on every side (a code's
// quiet zone; dropped when it does not fit). Falls back to GetKorrektRect when not even one pixel
// each fits. Whole logical pixels stay whole device pixels on a display that doubles them.
CRect GetCrispRect(CSize size, const CRect& rect, int margin = 0);
