// Hosts a gallery of ucCardel controls in a real window over a patterned background and saves
// what the window shows as a PNG file; optionally also the property page in the system's property
// frame. Usage: cardel-demo.exe GALLERY.png [PAGE.png]
#include <windows.h>

#include <cstdio>

#include "container.h"
#include "gallery.h"
#include "library.h"
#include "page_shot.h"
#include "png_file.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 3) {
    std::fwprintf(stderr, L"usage: cardel-demo GALLERY.png [PAGE.png]\n");
    return 2;
  }
  try {
    cardel::host::Library library;
    cardel::host::Container container(library, cardel::demo::kGallerySize);
    cardel::demo::PlaceGallery(container);
    container.PumpMessages();
    const cardel::host::Image shot = container.Capture(container.ClientRect());
    if (!cardel::demo::SavePng(shot, argv[1])) {
      std::fwprintf(stderr, L"cardel-demo: could not write %ls\n", argv[1]);
      return 1;
    }
    if (argc == 3 && !cardel::demo::SavePropertyPageShot(library, argv[2])) {
      std::fwprintf(stderr, L"cardel-demo: could not capture the property page into %ls\n", argv[2]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cardel-demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
