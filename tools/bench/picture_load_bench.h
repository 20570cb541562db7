#pragma once

namespace cardel::bench {

// Times PictureFromStream and PictureFromURL of a picture of about 5 MB against one bare GDI+ decode
// of its bytes and a plain urlmon read of the same URL, and compares the control's pixels with the
// bare decode's; false when a ratio is over its target or the pixels differ.
bool RunPictureLoadBench();

}  // namespace cardel::bench
