// Converting pictures (bitmaps, icons, metafiles, picture containers) into frames.
#include "gif/model/image.h"

namespace gif {

void TGIFSubImage::CopyFromPicture(const TPersistent* source) {
    AssignError(source);
}

} // namespace gif
