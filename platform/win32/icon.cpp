// The program's icon at the sizes the system shows it. The icon carries one 99 x 128 image;
// the system would squeeze it into a square, so it is scaled here with its proportions kept,
// centred on a transparent square, with an area-averaging filter that keeps the small tray
// size legible.
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/win32/main_window_parts.h"
#include "platform/win32/win32_internal.h"
#include "resources/resource.h"

namespace {

// The BGRA pixels of the icon's image, top-down, or an empty image.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

Image loadIconImage() {
  Image image;
  HINSTANCE instance = appInstance();
  HRSRC group = FindResourceW(instance, MAKEINTRESOURCEW(IDI_VANTREL), RT_GROUP_ICON);
  HGLOBAL groupData = group ? LoadResource(instance, group) : nullptr;
  auto* directory = groupData ? static_cast<BYTE*>(LockResource(groupData)) : nullptr;
  if (!directory) return image;
  int id = LookupIconIdFromDirectoryEx(directory, TRUE, 0, 0, LR_DEFAULTCOLOR);
  HRSRC entry = id ? FindResourceW(instance, MAKEINTRESOURCEW(id), RT_ICON) : nullptr;
  HGLOBAL entryData = entry ? LoadResource(instance, entry) : nullptr;
  auto* header = entryData ? static_cast<const BITMAPINFOHEADER*>(LockResource(entryData)) : nullptr;
  if (!header || SizeofResource(instance, entry) < sizeof *header || header->biBitCount != 32 ||
      header->biCompression != BI_RGB || header->biWidth <= 0 || header->biHeight <= 0)
    return image;
  // The height counts the colour image and the mask below it.
  int width = header->biWidth;
  int height = header->biHeight / 2;
  std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
  if (SizeofResource(instance, entry) < header->biSize + bytes) return image;
  const auto* rows = reinterpret_cast<const std::uint8_t*>(header) + header->biSize;
  image.width = width;
  image.height = height;
  image.pixels.resize(bytes);
  for (int y = 0; y < height; ++y) {  // stored bottom-up
    std::copy_n(rows + static_cast<std::size_t>(height - 1 - y) * width * 4, width * 4,
                image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * width * 4);
  }
  return image;
}

HICON iconFromPixels(const std::vector<std::uint8_t>& pixels, int size) {
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = size;
  header.bV5Height = -size;  // top-down
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour) return nullptr;
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint8_t*>(bits));
  std::vector<std::uint8_t> maskBits(static_cast<std::size_t>((size + 15) / 16 * 2) * size, 0);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = mask ? CreateIconIndirect(&info) : nullptr;
  if (mask) DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

}  // namespace

std::vector<std::uint8_t> fitIconImage(const std::uint8_t* pixels, int width, int height,
                                       int size) {
  std::vector<std::uint8_t> fitted(static_cast<std::size_t>(size) * size * 4, 0);
  if (!pixels || width <= 0 || height <= 0 || size <= 0) return fitted;
  // The larger side fills the square; the other is scaled by the same factor and centred.
  double scale = static_cast<double>(size) / (width > height ? width : height);
  int fittedWidth = std::max(1, static_cast<int>(width * scale + 0.5));
  int fittedHeight = std::max(1, static_cast<int>(height * scale + 0.5));
  int left = (size - fittedWidth) / 2;
  int top = (size - fittedHeight) / 2;
  for (int y = 0; y < fittedHeight; ++y) {
    int y0 = y * height / fittedHeight;
    int y1 = std::max(y0 + 1, (y + 1) * height / fittedHeight);
    for (int x = 0; x < fittedWidth; ++x) {
      int x0 = x * width / fittedWidth;
      int x1 = std::max(x0 + 1, (x + 1) * width / fittedWidth);
      // Colours are averaged weighted by their alpha, so transparent pixels lend no colour.
      double blue = 0, green = 0, red = 0, alpha = 0;
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const std::uint8_t* p = pixels + (static_cast<std::size_t>(sy) * width + sx) * 4;
          double a = p[3];
          blue += p[0] * a;
          green += p[1] * a;
          red += p[2] * a;
          alpha += a;
        }
      }
      std::uint8_t* out = fitted.data() + (static_cast<std::size_t>(top + y) * size + left + x) * 4;
      int count = (y1 - y0) * (x1 - x0);
      if (alpha > 0) {
        out[0] = static_cast<std::uint8_t>(blue / alpha + 0.5);
        out[1] = static_cast<std::uint8_t>(green / alpha + 0.5);
        out[2] = static_cast<std::uint8_t>(red / alpha + 0.5);
        out[3] = static_cast<std::uint8_t>(alpha / count + 0.5);
      }
    }
  }
  return fitted;
}

HICON programIcon(int size) {
  // Made once per size and kept for the rest of the run.
  static std::map<int, HICON> icons;
  if (HICON known = icons[size]) return known;
  static const Image image = loadIconImage();
  HICON icon = nullptr;
  if (!image.pixels.empty())
    icon = iconFromPixels(fitIconImage(image.pixels.data(), image.width, image.height, size), size);
  // Without the resource (the test program has none) the system's application icon stands in.
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  icons[size] = icon;
  return icon;
}
