#pragma once
// What went wrong in the drawing code, in its own words. The renderer knows nothing of its callers'
// conventions: results carry a RenderError, and code that cannot go on raises it as the standard
// exception each entry point translates into its caller's terms.
namespace cardel {

enum class RenderError { Overflow, InvalidArgument, OutOfMemory };

// Throws ArithmeticOverflow, std::invalid_argument or std::bad_alloc.
[[noreturn]] void RaiseRenderError(RenderError error);

}  // namespace cardel
