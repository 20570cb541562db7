#pragma once

namespace cardel::bench {

// Times the hosted control's repaint against its bare GDI+ calls and prints the ratios; false when
// a ratio is over its target or the screen is not at 96 DPI.
bool RunRepaintBench();

}  // namespace cardel::bench
