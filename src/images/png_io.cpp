// libpng wrappers for indexed screenshots and RGB diff images.
#include "images/png_io.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "display/framebuffer.h"
#include "storage/storage.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

struct PngPicture {
    int width, height, colourType, bytesPerPixel;
    const uint8_t* rows;
    bool withPalette;
};

bool writePngBody(std::FILE* file, const void* context)
{
    const PngPicture& p = *static_cast<const PngPicture*>(context);
    const int width = p.width, height = p.height, bytesPerPixel = p.bytesPerPixel;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 p.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    if (p.withPalette) {
        for (int i = 0; i < 256; ++i) {
            colours[i].red = static_cast<png_byte>(palette[i] >> 16);
            colours[i].green = static_cast<png_byte>(palette[i] >> 8);
            colours[i].blue = static_cast<png_byte>(palette[i]);
        }
        png_set_PLTE(png, info, colours, 256);
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(p.rows + static_cast<size_t>(y) * width * bytesPerPixel));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::ferror(file) == 0;
}

bool writePng(const std::string& path, int width, int height, int colourType, int bytesPerPixel,
              const uint8_t* rows, bool withPalette)
{
    const PngPicture picture{width, height, colourType, bytesPerPixel, rows, withPalette};
    return replaceFile(path.c_str(), nullptr, writePngBody, &picture);
}

}  // namespace

bool writeIndexedPng(const std::string& path, const uint8_t* pixels, int width, int height)
{
    return writePng(path, width, height, PNG_COLOR_TYPE_PALETTE, 1, pixels, true);
}

bool writeRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height)
{
    if (rgb.size() != static_cast<size_t>(width) * height * 3) return false;
    return writePng(path, width, height, PNG_COLOR_TYPE_RGB, 3, rgb.data(), false);
}

bool readIndexedPng(const std::string& path, IndexedImage& image, std::string& error)
{
    File file(openPlainFile(path.c_str()));
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = "not a readable PNG: " + path;
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE || png_get_bit_depth(png, info) != 8) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = "not an 8-bit palette PNG: " + path;
        return false;
    }
    image.width = static_cast<int>(png_get_image_width(png, info));
    image.height = static_cast<int>(png_get_image_height(png, info));
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    for (int y = 0; y < image.height; ++y)
        png_read_row(png, image.pixels.data() + static_cast<size_t>(y) * image.width, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
