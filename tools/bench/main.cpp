// cardel-bench: what the control costs a user, measured in the test container. With no argument every
// part runs; arguments pick parts by name: blur, repaint, changes, batching, picture, acrylic. The exit code
// is non-zero when a blur or a paint makes other pixels than the one it is checked against, or a picture
// loads wrong or slower than its target.
#include <cstdio>
#include <cstring>

#include "acrylic_blur_bench.h"
#include "batching_bench.h"
#include "library.h"
#include "picture_load_bench.h"
#include "property_change_bench.h"
#include "repaint_bench.h"
#include "shadow_blur_bench.h"

namespace {

constexpr const char* kParts[] = {"blur", "repaint", "changes", "batching", "picture", "acrylic"};

bool Chosen(int argc, char** argv, const char* part) {
  if (argc < 2) return true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], part) == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace cardel::bench;
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const char* part : kParts) known = known || std::strcmp(argv[i], part) == 0;
    if (!known) {
      std::fprintf(stderr, "cardel-bench: no part named %s (blur, repaint, changes, batching, picture, acrylic)\n", argv[i]);
      return 2;
    }
  }
  bool agree = true;
  if (Chosen(argc, argv, "blur")) agree &= RunShadowBlurBench();
  // The repaints are timed on the built library, loaded from beside the program.
  const cardel::host::Library library;
  if (Chosen(argc, argv, "repaint")) agree &= RunRepaintBench(library);
  if (Chosen(argc, argv, "changes")) agree &= RunPropertyChangeBench(library);
  if (Chosen(argc, argv, "batching")) agree &= RunBatchingBench(library);
  if (Chosen(argc, argv, "picture")) agree &= RunPictureLoadBench();
  if (Chosen(argc, argv, "acrylic")) agree &= RunAcrylicBlurBench();
  std::printf("\n%s\n", agree ? "all pixels agree" : "PIXEL FAULTS: see the lines above");
  return agree ? 0 : 1;
}
