// Memory surfaces (see surface.h).
#include "tests/support/surface.h"

Surface::Surface(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) return;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) return;
  bits_ = static_cast<unsigned*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
}

Surface::~Surface() {
  if (previous_ != nullptr) SelectObject(dc_, previous_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  if (dc_ != nullptr) DeleteDC(dc_);
}

const unsigned* Surface::Bits() const {
  GdiFlush();
  return bits_;
}

void Surface::Fill(COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all = {0, 0, width_, height_};
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

COLORREF Surface::Pixel(int x, int y) const {
  const unsigned pixel = Bits()[y * width_ + x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

bool Surface::CopyFromScreen(int left, int top) {
  if (!ok()) return false;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return false;
  const bool copied = BitBlt(dc_, 0, 0, width_, height_, screen, left, top, SRCCOPY | CAPTUREBLT) != 0;
  ReleaseDC(nullptr, screen);
  return copied;
}

std::vector<std::uint8_t> Surface::Rgb() const {
  std::vector<std::uint8_t> rgb;
  if (!ok()) return rgb;
  const unsigned* pixels = Bits();
  const std::size_t count = static_cast<std::size_t>(width_) * height_;
  rgb.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> 16));
    rgb.push_back(static_cast<std::uint8_t>(pixels[i] >> 8));
    rgb.push_back(static_cast<std::uint8_t>(pixels[i]));
  }
  return rgb;
}

int Surface::CountDifferences(const Surface& other) const {
  const unsigned* mine = Bits();
  const unsigned* theirs = other.Bits();
  int count = 0;
  for (int i = 0; i < width_ * height_; ++i) count += mine[i] != theirs[i];
  return count;
}

RECT Surface::BoundsOf(COLORREF colour, const RECT& within) const {
  RECT box = {within.right, within.bottom, within.left, within.top};
  for (int y = within.top; y < within.bottom; ++y) {
    for (int x = within.left; x < within.right; ++x) {
      if (Pixel(x, y) != colour) continue;
      if (x < box.left) box.left = x;
      if (y < box.top) box.top = y;
      if (x + 1 > box.right) box.right = x + 1;
      if (y + 1 > box.bottom) box.bottom = y + 1;
    }
  }
  if (box.left >= box.right) return RECT{0, 0, 0, 0};
  return box;
}
