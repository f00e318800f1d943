// The two surfaces of a whole-image conversion between a file's samples and a caller's buffer.
#include "imaging/ImageFile.h"

#include "common/Assert.h"
#include "imaging/ConvGeometry.h"

void ImageSetupSurfaces(Surface* iDat, uint8_t* iBuf, int32_t iFmt, uint32_t iFlags, Surface* oDat,
                        uint8_t* oBuf, int32_t oFmt, uint32_t oFlags, int32_t w, int32_t h) {
    const bool valid = Q3V_ASSERT_TEXT(iDat != nullptr, "iDat != NULL") &&
                       Q3V_ASSERT_TEXT(oDat != nullptr, "oDat != NULL") &&
                       Q3V_ASSERT_TEXT(iBuf != nullptr, "iBuf != NULL") &&
                       Q3V_ASSERT_TEXT(oBuf != nullptr, "oBuf != NULL") &&
                       Q3V_ASSERT_TEXT(w > 0, "w>0") && Q3V_ASSERT_TEXT(h > 0, "h>0");
    if (!valid) {
        return;
    }
    const auto fill = [&](Surface* s, uint8_t* buffer, int32_t format, uint32_t flags,
                          int32_t bufSize) {
        *s = Surface{};
        s->Buffer = buffer;
        s->BufSize = bufSize;
        s->FormatName = nullptr;
        s->Format = format;
        s->Width = w;
        s->Height = h;
        s->Stride = ToSize32(RowStride64(format, w));
        s->ChromaOffset = (flags & kImageChromaOffset) != 0 ? 1 : 0;
        s->VideoRange = (flags & kImageVideoRange) != 0 ? 1 : 0;
        s->Access = nullptr;
    };
    fill(iDat, iBuf, iFmt, iFlags, 0);
    fill(oDat, oBuf, oFmt, oFlags, ToSize32(RowImageSize64(oFmt, w, h)));
}
